// The bytes of table files: what we write, and what we read of files that
// other programs wrote.

#include "platform/cp1252.h"
#include "store/engine.h"
#include "store/schemas.h"
#include "store/utilities.h"
#include "store_support.h"

namespace vardo::test {
namespace {

class TableFormat : public StoreTest {};

TEST_F(TableFormat, NewTablesHaveExactlyTheHeaderAndTheEndByte) {
    struct Case {
        const Schema& schema;
        unsigned header, record;
    };
    for (const Case& c : {Case{invoiceSchema(), 1858, 1225}, Case{customerSchema(), 674, 490}}) {
        DBGEN("t", c.schema);
        std::string b = readFileBytes(folder / "T.DBF");
        ASSERT_EQ(b.size(), c.header + 1);
        EXPECT_EQ(b[0], 3);
        Date today = Date::today();
        EXPECT_EQ(b.substr(1, 3),
                  std::string({static_cast<char>(today.year() - 1900),
                               static_cast<char>(today.month()), static_cast<char>(today.day())}));
        EXPECT_EQ(readU32(b, 4), 0u);
        EXPECT_EQ(readU16(b, 8), c.header);
        EXPECT_EQ(readU16(b, 10), c.record);
        EXPECT_EQ(b.substr(12, 20),
                  std::string(20, '\0')); // bytes 28 (flags) and 29 (code page) too
        EXPECT_EQ(b.substr(c.header - 2, 3), std::string("\r\0\x1A", 3));
        for (size_t i = 0; i < c.schema.size(); ++i) {
            const FieldDesc& f = c.schema[i];
            std::string d = b.substr(32 * (i + 1), 32);
            std::string name = f.name + std::string(11 - f.name.size(), '\0');
            EXPECT_EQ(d.substr(0, 11), name);
            EXPECT_EQ(d[11], f.type);
            EXPECT_EQ(static_cast<unsigned char>(d[16]), f.width);
            EXPECT_EQ(d[17], f.decimals);
            EXPECT_EQ(d.substr(12, 4) + d.substr(18), std::string(18, '\0'));
        }
    }
}

TEST_F(TableFormat, ValuesAreStoredInTheFieldsForms) {
    struct Case {
        FieldDesc field;
        Value value;
        std::string stored;
    };
    const Case cases[] = {
        {{"C", 'C', 2}, std::string("ABC"), "AB"},
        {{"C", 'C', 5}, std::string("ab"), "ab   "},
        {{"C", 'C', 4}, "è€"_cp, "\xE8\x80  "},
        {{"N", 'N', 3}, 7.0, "  7"},
        {{"N", 'N', 3}, -7.0, " -7"},
        {{"N", 'N', 9, 2}, 1234.5, "  1234.50"},
        {{"N", 'N', 9, 2}, -0.5, "    -0.50"},
        {{"N", 'N', 9, 2}, 2.675, "     2.68"},
        {{"N", 'N', 5, 2}, -0.001, " 0.00"},
        {{"N", 'N', 3}, 1000.0, "***"},
        {{"N", 'N', 3}, 999.4, "999"},
        {{"D", 'D', 8}, Date::ymd(2024, 3, 5), "20240305"},
        {{"D", 'D', 8}, Date(), "        "},
        {{"L", 'L', 1}, true, "T"},
        {{"L", 'L', 1}, false, "F"},
    };
    for (const Case& c : cases) {
        DBGEN("t", {c.field});
        DBOPEN(true, "t", "", false, false);
        DBAPP();
        db().current().put(1, c.value);
        db().current().commit();
        DBCLOSE();
        std::string b = readFileBytes(folder / "T.DBF");
        EXPECT_EQ(b.substr(32 * 2 + 2, 1 + c.field.width + 1), " " + c.stored + "\x1A")
            << c.field.type << c.field.width;
    }
}

TEST_F(TableFormat, StoredBytesReadBackAsTheirValues) {
    struct Case {
        RawField field;
        std::string stored;
        Value value;
    };
    const Case cases[] = {
        {{"C", 'C', 4}, "ab  ", std::string("ab  ")},
        {{"N", 'N', 5}, "     ", 0.0},
        {{"N", 'N', 9, 2}, "  -12.50 ", -12.5},
        {{"N", 'N', 4}, "****", 0.0},
        {{"N", 'N', 12, 4}, "   3.1416   ", 3.1416},
        {{"D", 'D', 8}, "        ", Date()},
        {{"D", 'D', 8}, "20240229", Date::ymd(2024, 2, 29)},
        {{"D", 'D', 8}, "20230229", Date()},
        {{"L", 'L', 1}, "y", true},
        {{"L", 'L', 1}, "Y", true},
        {{"L", 'L', 1}, "t", true},
        {{"L", 'L', 1}, "T", true},
        {{"L", 'L', 1}, "F", false},
        {{"L", 'L', 1}, "N", false},
        {{"L", 'L', 1}, " ", false},
        {{"L", 'L', 1}, "?", false},
    };
    for (const Case& c : cases) {
        writeFileBytes(folder / "T.DBF", rawTable({c.field}, {" " + c.stored}));
        DBOPEN(true, "T", "", false, true);
        EXPECT_EQ(db().current().get(1), c.value) << c.field.type << " [" << c.stored << "]";
        DBCLOSE();
    }
}

TEST_F(TableFormat, AppendedRecordsAreBlankAndTheEndPositionReadsBlank) {
    DBGEN("f", invoiceSchema());
    DBOPEN(true, "f", "", false, false);
    WorkArea& a = db().current();
    DBAPP();
    for (int pos = 1; pos <= static_cast<int>(a.fieldCount()); ++pos) {
        Value v = a.get(pos);
        switch (a.field(pos).type) {
        case 'C':
            EXPECT_EQ(v, Value(std::string(static_cast<size_t>(a.field(pos).width), ' ')));
            break;
        case 'N':
            EXPECT_EQ(v, Value(0.0));
            break;
        case 'D':
            EXPECT_EQ(v, Value(Date()));
            break;
        default:
            EXPECT_EQ(v, Value(false));
            break;
        }
    }
    a.put("NUMERO", 5.0);
    a.skip(1);
    EXPECT_TRUE(a.eof());
    EXPECT_EQ(a.recno(), 2u);
    EXPECT_EQ(a.number("NUMERO"), 0.0);
    DBCLOSE();
    std::string b = readFileBytes(folder / "F.DBF");
    ASSERT_EQ(b.size(), 1858u + 1225 + 1);
    EXPECT_EQ(b.substr(1858, 4), "   5");
    EXPECT_EQ(b.substr(1862, 1220), std::string(1220, ' '));
}

TEST_F(TableFormat, TablesOfOtherWritersAreRead) {
    // A one-byte terminator, a code-page mark, numeric widths of their own,
    // and field types this program never writes (kept in the structure as read).
    std::vector<RawField> fields = {{"name", 'C', 6},
                                    {"AMOUNT", 'N', 12, 4},
                                    {"RATIO", 'F', 8, 3},
                                    {"NOTES", 'M', 10},
                                    {"OK", 'L', 1}};
    std::string rec1 =
        std::string(" ") + "Caffè"_cp + " " + "   12.5000  " + "   0.125" + "          " + "Y";
    std::string rec2 =
        std::string("*") + "gone  " + "      1.0000" + "   1.000" + "          " + "F";
    writeFileBytes(
        folder / "OTHER.DBF",
        rawTable(fields, {rec1, rec2}, {.version = 0x03, .codePage = 0x57, .terminatorBytes = 1}));
    DBOPEN(true, "other", "", false, true);
    WorkArea& a = db().current();
    ASSERT_EQ(a.fieldCount(), 5u);
    EXPECT_EQ(a.field(1).name, "NAME");
    EXPECT_EQ(a.field(3).type, 'F');
    EXPECT_EQ(a.field(4).type, 'M');
    EXPECT_EQ(a.field(2).decimals, 4);
    EXPECT_EQ(a.recordCount(), 2u);
    EXPECT_EQ(a.text("name"), "Caffè "_cp);
    EXPECT_EQ(a.number("AMOUNT"), 12.5);
    EXPECT_EQ(a.text("RATIO"), "   0.125");
    EXPECT_EQ(a.text("NOTES"), ""); // no memo file beside the table
    EXPECT_TRUE(a.logical("OK"));
    a.skip(1);
    EXPECT_TRUE(a.eof()) << "the deleted second record is invisible";
}

TEST_F(TableFormat, MemoFieldsReadTheirTextFromTheMemoFile) {
    std::string dbt(512, '\0');
    dbt[0] = 3; // next free block
    dbt += "first line\r\nsecond" + std::string("\x1A\x1A");
    dbt.resize(1024, '\0');
    dbt += std::string("\xFF\xFF\x08\x00", 4);
    std::string len(4, '\0');
    writeU32(len, 0, 8 + 5);
    dbt += len + "dBase" + std::string(499, '\0');
    writeFileBytes(folder / "MEMO.DBT", dbt);
    writeFileBytes(folder / "MEMO.DBF",
                   rawTable({{"TEXT", 'M', 10}}, {"          1", "          2", "           "},
                            {.version = 0x83}));
    DBOPEN(true, "memo", "", false, true);
    WorkArea& a = db().current();
    EXPECT_EQ(a.text("TEXT"), "first line\r\nsecond");
    a.skip(1);
    EXPECT_EQ(a.text("TEXT"), "dBase");
    a.skip(1);
    EXPECT_EQ(a.text("TEXT"), "");
}

TEST_F(TableFormat, FileNamesAreUpperCasedAndFoundWhateverTheirCase) {
    DBGEN("fatture", invoiceSchema());
    EXPECT_TRUE(os::exists(folder / "FATTURE.DBF"));
    EXPECT_FALSE(os::exists(folder / "fatture.dbf"));
    writeFileBytes(folder / "clienti.dbf", readFileBytes(folder / "FATTURE.DBF"));
    DBOPEN(true, folder / "Clienti", "", false, false);
    EXPECT_EQ(db().current().path(), folder / "clienti.dbf");
    ORDBUILD(folder / "Clienti", "", "NUMERO");
    EXPECT_TRUE(os::exists(folder / "CLIENTI.NTX"));
    EXPECT_EQ(db().current().orderName(), "CLIENTI");

    DBGEN("net.", netSchema()); // a closing "." stands for no extension
    EXPECT_TRUE(os::exists(folder / "NET"));
    DBOPEN(true, "NET.", "", true, false);
    EXPECT_EQ(db().current().path(), "NET");
}

} // namespace
} // namespace vardo::test
