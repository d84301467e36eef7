// Two real processes sharing tables: sharing modes, locks, and the waits that
// end when the other process lets go.

#include "platform/cp1252.h"
#include "common/error.h"
#include "common/messages.h"
#include "store/engine.h"
#include "store/schemas.h"
#include "store/utilities.h"
#include "store_support.h"

namespace vardo::test {
namespace {

class Sharing : public StoreTest {
protected:
    Sharing() {
        DBGEN("T", netSchema());
        DBOPEN(true, "T", "", false, false);
        for (int i = 0; i < 3; ++i) DBAPP();
        DBCLOSE();
    }
};

// The person who, seeing the wait box, lets the other process go on.
class ReleasingUser : public ScriptedUser {
public:
    ReleasingUser(OtherProcess& other, std::string trigger)
        : other_(other), trigger_(std::move(trigger)) {}
    void openWaitBox(const std::string& text, const std::string& title) override {
        ScriptedUser::openWaitBox(text, title);
        if (cp1252ToUtf8(text) == trigger_) other_.send('r');
    }

private:
    OtherProcess& other_;
    std::string trigger_;
};

struct Mode {
    bool shared, readOnly;
};

TEST_F(Sharing, ATableHeldInAnyModeIsInUseAndRefusesWhatConflicts) {
    for (Mode held : {Mode{false, false}, Mode{true, false}, Mode{true, true}}) {
        OtherProcess other([&](OtherProcess& self) {
            db().open(true, "T", "", held.shared, held.readOnly);
            self.send(db().current().used() ? 'o' : '-');
            self.receive();
        });
        ASSERT_EQ(other.receive(), 'o');
        EXPECT_TRUE(NETUSED("t"));
        for (bool shared : {false, true}) {
            db().open(true, "T", "", shared, false);
            const bool refused = !shared || !held.shared;
            EXPECT_EQ(NETERR(), refused) << held.shared << held.readOnly << shared;
            EXPECT_EQ(db().current().used(), !refused);
            DBCLOSE();
        }
        other.send('q');
        EXPECT_EQ(other.wait(), 0);
        EXPECT_FALSE(NETUSED("T"));
    }
    EXPECT_FALSE(NETUSED("MISSING"));
}

TEST_F(Sharing, RecordAndFileLocksExcludeTheOtherProcess) {
    OtherProcess other([](OtherProcess& self) {
        db().open(true, "T", "", true, false);
        db().current().goTo(1);
        self.send(db().current().recordLock() ? 'l' : '-');
        self.receive();
        self.send(db().current().fileLock() ? 'f' : '-');
        self.receive();
    });
    ASSERT_EQ(other.receive(), 'l');
    DBOPEN(true, "T", "", true, false);
    WorkArea& a = db().current();
    a.goTo(1);
    EXPECT_FALSE(a.recordLock());
    a.goTo(2);
    EXPECT_TRUE(a.recordLock());
    EXPECT_FALSE(a.fileLock());
    a.unlock();

    other.send('F');
    ASSERT_EQ(other.receive(), 'f');
    EXPECT_FALSE(a.recordLock());
    a.append();
    EXPECT_TRUE(NETERR()) << "the new record cannot be locked under the other's file lock";
    EXPECT_EQ(a.recordCount(), 3u);

    other.send('q');
    EXPECT_EQ(other.wait(), 0);
    a.append();
    EXPECT_FALSE(NETERR());
    EXPECT_EQ(a.recno(), 4u);
    EXPECT_EQ(a.recordCount(), 4u);
}

TEST_F(Sharing, OpeningWaitsBehindItsMessageUntilTheTableIsFree) {
    struct Case {
        bool shared;
        std::string wait;
    };
    for (const Case& c : {Case{true, "E' in corso un'operazione di sistema..."},
                          Case{false, "Spegnere tutti i terminali..."}}) {
        OtherProcess other([](OtherProcess& self) {
            db().open(true, "T", "", false, false);
            self.send('o');
            self.receive();
        });
        ASSERT_EQ(other.receive(), 'o');
        ReleasingUser person(other, c.wait);
        POPMSG("Verifica archivi in corso...");
        DBOPEN(true, "T", "", c.shared, false);
        EXPECT_TRUE(db().current().used());
        EXPECT_EQ(person.waitLog,
                  (std::vector<std::string>{
                      "open Attendere: Verifica archivi in corso...", "close",
                      std::string(c.shared ? "open Attendere: " : "open Attenzione: ") + c.wait,
                      "close", "open Attendere: Verifica archivi in corso..."}));
        POPMSG();
        DBCLOSE();
        EXPECT_EQ(other.wait(), 0);
        person.finish();
    }
}

TEST_F(Sharing, LocksAndAppendsWaitSilentlyThenBehindTheBusyMessage) {
    for (bool append : {false, true}) {
        OtherProcess other([append](OtherProcess& self) {
            db().open(true, "T", "", true, false);
            db().current().goTo(1);
            bool locked = append ? db().current().fileLock() : db().current().recordLock();
            self.send(locked ? 'l' : '-');
            self.receive();
        });
        ASSERT_EQ(other.receive(), 'l');
        const std::string busy = "Il sistema è momentaneamente occupato...";
        ReleasingUser person(other, busy);
        DBOPEN(true, "T", "", true, false);
        WorkArea& a = db().current();
        const uint32_t count = a.recordCount();
        a.goTo(1);
        if (append)
            DBAPP();
        else
            DBLOCK(true);
        EXPECT_EQ(person.waitLog, (std::vector<std::string>{"open Attendere: " + busy, "close"}));
        EXPECT_EQ(other.wait(), 0);
        EXPECT_EQ(a.recordCount(), append ? count + 1 : count);
        EXPECT_EQ(a.recno(), append ? count + 1 : 1u);
        // What this process holds now, seen from a third one.
        const uint32_t locked = a.recno();
        OtherProcess probe([locked](OtherProcess& self) {
            db().open(true, "T", "PROBE", true, false);
            db().current().goTo(locked);
            self.send(db().current().recordLock() ? 'l' : '-');
        });
        EXPECT_EQ(probe.receive(), '-');
        EXPECT_EQ(probe.wait(), 0);
        DBCLOSE();
        person.finish();
    }
}

TEST_F(Sharing, APackedTableStaysExclusive) {
    DBOPEN(true, "T", "", false, false);
    db().current().goTo(2);
    DBDEL();
    db().current().pack();
    OtherProcess other([](OtherProcess& self) {
        self.send(NETUSED("T") ? 'u' : '-');
        db().open(true, "T", "OTHER", true, true);
        self.send(NETERR() ? 'n' : '-');
    });
    EXPECT_EQ(other.receive(), 'u');
    EXPECT_EQ(other.receive(), 'n');
    EXPECT_EQ(other.wait(), 0);
    EXPECT_EQ(db().current().recordCount(), 2u);
}

} // namespace
} // namespace vardo::test
