// Readers we did not write read our tables, and we read what they wrote.

#include "platform/cp1252.h"
#include "common/format.h"
#include "store/engine.h"
#include "store/schemas.h"
#include "store/utilities.h"
#include "store_support.h"

#include <fstream>

namespace vardo::test {
namespace {

class IndependentReader : public StoreTest {};

TEST_F(IndependentReader, DbfreadReadsEveryValueWeWrote) {
    DBGEN("FATTURE", invoiceSchema());
    DBOPEN(true, "FATTURE", "", false, false);
    WorkArea& a = db().current();
    DBAPP();
    a.put("NUMERO", 7.0);
    a.put("CLIENTE", "Perché città S.r.l."_cp);
    a.put("DATA", Date::ymd(2024, 3, 5));
    a.put("CEE", true);
    a.put("SALDATO", std::string("\xFB"));
    a.put("IMPOR01", 1234.5);
    a.put("IMPOR02", -0.5);
    a.put("QUANT01", 999.0);
    a.put("DESCR10", std::string(110, 'x'));
    a.put("XML", false);
    DBAPP();
    a.put("NUMERO", 8.0);
    a.put("CLIENTE", std::string("CANCELLATO"));
    DBDEL();
    DBAPP(); // left blank
    DBCLOSE();

    std::string out = runPython(R"(
from dbfread import DBF
t = DBF("FATTURE.DBF", encoding="cp1252")
def show(r):
    return "|".join(repr(r[k]) for k in ("NUMERO", "CLIENTE", "DATA", "CEE", "SALDATO", "IMPOR01",
                                        "IMPOR02", "QUANT01", "DESCR10", "XML"))
for r in t.records: print(show(r))
for r in t.deleted: print("deleted", show(r))
)");
    EXPECT_EQ(out, "7|'Perché città S.r.l.'|datetime.date(2024, 3, 5)|True|'û'|1234.5|-0.5|999|'" +
                       std::string(110, 'x') +
                       "'|False\n"
                       "None|''|None|None|''|None|None|None|''|None\n"
                       "deleted 8|'CANCELLATO'|None|None|''|None|None|None|''|None\n");
}

TEST_F(IndependentReader, WeReadATableThatGdalWrote) {
    // In UTF-8, as GDAL reads CSV files; it writes the table in Windows-1252.
    std::ofstream("in.csv") << "NAME,AMOUNT,QTY,DAY\n\"Perché città\",1234.5,3,2024/03/05\n"
                               "ROSSI,-0.25,0,\n";
    std::ofstream("in.csvt") << "\"String(20)\",\"Real(9.2)\",\"Integer(3)\",\"Date\"\n";
    int status = 0;
    std::string log = runCommand("ogr2ogr -f 'ESRI Shapefile' out.dbf in.csv 2>&1", &status);
    ASSERT_EQ(status, 0) << log;

    DBOPEN(true, "out", "", true, true);
    WorkArea& a = db().current();
    ASSERT_EQ(a.recordCount(), 2u);
    EXPECT_EQ(a.field(a.fieldPos("AMOUNT")), (FieldDesc{"AMOUNT", 'N', 9, 2}));
    EXPECT_EQ(trimRight(a.text("NAME")), "Perché città"_cp);
    EXPECT_EQ(a.number("AMOUNT"), 1234.5);
    EXPECT_EQ(a.number("QTY"), 3.0);
    EXPECT_EQ(a.date("DAY"), Date::ymd(2024, 3, 5));
    a.skip(1);
    EXPECT_EQ(trimRight(a.text("NAME")), "ROSSI");
    EXPECT_EQ(a.number("AMOUNT"), -0.25);
    EXPECT_EQ(a.date("DAY"), Date());
}

} // namespace
} // namespace vardo::test
