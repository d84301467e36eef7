#include "store/utilities.h"

#include "platform/cp1252.h"
#include "common/error.h"
#include "common/format.h"
#include "common/messages.h"
#include "common/paths.h"
#include "common/settings.h"
#include "common/ui.h"
#include "platform/os.h"
#include "store/engine.h"
#include "store/filenames.h"

#include <chrono>
#include <cstdio>
#include <thread>
#include <unordered_map>

namespace vardo {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kSilentWait = std::chrono::seconds(3);

// Between two attempts while nobody is told: short, so the lock is taken the
// moment it is free. While a wait box shows: long enough to leave the
// processor to the others.
void pauseQuietly() {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}
void pauseWaiting() {
    ui().pumpEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

const std::string& busyText() {
    static const std::string text = "Il sistema è momentaneamente occupato..."_cp;
    return text;
}

// Shows a wait of our own in place of the caller's; restore() brings the
// caller's text back.
class OwnWait {
public:
    OwnWait() : previous_(CURMSG()) {}
    void show(const std::string& text, const std::string& title = {}) {
        POPMSG();
        POPMSG({.text = text, .title = title});
        shown_ = true;
    }
    bool shown() const { return shown_; }
    void restore() {
        if (!shown_) return;
        POPMSG();
        if (previous_) POPMSG(*previous_);
        shown_ = false;
    }

private:
    std::optional<std::string> previous_;
    bool shown_ = false;
};

std::string withBagExtension(const std::string& bag) {
    return hasExtension(bag) ? bag : bag + ".NTX";
}

std::string comparableBag(const std::string& bag) {
    return upper(os::absolutePath(withBagExtension(bag)));
}

// The view index of a work area, in the instance folder.
std::string viewBag(int area) {
    return run().ACS_TEMP +
           "\x7F"
           "VIEW" +
           std::to_string(area) + ".NTX";
}

bool viewOpen(WorkArea& a) {
    const std::string view = comparableBag(viewBag(a.number()));
    for (int n = 1; n <= a.orderCount(); ++n)
        if (comparableBag(a.orderBag(n)) == view) return true;
    return false;
}

void eraseView(int area) {
    std::string file = tableFile(viewBag(area));
    if (os::exists(file)) os::removeFile(file);
}

// The order each work area had before its view, one slot per area.
std::unordered_map<int, int>& viewOrders() {
    static std::unordered_map<int, int> orders;
    return orders;
}

void reopenBags(WorkArea& a, const std::vector<std::string>& bags, int focus) {
    a.orderListClear();
    ORDLIST(bags);
    a.setFocus(focus);
}

} // namespace

void DBOPEN(bool newArea, const std::string& path, const std::string& alias, bool shared,
            bool readOnly) {
    OwnWait wait;
    db().open(newArea, path, alias, shared, readOnly);
    if (!NETERR()) return;
    if (shared)
        wait.show("E' in corso un'operazione di sistema...");
    else
        wait.show("Spegnere tutti i terminali...", "Attenzione");
    const int area = db().currentNumber();
    do {
        pauseWaiting();
        db().select(area);
        db().open(false, path, alias, shared, readOnly);
    } while (NETERR() || !db().current().used());
    wait.restore();
}

void DBCLOSE(const std::string& alias) {
    const int previous = db().currentNumber();
    const int area = alias.empty() ? previous : db().areaOf(alias);
    if (area == 0 || !db().area(area).used()) return;
    db().area(area).close();
    eraseView(area);
    db().select(previous);
}

void CLOSEALL() {
    std::exception_ptr failure;
    try {
        db().closeAll();
    } catch (...) {
        failure = std::current_exception();
    }
    const std::string folder = run().ACS_TEMP.empty() ? "." : run().ACS_TEMP;
    std::vector<os::DirEntry> entries;
    if (os::listDirectory(folder, entries) == os::Ok) {
        for (const auto& e : entries) {
            std::string name = upper(e.name);
            if (!e.directory &&
                name.starts_with("\x7F"
                                 "VIEW") &&
                name.ends_with(".NTX"))
                os::removeFile(folder + (folder.ends_with('/') ? "" : "/") + e.name);
        }
    }
    if (failure) std::rethrow_exception(failure);
}

bool NETUSED(const std::string& path) {
    const std::string file = tableFile(path, "DBF");
    if (!os::exists(file)) return false;
    // Any reason for refusing the exclusive open counts: that is what an open would meet.
    os::File probe;
    return probe.open(file, os::File::Access::Read, os::File::Share::Exclusive) != os::Ok;
}

void DBLOCK(bool record) {
    auto attempt = [record] {
        return record ? db().current().recordLock() : db().current().fileLock();
    };
    const auto silentUntil = Clock::now() + kSilentWait;
    while (Clock::now() < silentUntil) {
        if (attempt()) return;
        pauseQuietly();
    }
    OwnWait wait;
    wait.show(busyText());
    while (!attempt()) pauseWaiting();
    wait.restore();
}

void DBAPP() {
    OwnWait wait;
    DBLOCK(false);
    const auto silentUntil = Clock::now() + kSilentWait;
    for (;;) {
        db().current().append();
        if (!NETERR()) break;
        if (!wait.shown() && Clock::now() >= silentUntil) wait.show(busyText());
        if (wait.shown())
            pauseWaiting();
        else
            pauseQuietly();
    }
    DBLOCK(true);
    wait.restore();
}

void DBDEL(bool commit) {
    WorkArea& a = db().current();
    if (a.eof()) return;
    DBLOCK(false);
    a.skip(1);
    const uint32_t next = a.recno();
    a.skip(-1);
    a.markDeleted();
    if (commit) {
        a.commit();
        a.skip(0);
    }
    a.goTo(next);
    a.unlock();
}

bool DELREC() {
    if (db().current().eof()) {
        shortBeep();
        return false;
    }
    if (!POPMSG("Confermi la cancellazione?", MSG_OKCANCEL)) return false;
    DBDEL();
    return true;
}

void DBGEN(const std::string& path, const Schema& fields, uint64_t minFree) {
    if (ISFULL(driveOf(path), minFree)) throw StepAbandoned{};
    Engine::create(path, fields);
}

std::string GETNEWALIAS() {
    const int previous = db().currentNumber();
    db().select(0);
    char alias[16];
    std::snprintf(alias, sizeof alias, "ALIAS%03d", db().currentNumber());
    db().select(previous);
    return alias;
}

void ORDBUILD(const std::string& bag, const std::string& tag, const std::string& keyText,
              std::function<Value()> keyFunction, bool unique) {
    std::string key = keyText;
    static const std::string fieldPrefix = "FIELD -> ";
    for (size_t at; (at = key.find(fieldPrefix)) != std::string::npos;)
        key.erase(at, fieldPrefix.size());
    db().current().createOrder(withBagExtension(bag), tag, key, std::move(keyFunction), unique);
}

void ORDADD(const std::string& bag) {
    db().current().orderListAdd(withBagExtension(bag));
}

std::vector<std::string> ORDLIST(const std::string& excluded) {
    WorkArea& a = db().current();
    const std::string skip = excluded.empty() ? std::string() : comparableBag(excluded);
    std::vector<std::string> bags;
    for (int n = 1; n <= a.orderCount(); ++n)
        if (comparableBag(a.orderBag(n)) != skip) bags.push_back(a.orderBag(n));
    return bags;
}

void ORDLIST(const std::vector<std::string>& bags) {
    for (const auto& bag : bags) ORDADD(bag);
}

std::string ORDBAGNAME(int order) {
    return db().current().orderBag(order);
}

void DBSETVIEW(std::function<bool()> condition, const std::string& /*conditionText*/,
               const std::string& keyText) {
    WorkArea& a = db().current();
    if (viewOpen(a)) DBCLEARVIEW();
    const std::string view = viewBag(a.number());
    const std::vector<std::string> bags = ORDLIST(view);
    const std::string key = !keyText.empty()       ? keyText
                            : a.orderNumber() != 0 ? a.orderKey()
                                                   : std::string("RECNO()");
    const bool showsWait = !CURMSG();
    if (showsWait) POPMSG("Elaborazione in corso...");
    viewOrders()[a.number()] = a.orderNumber();
    try {
        a.orderListClear();
        a.setOrderCondition({.text = "!DELETED()", .function = std::move(condition)});
        ORDBUILD(view, {}, key);
        reopenBags(a, bags, 0);
        ORDADD(view);
        a.setFocus(a.orderCount());
    } catch (...) {
        // The table keeps the orders it had, whatever stopped the view.
        try {
            reopenBags(a, bags, viewOrders()[a.number()]);
        } catch (...) {
        }
        eraseView(a.number());
        if (showsWait) POPMSG();
        throw;
    }
    if (showsWait) POPMSG();
    a.goTop();
}

void DBCLEARVIEW() {
    WorkArea& a = db().current();
    const std::vector<std::string> bags = ORDLIST(viewBag(a.number()));
    const int focus = viewOrders()[a.number()];
    // A step that failed is tried again, but a few times only: a bag that
    // cannot be reopened at all must not hold the program in a loop of messages.
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (guarded([&] {
                a.orderListClear();
                eraseView(a.number());
                reopenBags(a, bags, focus);
                a.goTop();
            }))
            return;
    }
    guarded([&] {
        a.orderListClear();
        a.goTop();
    });
}

namespace {
std::string gSearchText;
uint32_t gSearchRecord = 0;
} // namespace

void KEYSEARCH(const std::function<void()>& browse, int keyCode, const std::string& prefix) {
    if (!browse) {
        gSearchText.clear();
        return;
    }
    WorkArea& a = db().current();
    if (a.recno() != gSearchRecord) gSearchText.clear();
    if (keyCode != 8 && (keyCode < 32 || keyCode > 126)) return;
    const uint32_t before = a.recno();
    if (keyCode == 8) {
        if (!gSearchText.empty()) gSearchText.pop_back();
    } else {
        gSearchText += upper(std::string(1, static_cast<char>(keyCode)));
    }
    if (!a.seek(prefix + gSearchText)) {
        if (!gSearchText.empty()) gSearchText.pop_back();
        a.goTo(before);
    }
    if (a.deleted()) a.skip(1);
    if (a.recno() != before) browse();
    gSearchRecord = a.recno();
}

} // namespace vardo
