#include "platform/cp1252.h"
#include "common/format.h"
#include "common/round.h"

#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>

namespace vardo {
namespace {

std::string blanks(size_t n) {
    return std::string(n, ' ');
}

TEST(AmountText, WidthsSignsRoundingAndOverflow) {
    struct Row {
        bool blankZero;
        double value;
        int places;
        std::string expected;
    };
    const Row rows[] = {
        {false, 1234.5, 11, blanks(6) + "1.234,50"},
        {false, 1234.5, 13, blanks(9) + "1.234,50"},
        {false, 1234.5, 14, blanks(10) + "1.234,50"},
        {true, 1234.5, 13, blanks(9) + "1.234,50"},
        {false, 0, 14, blanks(14) + "0,00"},
        {true, 0, 14, blanks(18)},
        {true, 0.004, 11, blanks(14)}, // rounds to zero
        {false, 0.5, 11, blanks(10) + "0,50"},
        {false, -1234.5, 14, blanks(9) + "-1.234,50"},
        {false, -234.5, 14, blanks(11) + "-234,50"},
        {false, -99999999.99, 11, "-99.999.999,99"},
        {false, 0.005, 14, blanks(14) + "0,01"},
        {false, 1.005, 14, blanks(14) + "1,01"},
        {false, -2.675, 11, blanks(9) + "-2,68"},
        {false, 1234567.891, 11, blanks(2) + "1.234.567,89"},
        {false, 999999999.994, 11, "999.999.999,99"},
        {false, 999999999.995, 11, "***********,**"},
        {true, 1234567890, 11, "***********,**"},
        {false, -123456789, 11, "***********,**"}, // no place left for the sign
    };
    for (const auto& r : rows) {
        std::string got = r.blankZero ? EZSTR(r.value, r.places) : ENSTR(r.value, r.places);
        EXPECT_EQ(got, r.expected)
            << (r.blankZero ? "EZSTR(" : "ENSTR(") << r.value << ", " << r.places << ")";
        EXPECT_EQ(got.size(), r.places - 2 + (r.places - 3) / 3 + 3u);
    }
}

TEST(WholeNumberText, InvoiceNumbersAndGroups) {
    struct Row {
        double value;
        int places;
        std::string expected;
    };
    const Row rows[] = {
        {7, 3, "  7"},        {0, 3, "   "},       {999, 3, "999"},
        {1000, 3, "***"},     {2.5, 3, "  3"},     {-2.5, 3, " -3"},
        {1234, 6, "  1.234"}, {0.4, 6, blanks(7)}, {1234567, 9, "  1.234.567"},
    };
    for (const auto& r : rows) EXPECT_EQ(ZSTR(r.value, r.places), r.expected) << r.value;
    EXPECT_EQ(ZSTR(12), " 12");
}

TEST(SettingsText, EveryKindOfValue) {
    struct Row {
        Value value;
        std::string expected;
    };
    const Row rows[] = {
        {std::string("Rimessa diretta "), "Rimessa diretta "},
        {4.5, "4.5"},
        {22.0, "22"},
        {-0.25, "-0.25"},
        {0.0, "0"},
        {0.1 + 0.2, "0.3"},
        {1234567.0, "1234567"},
        {Date::ymd(2024, 3, 5), "05/03/2024"},
        {Date(), "  /  /    "},
        {true, ".T."},
        {false, ".F."},
        {std::monostate(), "NIL"},
    };
    for (const auto& r : rows) EXPECT_EQ(CVALTOCHAR(r.value), r.expected);
}

TEST(ConditionLiteral, TextsDatesNumbersAndEmptyValues) {
    struct Row {
        Value value;
        std::string expected;
    };
    const Row rows[] = {
        {std::string("ROSSI SRL"), "\"ROSSI SRL\""},
        {std::string("IL \"SOLE\""), "\"IL \"+[\"]+\"SOLE\"+[\"]"},
        {std::string("\""), "[\"]"},
        {Date::ymd(2024, 3, 5), "CTOD(\"05/03/2024\")"},
        {12.5, "12.5"},
        {3.0, "3"},
        {std::string(), "\"\""},
        {std::string("   "), "\"\""},
        {Date(), "\"\""},
        {0.0, "\"\""},
    };
    for (const auto& r : rows) EXPECT_EQ(MKSTR(r.value), r.expected);
}

TEST(LegacyAccents, OnlyTheSixBytesChange) {
    const std::pair<unsigned char, unsigned char> mapped[] = {
        {0x85, 0xE0}, {0x8A, 0xE8}, {0x82, 0xE9}, {0x8D, 0xEC}, {0x95, 0xF2}, {0x97, 0xF9}};
    for (int b = 0; b < 256; ++b) {
        unsigned char expected = static_cast<unsigned char>(b);
        for (auto [from, to] : mapped)
            if (from == b) expected = to;
        std::string in(1, static_cast<char>(b));
        EXPECT_EQ(O2A(in), std::string(1, static_cast<char>(expected))) << "byte " << b;
    }
    EXPECT_EQ(cp1252ToUtf8(O2A("Citt\x85 pi\x97 \x8A")), "Città più è");
}

TEST(Rounding, HalvesAwayFromZeroOnTheDecimalValue) {
    const std::pair<double, double> rows[] = {
        {25.245, 25.25}, {-2.675, -2.68}, {4.938, 4.94}, {1.005, 1.01}, {2.675, 2.68},
        {0.005, 0.01},   {-0.005, -0.01}, {0.0049, 0},   {-0.004, 0},   {0, 0},
    };
    for (auto [value, expected] : rows) EXPECT_EQ(roundCents(value), expected) << value;
    EXPECT_FALSE(std::signbit(roundCents(-0.004)));
    EXPECT_EQ(roundHalfAway(2.5, 0), 3);
    EXPECT_EQ(roundHalfAway(-2.5, 0), -3);
}

// Every surcharge, VAT and withholding is an amount in cents times a whole percent:
// rounding the binary product must give what whole-cent arithmetic gives.
TEST(Rounding, PercentOfAmountsMatchesWholeCents) {
    int mismatches = 0;
    auto check = [&](int64_t cents) {
        const double amount = static_cast<double>(cents) / 100;
        for (int rate = 0; rate < 100; ++rate) {
            const double expected = static_cast<double>((cents * rate + 50) / 100) / 100;
            if (roundCents(amount * rate / 100) != expected ||
                roundCents(-amount * rate / 100) != -expected) {
                if (++mismatches <= 5) ADD_FAILURE() << cents << " cents at " << rate << "%";
            }
        }
    };
    for (int64_t cents = 0; cents <= 100000; ++cents) check(cents);
    for (int64_t cents = 100000; cents <= 100000000000; cents += 9999991) check(cents);
    EXPECT_EQ(mismatches, 0);
}

TEST(CodePage, EveryPrintableByteRoundTrips) {
    for (int b = 0x20; b <= 0xFF; ++b) {
        std::string byte(1, static_cast<char>(b));
        EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(byte)), byte) << "byte " << b;
    }
    EXPECT_EQ(cp1252ToCodePoint(0x80), U'\u20AC');
    EXPECT_EQ(cp1252ToUtf8("\x80"), "\xE2\x82\xAC");
    EXPECT_EQ("€"_cp, "\x80");
    EXPECT_EQ("Sì"_cp, "S\xEC");
    EXPECT_EQ(utf8ToCp1252("\xE2\x82"), "??");    // a cut sequence
    EXPECT_EQ(utf8ToCp1252("\xE4\xB8\xAD"), "?"); // a character the code page lacks
}

} // namespace
} // namespace vardo
