// Key and condition texts, compiled and evaluated on record bytes.

#include "store/keyexpr.h"

#include <gtest/gtest.h>

namespace vardo {
namespace {

const Schema kFields = {{"NUMERO", 'N', 3, 0},
                        {"DATA", 'D', 8, 0},
                        {"RAGSOC", 'C', 10, 0},
                        {"IMPORTO", 'N', 9, 2},
                        {"FLAG", 'L', 1, 0}};

std::string record(double numero, Date data, const std::string& ragsoc = "", double importo = 0,
                   bool deleted = false) {
    std::string r(1 + 3 + 8 + 10 + 9 + 1, ' ');
    r[0] = deleted ? '*' : ' ';
    encodeField(kFields[0], numero, &r[1]);
    encodeField(kFields[1], data, &r[4]);
    encodeField(kFields[2], ragsoc, &r[12]);
    encodeField(kFields[3], importo, &r[22]);
    encodeField(kFields[4], true, &r[31]);
    return r;
}

std::string keyOf(const std::string& text, const std::string& rec, uint32_t recno = 1) {
    auto e = KeyExpr::compile(text, kFields);
    EXPECT_TRUE(e) << text;
    if (!e) return {};
    std::string out;
    e->key(rec.data(), recno, out);
    EXPECT_EQ(out.size(), e->keyLength()) << text;
    return out;
}

TEST(KeyExpression, CharacterKeysKeepTheirFullWidth) {
    const std::string r = record(7, Date::ymd(2024, 3, 5), "Rossi", 1234.5);
    struct Case {
        std::string text, key;
    };
    for (const Case& c : {
             Case{"STR( YEAR( data ) ) + STR( numero )", " 2024  7"},
             Case{"str(year(DATA))+str(NUMERO)", " 2024  7"},
             Case{"STR(numero, 5)", "    7"},
             Case{"STR(importo)", "  1234.50"},
             Case{"STR(importo, 6, 1)", "1234.5"},
             Case{"STR(importo, 3)", "***"},
             Case{"UPPER(ragsoc)", "ROSSI     "},
             Case{"FIELD->ragsoc", "Rossi     "},
             Case{"UPPER( FIELD -> ragsoc ) + DTOS(data)", "ROSSI     20240305"},
             Case{"STR(RECNO())", "        12"},
         })
        EXPECT_EQ(keyOf(c.text, r, 12), c.key) << c.text;
    EXPECT_EQ(keyOf("STR( YEAR( data ) ) + STR( numero )", record(7, Date())), "    0  7");
    EXPECT_EQ(keyOf("DTOS(data)", record(7, Date())), "        ");
}

TEST(KeyExpression, NumberAndDateKeysSortAsTheirValues) {
    std::vector<std::string> amounts, dates;
    for (double v : {-1000.0, -5.0, -0.5, 0.0, 0.25, 0.5, 7.0, 123456.78})
        amounts.push_back(keyOf("IMPORTO", record(0, Date(), "", v)));
    for (Date d : {Date(), Date::ymd(1999, 12, 31), Date::ymd(2023, 12, 31), Date::ymd(2024, 1, 1)})
        dates.push_back(keyOf("DATA", record(0, d)));
    for (const auto* keys : {&amounts, &dates}) {
        EXPECT_EQ(keys->front().size(), 8u);
        EXPECT_TRUE(std::is_sorted(keys->begin(), keys->end()));
        EXPECT_EQ(std::adjacent_find(keys->begin(), keys->end()), keys->end());
    }
    std::string out;
    KeyExpr::keyOfValue(-0.0, 'N', 8, out);
    EXPECT_EQ(out, keyOf("IMPORTO", record(0, Date(), "", 0.0)));
}

TEST(KeyExpression, ConditionsTestTheDeletionFlag) {
    auto live = KeyExpr::compile("!DELETED()", kFields);
    auto gone = KeyExpr::compile("deleted()", kFields);
    auto flag = KeyExpr::compile("FLAG", kFields);
    ASSERT_TRUE(live && gone && flag);
    const std::string kept = record(1, Date()), deleted = record(1, Date(), "", 0, true);
    EXPECT_TRUE(live->test(kept.data(), 1));
    EXPECT_FALSE(live->test(deleted.data(), 1));
    EXPECT_TRUE(gone->test(deleted.data(), 1));
    EXPECT_TRUE(flag->test(kept.data(), 1));
}

TEST(KeyExpression, TextsOutsideTheLanguageDoNotCompile) {
    for (const char* text :
         {"", "NOPE", "UPPER(", "UPPER(numero)", "STR(ragsoc)", "numero + ragsoc", "YEAR(numero)",
          "STR(numero, importo)", "!ragsoc", "ragsoc ragsoc"})
        EXPECT_FALSE(KeyExpr::compile(text, kFields)) << text;
}

} // namespace
} // namespace vardo
