// A writer that dies at any moment leaves a table that opens with every record
// it had committed.

#include "common/error.h"
#include "common/format.h"
#include "store/engine.h"
#include "store/schemas.h"
#include "store/utilities.h"
#include "store_support.h"

namespace vardo::test {
namespace {

class Crash : public StoreTest {};

std::string customerName(uint32_t r) {
    return "CLIENTE " + std::to_string(r);
}

TEST_F(Crash, AWriterKilledMidWayLeavesEveryCommittedRecord) {
    DBGEN("FATTURE", invoiceSchema());
    OtherProcess writer([](OtherProcess& self) {
        DBOPEN(true, "FATTURE", "", false, false);
        WorkArea& a = db().current();
        for (uint32_t r = 1;; ++r) {
            DBAPP();
            a.put("NUMERO", static_cast<double>(r % 1000));
            a.put("CLIENTE", customerName(r));
            a.put("IMPOR01", r * 1.25);
            a.commit();
            self.send('c');
        }
    });
    uint32_t committed = 0;
    while (committed < 40 && writer.receive() == 'c') ++committed;
    writer.kill();
    EXPECT_EQ(writer.wait(), -9);
    ASSERT_EQ(committed, 40u);

    EXPECT_TRUE(guarded([] { DBOPEN(true, "FATTURE", "", false, false); }));
    WorkArea& a = db().current();
    const uint32_t count = a.recordCount();
    EXPECT_GE(count, committed);
    for (uint32_t r = 1; r <= count; ++r) {
        a.goTo(r);
        if (r > committed && trimRight(a.text("CLIENTE")).empty()) {
            EXPECT_EQ(r, count) << "only the record being written may still be blank";
            continue;
        }
        EXPECT_EQ(trimRight(a.text("CLIENTE")), customerName(r));
        EXPECT_EQ(a.number("NUMERO"), r % 1000);
        EXPECT_EQ(a.number("IMPOR01"), r * 1.25);
    }
}

TEST_F(Crash, ARecordTheHeaderDoesNotCountYetIsNotThere) {
    DBGEN("T", customerSchema());
    DBOPEN(true, "T", "", false, false);
    for (const char* name : {"UNO", "DUE"}) {
        DBAPP();
        db().current().put("RAGSOC", std::string(name));
    }
    DBCLOSE();
    // The third record reached the file, the header that counts it did not.
    std::string b = readFileBytes(folder / "T.DBF");
    b.pop_back();
    b += " " + padRight("TRE", 489) + "\x1A";
    writeFileBytes(folder / "T.DBF", b);

    DBOPEN(true, "T", "", false, false);
    WorkArea& a = db().current();
    EXPECT_EQ(a.recordCount(), 2u);
    a.goBottom();
    EXPECT_EQ(trimRight(a.text("RAGSOC")), "DUE");
    DBAPP();
    EXPECT_EQ(a.recno(), 3u);
    EXPECT_EQ(trimRight(a.text("RAGSOC")), "");
    a.put("RAGSOC", std::string("QUATTRO"));
    DBCLOSE();
    b = readFileBytes(folder / "T.DBF");
    EXPECT_EQ(b.size(), 674u + 3 * 490 + 1);
    EXPECT_EQ(readU32(b, 4), 3u);

    // A table whose end byte never got written opens all the same.
    b.pop_back();
    writeFileBytes(folder / "T.DBF", b);
    DBOPEN(true, "T", "", false, false);
    EXPECT_EQ(db().current().recordCount(), 3u);
}

} // namespace
} // namespace vardo::test
