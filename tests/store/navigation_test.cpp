// Movement, orders, views and the type-ahead search over real tables.

#include "common/format.h"
#include "store/engine.h"
#include "store/schemas.h"
#include "store/utilities.h"
#include "store_support.h"

namespace vardo::test {
namespace {

const char* const kInvoiceKey = "STR( YEAR( FIELD -> data ) ) + STR( FIELD -> numero )";

struct Invoice {
    int numero;
    Date data;
    std::string cliente = "X";
    bool deleted = false;
};

class Navigation : public StoreTest {
protected:
    WorkArea& a() { return db().current(); }

    // An invoice file open exclusively with its index, as opening one does.
    void openInvoices(const std::vector<Invoice>& invoices) {
        DBGEN("FATTURE", invoiceSchema());
        DBOPEN(true, "FATTURE", GETNEWALIAS(), false, false);
        for (const auto& inv : invoices) {
            DBAPP();
            a().put("NUMERO", static_cast<double>(inv.numero));
            a().put("DATA", inv.data);
            a().put("CLIENTE", inv.cliente);
            if (inv.deleted) a().markDeleted();
        }
        a().commit();
        buildInvoiceIndex();
    }
    void buildInvoiceIndex() {
        a().setOrderCondition({"!DELETED()", [] { return !db().current().deleted(); }});
        ORDBUILD("FATTURE", "", kInvoiceKey);
    }
    // NUMERO of every record in the controlling order, top to bottom.
    std::vector<int> walk() {
        std::vector<int> out;
        for (a().goTop(); !a().eof(); a().skip(1))
            out.push_back(static_cast<int>(a().number("NUMERO")));
        return out;
    }
    std::vector<int> walkBack() {
        std::vector<int> out;
        for (a().goBottom(); !a().bof(); a().skip(-1))
            out.push_back(static_cast<int>(a().number("NUMERO")));
        return out;
    }
    void openCustomers(const std::vector<std::pair<std::string, bool>>& names) {
        DBGEN("CLIENTI", customerSchema());
        DBOPEN(true, "CLIENTI", "CLIENTI", false, false);
        for (const auto& [name, deleted] : names) {
            DBAPP();
            a().put("RAGSOC", name);
            if (deleted) a().markDeleted();
        }
        a().setOrderCondition({"!DELETED()", {}, false, true});
        ORDBUILD("CLIENTI", "CLIENTI", "UPPER( FIELD -> ragsoc )");
    }
    std::string name() { return trimRight(a().text("RAGSOC")); }
};

TEST_F(Navigation, InvoiceOrderPutsTheEmptyDateFirstThenYearThenNumber) {
    openInvoices({{7, Date::ymd(2024, 1, 10)},
                  {3, Date()},
                  {12, Date::ymd(2023, 12, 31)},
                  {1, Date::ymd(2024, 2, 1)},
                  {2, Date::ymd(2024, 2, 1), "X", true}});
    EXPECT_EQ(walk(), (std::vector<int>{3, 12, 1, 7}));
    EXPECT_EQ(walkBack(), (std::vector<int>{7, 1, 12, 3}));
    EXPECT_EQ(a().keyCount(), 4u);
    EXPECT_EQ(a().orderName(), "FATTURE");
    EXPECT_EQ(a().orderKey(), "STR( YEAR( data ) ) + STR( numero )");
    EXPECT_TRUE(os::exists(folder / "FATTURE.NTX"));
    // The order's keys: the year in five places and the number in three.
    a().seek(std::string(" 2024  7"));
    EXPECT_TRUE(a().found());
    EXPECT_EQ(a().number("NUMERO"), 7);
    a().seek(std::string("    0"));
    EXPECT_EQ(a().number("NUMERO"), 3);
}

TEST_F(Navigation, RecordsMarkedDeletedAreInvisibleToEveryMovement) {
    openInvoices({{1, Date(), "X", true},
                  {2, Date()},
                  {3, Date(), "X", true},
                  {4, Date()},
                  {5, Date(), "X", true}});
    a().setFocus(0);
    EXPECT_EQ(walk(), (std::vector<int>{2, 4}));
    EXPECT_EQ(walkBack(), (std::vector<int>{4, 2}));
    a().goTop();
    a().skip(-1);
    EXPECT_TRUE(a().bof());
    EXPECT_EQ(a().number("NUMERO"), 2);
    a().goBottom();
    a().skip(1);
    EXPECT_TRUE(a().eof());
    EXPECT_EQ(a().recno(), 6u);
    EXPECT_EQ(a().keyCount(), 2u);
    a().goTo(4);
    EXPECT_EQ(a().keyPosition(), 2u);
    a().goKeyPosition(1);
    EXPECT_EQ(a().recno(), 2u);
    a().setFocus(1);
    EXPECT_EQ(walk(), (std::vector<int>{2, 4}));
    EXPECT_EQ(a().keyCount(), 2u);
}

TEST_F(Navigation, DeletingMovesToTheNextRecordOrTheEnd) {
    openInvoices(
        {{1, Date::ymd(2024, 1, 1)}, {2, Date::ymd(2024, 1, 2)}, {3, Date::ymd(2024, 1, 3)}});
    a().goTop();
    a().skip(1);
    DBDEL();
    EXPECT_EQ(a().number("NUMERO"), 3);
    EXPECT_EQ(walk(), (std::vector<int>{1, 3}));
    a().goBottom();
    DBDEL();
    EXPECT_TRUE(a().eof());
    EXPECT_EQ(a().keyCount(), 1u);

    // DELREC asks first, and only beeps at the end position.
    user.expectMessage("Confermi la cancellazione?", BTN_CANCEL);
    a().goTop();
    EXPECT_FALSE(DELREC());
    EXPECT_EQ(a().keyCount(), 1u);
    a().goBottom();
    a().skip(1);
    EXPECT_FALSE(DELREC());
    EXPECT_EQ(user.beeps, (std::vector<int>{880, 440}));
}

TEST_F(Navigation, OrdersFollowEveryWrite) {
    openInvoices({{1, Date::ymd(2024, 1, 1)}, {2, Date::ymd(2024, 1, 2)}});
    a().goTop();
    a().put("DATA", Date::ymd(2025, 1, 1));
    a().skip(0);
    EXPECT_EQ(walk(), (std::vector<int>{2, 1}));
    DBAPP();
    EXPECT_EQ(a().keyPosition(), 1u) << "a blank record has the lowest key";
    a().put("NUMERO", 9.0);
    a().put("DATA", Date::ymd(2024, 6, 1));
    a().commit();
    EXPECT_EQ(a().keyPosition(), 2u);
    EXPECT_EQ(walk(), (std::vector<int>{2, 9, 1}));
    a().goTop();
    a().markDeleted();
    a().recall();
    a().skip(1);
    EXPECT_EQ(walk(), (std::vector<int>{2, 9, 1}));

    // Closed and added again, the bag holds the order as it was kept.
    std::vector<std::string> bags = ORDLIST(std::string());
    ASSERT_EQ(bags.size(), 1u);
    EXPECT_EQ(ORDBAGNAME(1), bags[0]);
    EXPECT_EQ(ORDBAGNAME(2), "");
    a().orderListClear();
    EXPECT_EQ(a().orderNumber(), 0);
    ORDLIST(bags);
    EXPECT_EQ(a().orderNumber(), 1);
    EXPECT_EQ(walk(), (std::vector<int>{2, 9, 1}));
}

TEST_F(Navigation, ConditionsAreEvaluatedOnTheirOwnTable) {
    openInvoices({{1, Date()}, {2, Date()}});
    WorkArea& invoices = a();
    invoices.setOrderCondition({"NUMERO > 1", [] { return db().current().number("NUMERO") > 1; }});
    ORDBUILD("BIG", "", "NUMERO");
    EXPECT_EQ(invoices.keyCount(), 1u);
    DBGEN("NET", netSchema());
    DBOPEN(true, "NET", "", false, false); // has no NUMERO: the condition must not look here
    invoices.goTo(1);
    invoices.put("NUMERO", 5.0);
    invoices.skip(0);
    EXPECT_EQ(invoices.keyCount(), 2u);
    EXPECT_EQ(db().current().alias(), "NET");
}

TEST_F(Navigation, SeekFindsTheFirstKeyBeginningWithTheValue) {
    openCustomers(
        {{"Rossi Mario", false}, {"ROSSINI", false}, {"Bianchi", false}, {"rossa", true}});
    struct Case {
        std::string value;
        bool found;
        std::string name;
    };
    for (const Case& c :
         {Case{"ROSS", true, "Rossi Mario"}, Case{"ROSSIN", true, "ROSSINI"},
          Case{"ROSSA", false, ""}, Case{"Z", false, ""}, Case{"", true, "Bianchi"}}) {
        EXPECT_EQ(a().seek(c.value), c.found) << c.value;
        EXPECT_EQ(a().found(), c.found);
        EXPECT_EQ(a().eof(), !c.found);
        EXPECT_EQ(name(), c.name);
    }
}

TEST_F(Navigation, KeySearchKeepsTheLongestTextThatIsFound) {
    openCustomers(
        {{"Rossi Mario", false}, {"ROSSINI", false}, {"Bianchi", false}, {"Verdi", false}});
    int refreshes = 0;
    auto browse = [&] { ++refreshes; };
    a().goTop();
    KEYSEARCH(browse, 'r');
    EXPECT_EQ(name(), "Rossi Mario");
    KEYSEARCH(browse, 'O');
    KEYSEARCH(browse, 'X'); // "ROX" is nobody: the search stays at "RO" and where it was
    EXPECT_EQ(name(), "Rossi Mario");
    EXPECT_EQ(refreshes, 1);
    for (char c : std::string("SSIN")) KEYSEARCH(browse, c);
    EXPECT_EQ(name(), "ROSSINI");
    EXPECT_EQ(refreshes, 2);
    KEYSEARCH(browse, 8);
    EXPECT_EQ(name(), "Rossi Mario");
    EXPECT_EQ(refreshes, 3);
    KEYSEARCH(browse, 27); // not a key the search takes
    EXPECT_EQ(name(), "Rossi Mario");

    // Moving by other means starts the search afresh.
    a().goTop();
    KEYSEARCH(browse, 'v');
    EXPECT_EQ(name(), "Verdi");
    KEYSEARCH(); // the browse was moved with a key the search does not take
    a().goTop();
    KEYSEARCH(browse, 'b');
    EXPECT_EQ(name(), "Bianchi");
}

TEST_F(Navigation, AViewFiltersAndOrdersThenGivesTheTableItsOrderBack) {
    openInvoices({{1, Date::ymd(2024, 1, 1), "Verdi"},
                  {2, Date::ymd(2024, 1, 2), "bianchi"},
                  {3, Date::ymd(2024, 1, 3), "Bianchi", true},
                  {4, Date::ymd(2024, 1, 4), "Rossi"},
                  {0, Date::ymd(2024, 1, 5), "Aldo"}});
    const std::string view = folder.temp() + "/\x7FVIEW1.NTX";
    DBSETVIEW([] { return db().current().number("NUMERO") > 0; }, "NUMERO > 0",
              "UPPER( FIELD -> cliente )");
    EXPECT_EQ(walk(), (std::vector<int>{2, 4, 1}));
    EXPECT_TRUE(os::exists(view));
    EXPECT_EQ(a().orderBag(), view);
    EXPECT_EQ(user.waitLog,
              (std::vector<std::string>{"open Attendere: Elaborazione in corso...", "close"}));

    // Again, keyed like the table's own order; the first view makes way.
    DBSETVIEW([] { return db().current().number("NUMERO") > 1; }, "NUMERO > 1");
    EXPECT_EQ(walk(), (std::vector<int>{2, 4}));
    EXPECT_EQ(a().orderCount(), 2);

    DBCLEARVIEW();
    EXPECT_FALSE(os::exists(view));
    EXPECT_EQ(a().orderCount(), 1);
    EXPECT_EQ(a().orderName(), "FATTURE");
    EXPECT_EQ(walk(), (std::vector<int>{0, 1, 2, 4}));

    DBSETVIEW([] { return true; }, ".T.");
    EXPECT_TRUE(os::exists(view));
    DBCLOSE();
    EXPECT_FALSE(os::exists(view));
    EXPECT_TRUE(os::exists(folder / "FATTURE.DBF"));
}

TEST_F(Navigation, CloseAllErasesEveryViewIndex) {
    openInvoices({{1, Date()}});
    DBSETVIEW([] { return true; }, ".T.");
    writeFileBytes(folder.temp() + "/\x7FVIEW77.NTX", "left by an earlier run");
    CLOSEALL();
    EXPECT_FALSE(os::exists(folder.temp() + "/\x7FVIEW1.NTX"));
    EXPECT_FALSE(os::exists(folder.temp() + "/\x7FVIEW77.NTX"));
    EXPECT_EQ(db().currentNumber(), 1);
}

TEST_F(Navigation, TheTemporaryCustomerIndexGoesWithItsTable) {
    openCustomers({{"Rossi", false}});
    const std::string bag = a().orderBag();
    EXPECT_EQ(bag.substr(0, folder.temp().size()), folder.temp());
    EXPECT_TRUE(os::exists(bag));
    EXPECT_EQ(a().orderName(), "CLIENTI");
    DBCLOSE("clienti");
    EXPECT_FALSE(os::exists(bag));
    EXPECT_FALSE(os::exists(folder / "CLIENTI.NTX"));
}

TEST_F(Navigation, PackRemovesTheDeletedRecordsAndRebuildsTheOrders) {
    openInvoices({{1, Date::ymd(2024, 1, 1)}, {2, Date(), "X", true}, {3, Date::ymd(2023, 1, 1)}});
    a().pack();
    EXPECT_EQ(a().recordCount(), 2u);
    EXPECT_EQ(walk(), (std::vector<int>{3, 1}));
    a().goBottom();
    EXPECT_EQ(a().recno(), 1u);
    DBCLOSE();
    std::string packed = readFileBytes(folder / "FATTURE.DBF");
    EXPECT_EQ(packed.size(), 1858u + 2 * 1225 + 1);
    EXPECT_EQ(readU32(packed, 4), 2u);
    EXPECT_FALSE(os::exists(folder / "FATTURE.PK$"));

    // Nothing to remove: the file is left exactly as it was.
    DBOPEN(true, "FATTURE", "", false, false);
    a().pack();
    EXPECT_EQ(a().recordCount(), 2u);
    DBCLOSE();
    EXPECT_EQ(readFileBytes(folder / "FATTURE.DBF"), packed);
}

TEST_F(Navigation, AliasesAndWorkAreas) {
    DBGEN("A", netSchema());
    DBGEN("B", netSchema());
    EXPECT_EQ(GETNEWALIAS(), "ALIAS001");
    DBOPEN(true, "A", GETNEWALIAS(), false, false);
    DBOPEN(true, "B", "", false, false);
    EXPECT_EQ(db().currentNumber(), 2);
    EXPECT_EQ(db().current().alias(), "B");
    EXPECT_EQ(GETNEWALIAS(), "ALIAS003");
    EXPECT_TRUE(db().select("alias001"));
    EXPECT_EQ(db().currentNumber(), 1);
    EXPECT_FALSE(db().select("C"));
    DBCLOSE("B");
    EXPECT_EQ(db().currentNumber(), 1) << "the area current before stays current";
    EXPECT_EQ(GETNEWALIAS(), "ALIAS002");
    DBCLOSE("B"); // no longer open: nothing happens
}

} // namespace
} // namespace vardo::test
