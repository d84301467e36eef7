#pragma once
// The one date type of the program: a calendar day or the empty date. The empty
// date compares before every other date.

#include <compare>
#include <optional>
#include <string>
#include <string_view>

namespace vardo {

class Date {
public:
    Date() = default; // the empty date

    // The day y-m-d; the empty date when it does not exist.
    static Date ymd(int year, int month, int day);
    static Date today();
    // Text typed by a user or stored in a settings file, day/month/year in that
    // order with any separators: "05/03/2024", "5/3/24". Two-digit years fall in
    // 1980..2079. nullopt when the text names no valid day (a blank text is the
    // empty date, not an error).
    static std::optional<Date> parseDmy(std::string_view text);
    // As parseDmy, the empty date for any text that is not a date.
    static Date fromDmy(std::string_view text);
    // Eight digits YYYYMMDD as tables store them; the empty date for anything else.
    static Date fromStorage(std::string_view text);

    bool empty() const { return jdn_ == 0; }
    int year() const;  // 0 for the empty date
    int month() const; // 0 for the empty date
    int day() const;   // 0 for the empty date

    // "dd/mm/yyyy"; the empty date gives "  /  /    ".
    std::string dmy() const;
    // "dd/mm/yyyy"; the empty date gives eight blanks, as lists and pages show it.
    std::string listText() const;
    // "YYYYMMDD"; the empty date gives eight blanks.
    std::string storage() const;

    Date addDays(int days) const;
    int julianDay() const { return jdn_; }

    auto operator<=>(const Date&) const = default;

private:
    explicit Date(int jdn) : jdn_(jdn) {}
    int jdn_ = 0;
};

} // namespace vardo
