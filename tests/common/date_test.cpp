#include "common/date.h"

#include <gtest/gtest.h>

namespace vardo {
namespace {

TEST(DateText, ParsesDayMonthYear) {
    struct Row {
        std::string text;
        std::optional<Date> expected;
    };
    const Row rows[] = {
        {"05/03/2024", Date::ymd(2024, 3, 5)},
        {"5/3/2024", Date::ymd(2024, 3, 5)},
        {"05/03/24  ", Date::ymd(2024, 3, 5)},
        {"1/1/79", Date::ymd(2079, 1, 1)}, // two-digit years fall in 1980..2079
        {"1/1/80", Date::ymd(1980, 1, 1)},
        {"31/12/99", Date::ymd(1999, 12, 31)},
        {"01/01/00", Date::ymd(2000, 1, 1)},
        {"29/02/2024", Date::ymd(2024, 2, 29)},
        {"  /  /    ", Date()},
        {"", Date()},
        {"29/02/2023", std::nullopt},
        {"31/04/2024", std::nullopt},
        {"00/01/2024", std::nullopt},
        {"01/13/2024", std::nullopt},
        {"05/  /2024", std::nullopt},
        {"05/03", std::nullopt},
        {"05/03/2024/1", std::nullopt},
        {"05/03/20245", std::nullopt},
        {"aa/bb/cccc", std::nullopt},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(Date::parseDmy(r.text), r.expected) << r.text;
        EXPECT_EQ(Date::fromDmy(r.text), r.expected.value_or(Date())) << r.text;
    }
}

TEST(DateText, ShownListedAndStored) {
    const Date d = Date::ymd(2024, 3, 5);
    EXPECT_EQ(d.dmy(), "05/03/2024");
    EXPECT_EQ(d.listText(), "05/03/2024");
    EXPECT_EQ(d.storage(), "20240305");
    EXPECT_EQ(Date::fromStorage("20240305"), d);
    EXPECT_EQ((std::tuple{d.year(), d.month(), d.day()}), (std::tuple{2024, 3, 5}));

    const Date empty;
    EXPECT_EQ(empty.dmy(), "  /  /    ");
    EXPECT_EQ(empty.listText(), std::string(8, ' '));
    EXPECT_EQ(empty.storage(), std::string(8, ' '));
    EXPECT_EQ(empty.year(), 0);
    for (const char* stored : {"        ", "20230229", "2024030", "2024O305", "202403051"})
        EXPECT_TRUE(Date::fromStorage(stored).empty()) << stored;
}

TEST(DateOrder, EmptyIsEarliestAndDaysCountAcrossLeapYears) {
    EXPECT_LT(Date(), Date::ymd(1, 1, 1));
    EXPECT_LT(Date::ymd(2023, 12, 31), Date::ymd(2024, 1, 1));
    const Date feb28 = Date::ymd(2024, 2, 28);
    EXPECT_EQ(feb28.addDays(1), Date::ymd(2024, 2, 29));
    EXPECT_EQ(feb28.addDays(2), Date::ymd(2024, 3, 1));
    EXPECT_EQ(Date::ymd(2023, 2, 28).addDays(1), Date::ymd(2023, 3, 1));
    EXPECT_EQ(Date::ymd(2024, 3, 1).addDays(-366), Date::ymd(2023, 3, 1));
    EXPECT_EQ(Date::ymd(2025, 1, 1).julianDay() - Date::ymd(2024, 1, 1).julianDay(), 366);
    EXPECT_TRUE(Date().addDays(1).empty());
    EXPECT_TRUE(Date::ymd(2023, 2, 29).empty());
}

} // namespace
} // namespace vardo
