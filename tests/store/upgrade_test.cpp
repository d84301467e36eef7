// The automatic upgrade of old tables, their data carried over.

#include "common/error.h"
#include "common/format.h"
#include "store/engine.h"
#include "store/schemas.h"
#include "store/upgrade.h"
#include "store/utilities.h"
#include "store_support.h"

#include <sys/mount.h>

namespace vardo::test {
namespace {

using Row = std::vector<std::pair<std::string, Value>>;

class Upgrade : public StoreTest {
protected:
    // A table in `schema` holding the rows; the rows marked are deleted.
    void makeTable(const std::string& path, const Schema& schema, const std::vector<Row>& rows,
                   const std::vector<bool>& deleted = {}) {
        DBGEN(path, schema);
        DBOPEN(true, path, "MAKE", false, false);
        for (size_t i = 0; i < rows.size(); ++i) {
            DBAPP();
            for (const auto& [name, value] : rows[i]) db().current().put(name, value);
            if (i < deleted.size() && deleted[i]) db().current().markDeleted();
        }
        DBCLOSE();
    }
    WorkArea& open(const std::string& path) {
        DBOPEN(true, path, "CHECK", false, true);
        return db().current();
    }
    static Schema without(Schema s, std::initializer_list<const char*> names) {
        for (const char* n : names)
            std::erase_if(s, [n](const FieldDesc& f) { return f.name == n; });
        return s;
    }
    static void change(Schema& s, const char* name, FieldDesc to) {
        for (auto& f : s)
            if (f.name == name) f = to;
    }
    const std::vector<std::string> checkedOnly = {"open Attendere: Verifica archivi in corso...",
                                                  "close"};
    const std::vector<std::string> upgraded = {"open Attendere: Verifica archivi in corso...",
                                               "text: Aggiornamento archivi in corso...", "close"};
};

TEST_F(Upgrade, AFirstStartCreatesTheCustomerArchive) {
    AGGIORNADATABASE();
    EXPECT_EQ(readFileBytes(folder / "CLIENTI.DBF").size(), 675u);
    EXPECT_EQ(user.waitLog, upgraded);
}

TEST_F(Upgrade, AnOldCustomerArchiveGetsTheNewFieldsBlank) {
    const Schema old = without(customerSchema(), {"CODICESDI", "PEC", "MODPAG"});
    makeTable("CLIENTI", old,
              {{{"RAGSOC", std::string("Rossi Mario")},
                {"PIVA", std::string("01234567890")},
                {"RITACC", std::string("\xFB")}},
               {{"RAGSOC", std::string("Gone")}},
               {{"RAGSOC", std::string("Bianchi")}, {"LOCALITA", std::string("Roma")}}},
              {false, true, false});
    AGGIORNADATABASE();
    EXPECT_EQ(user.waitLog, upgraded);
    EXPECT_FALSE(os::exists(folder / "TEMPDBF_.DBF"));

    WorkArea& a = open("CLIENTI");
    EXPECT_EQ(a.structure(), customerSchema());
    ASSERT_EQ(a.recordCount(), 2u) << "the deleted customer is not carried over";
    EXPECT_EQ(trimRight(a.text("RAGSOC")), "Rossi Mario");
    EXPECT_EQ(a.text("PIVA"), "01234567890");
    EXPECT_EQ(a.text("RITACC"), "\xFB");
    for (const char* added : {"CODICESDI", "PEC", "MODPAG"})
        EXPECT_EQ(trimRight(a.text(added)), "");
    a.skip(1);
    EXPECT_EQ(trimRight(a.text("RAGSOC")), "Bianchi");
    EXPECT_EQ(trimRight(a.text("LOCALITA")), "Roma");
}

TEST_F(Upgrade, AnOldInvoiceTableIsConvertedFieldByField) {
    Schema old = without(invoiceSchema(), {"DESCR1"});
    change(old, "DESCR10", {"DESCR10", 'C', 65});
    change(old, "IMPOR01", {"IMPOR01", 'C', 12});
    change(old, "IMPOR02", {"IMPOR02", 'C', 12});
    change(old, "IMPOR03", {"IMPOR03", 'C', 12});
    change(old, "DATA", {"DATA", 'C', 10});
    change(old, "CEE", {"CEE", 'C', 3});
    change(old, "XML", {"XML", 'N', 1});
    old.push_back({"NOTE", 'C', 10});
    const std::string remark(65, 'r');
    makeTable(folder / "FATTURE", old,
              {{{"NUMERO", 7.0},
                {"DESCR10", remark},
                {"IMPOR01", std::string("1.234,50")},
                {"IMPOR02", std::string("a pagarsi")},
                {"IMPOR03", std::string("12345678,00")},
                {"DATA", std::string("05/03/2024")},
                {"CEE", std::string(".T.")},
                {"XML", 1.0},
                {"NOTE", std::string("dropped")}},
               {{"NUMERO", 8.0}}},
              {false, true});
    AGGIORNADATABASE(folder / "FATTURE");

    WorkArea& a = open(folder / "FATTURE");
    EXPECT_EQ(a.structure(), invoiceSchema());
    ASSERT_EQ(a.recordCount(), 1u);
    EXPECT_EQ(a.number("NUMERO"), 7);
    EXPECT_EQ(a.text("DESCR10"), padRight(remark, 110));
    EXPECT_EQ(a.text("DESCR1"), remark.substr(0, 35))
        << "DESCR10 is the first old name beginning DESCR1";
    EXPECT_EQ(a.number("IMPOR01"), 1234.5);
    EXPECT_EQ(a.number("IMPOR02"), 0);
    EXPECT_EQ(a.number("IMPOR03"), 0) << "12345678.00 does not fit 9 places";
    EXPECT_EQ(a.date("DATA"), Date::ymd(2024, 3, 5));
    EXPECT_TRUE(a.logical("CEE"));
    EXPECT_TRUE(a.logical("XML"));
    EXPECT_EQ(a.fieldPos("NOTE"), 0);
}

TEST_F(Upgrade, ConversionsFollowTheOldAndNewTypes) {
    const FieldDesc c12{"F", 'C', 12}, c20{"F", 'C', 20}, m{"F", 'M', 10}, d{"F", 'D', 8},
        l{"F", 'L', 1}, n92{"F", 'N', 9, 2}, n30{"F", 'N', 3}, n80{"F", 'N', 8}, n60{"F", 'N', 6},
        f83{"F", 'F', 8, 3};
    struct Case {
        FieldDesc from, to;
        Value value, stored;
    };
    const Case cases[] = {
        {c12, d, std::string("05/03/2024  "), Date::ymd(2024, 3, 5)},
        {c12, d, std::string(" 20240305   "), Date::ymd(2024, 3, 5)},
        {c12, d, std::string("31/02/2024  "), Date()},
        {c12, n92, std::string("1.234,50    "), 1234.5},
        {c12, n92, std::string("1234.50     "), 1234.5},
        {c12, n92, std::string("  12,345    "), 12.35},
        {c12, n92, std::string("nessuno     "), 0.0},
        {c12, n92, std::string("12345678,00 "), 0.0},
        {m, n30, std::string("-7"), -7.0},
        {c12, l, std::string("            "), false},
        {c12, l, std::string(".f.         "), false},
        {c12, l, std::string(".T.         "), true},
        {c12, l, std::string("x           "), true},
        {d, n80, Date::ymd(2024, 3, 5), 20240305.0},
        {d, n60, Date::ymd(2024, 3, 5), 0.0},
        {d, n80, Date(), 0.0},
        {d, l, Date(), false},
        {d, l, Date::ymd(2024, 3, 5), true},
        {n30, l, 0.0, false},
        {n30, l, 2.0, true},
        {n92, n92, 12.345, 12.35},
        {n92, n30, 999.4, 999.0},
        {n92, n30, 1000.0, 0.0},
        {n92, n30, -99.5, 0.0},
        {m, c20, std::string("uno\r\ndue\r\n"), std::string("uno due ")},
        {d, c20, Date::ymd(2024, 3, 5), std::string("05/03/2024")},
        {d, c20, Date(), std::string(8, ' ')},
        {n92, c20, 0.0, std::string()},
        {n92, c20, 12.5, std::string("12.50")},
        {l, c20, true, std::string(".T.")},
        {l, c20, false, std::string()},
        {n80, d, 20240305.0, Date::ymd(2024, 3, 5)},
        {l, d, true, Date()},
        {l, n30, true, 1.0},
        {c12, c20, std::string("unchanged   "), std::string("unchanged   ")},
        {f83, n92, std::string("   3.250"), 3.25},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CONVDATO(c.value, c.from, c.to), c.stored) << c.from.type << "->" << c.to.type;
}

TEST_F(Upgrade, ItalianNumbersTakeTheDecimalPoint) {
    for (auto [text, adjusted] : {std::pair{"1.234,50", "1234.50"},
                                  {"1234.50", "1234.50"},
                                  {"1,5", "1.5"},
                                  {"1.000.000", "1.000.000"},
                                  {"", ""}})
        EXPECT_EQ(ADJNUM(text), adjusted) << text;
}

TEST_F(Upgrade, ExtraFieldsStayUntilARebuildHappensForAnotherReason) {
    Schema extra = customerSchema();
    extra.insert(extra.begin(), {"EXTRA", 'C', 5});
    makeTable("CLIENTI", extra,
              {{{"RAGSOC", std::string("Rossi")}, {"EXTRA", std::string("keep")}}});
    const std::string before = readFileBytes(folder / "CLIENTI.DBF");
    AGGIORNADATABASE();
    EXPECT_EQ(user.waitLog, checkedOnly);
    EXPECT_EQ(readFileBytes(folder / "CLIENTI.DBF"), before);

    makeTable("CLIENTI", without(extra, {"PEC"}),
              {{{"RAGSOC", std::string("Rossi")}, {"EXTRA", std::string("keep")}}});
    AGGIORNADATABASE();
    WorkArea& a = open("CLIENTI");
    EXPECT_EQ(a.structure(), customerSchema());
    EXPECT_EQ(trimRight(a.text("RAGSOC")), "Rossi");
}

TEST_F(Upgrade, ATableInUseIsLeftAloneWithoutAMessage) {
    makeTable("CLIENTI", without(customerSchema(), {"PEC"}), {{{"RAGSOC", std::string("Rossi")}}});
    const std::string before = readFileBytes(folder / "CLIENTI.DBF");
    for (bool shared : {false, true}) {
        OtherProcess other([shared](OtherProcess& self) {
            db().open(true, "CLIENTI", "", shared, false);
            self.send('o');
            self.receive();
        });
        ASSERT_EQ(other.receive(), 'o');
        user.waitLog.clear();
        AGGIORNADATABASE();
        EXPECT_EQ(user.waitLog, checkedOnly);
        EXPECT_EQ(readFileBytes(folder / "CLIENTI.DBF"), before);
        other.send('q');
        EXPECT_EQ(other.wait(), 0);
    }
}

TEST_F(Upgrade, AnUnreadableTableIsReportedAndLeftAsItIs) {
    writeFileBytes(folder / "CLIENTI.DBF", std::string(40, 'x'));
    user.expectMessage("Il file CLIENTI.DBF risulta corrotto.");
    AGGIORNADATABASE();
    EXPECT_EQ(readFileBytes(folder / "CLIENTI.DBF"), std::string(40, 'x'));
}

// A rename that fails for real: the table file is a mount point, which no
// rename may replace.
class MountedOver {
public:
    explicit MountedOver(const std::string& path) : path_(path) {
        mounted_ = mount(path.c_str(), path.c_str(), nullptr, MS_BIND, nullptr) == 0;
    }
    ~MountedOver() {
        if (mounted_) umount(path_.c_str());
    }
    bool mounted() const { return mounted_; }

private:
    std::string path_;
    bool mounted_ = false;
};

TEST_F(Upgrade, AFailedRenameLosesNothing) {
    makeTable("CLIENTI", without(customerSchema(), {"MODPAG"}),
              {{{"RAGSOC", std::string("Rossi")}}, {{"RAGSOC", std::string("Bianchi")}}});
    const std::string before = readFileBytes(folder / "CLIENTI.DBF");
    {
        MountedOver blocker(folder / "CLIENTI.DBF");
        if (!blocker.mounted()) GTEST_SKIP() << "this system does not let the test mount";
        user.expectMessage("Impossibile rinominare il file TEMPDBF_.DBF in CLIENTI.DBF.");
        EXPECT_THROW(AGGIORNADATABASE(), ProgramEnd);
    }
    EXPECT_EQ(readFileBytes(folder / "CLIENTI.DBF"), before);
    WorkArea& rebuilt = open("TEMPDBF_");
    EXPECT_EQ(rebuilt.structure(), customerSchema());
    EXPECT_EQ(rebuilt.recordCount(), 2u);
    EXPECT_EQ(db().areaOf("NEW") + db().areaOf("OLD"), 0)
        << "both tables of the rebuild are closed";
}

} // namespace
} // namespace vardo::test
