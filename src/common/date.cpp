#include "common/date.h"

#include <cstdio>

#include "platform/os.h"

namespace vardo {

namespace {

bool leap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysIn(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && leap(y) ? 29 : days[m - 1];
}

int toJdn(int y, int m, int d) {
    int a = (14 - m) / 12;
    int yy = y + 4800 - a;
    int mm = m + 12 * a - 3;
    return d + (153 * mm + 2) / 5 + 365 * yy + yy / 4 - yy / 100 + yy / 400 - 32045;
}

void fromJdn(int jdn, int& y, int& m, int& d) {
    int a = jdn + 32044;
    int b = (4 * a + 3) / 146097;
    int c = a - 146097 * b / 4;
    int dd = (4 * c + 3) / 1461;
    int e = c - 1461 * dd / 4;
    int mm = (5 * e + 2) / 153;
    d = e - (153 * mm + 2) / 5 + 1;
    m = mm + 3 - 12 * (mm / 10);
    y = 100 * b + dd - 4800 + mm / 10;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

Date Date::ymd(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > daysIn(year, month))
        return Date();
    return Date(toJdn(year, month, day));
}

Date Date::today() {
    auto t = os::now();
    return ymd(t.year, t.month, t.day);
}

std::optional<Date> Date::parseDmy(std::string_view text) {
    int parts[3] = {0, 0, 0};
    int digits[3] = {0, 0, 0};
    int n = 0;
    bool anyDigit = false;
    size_t i = 0;
    while (i < text.size()) {
        if (!isDigit(text[i])) {
            if (text[i] != ' ' && text[i] != '/' && text[i] != '-' && text[i] != '.') return std::nullopt;
            ++i;
            continue;
        }
        if (n == 3) return std::nullopt;
        while (i < text.size() && isDigit(text[i])) {
            if (digits[n] == 4) return std::nullopt;
            parts[n] = parts[n] * 10 + (text[i] - '0');
            ++digits[n];
            ++i;
        }
        anyDigit = true;
        ++n;
    }
    if (!anyDigit) return Date();
    if (n != 3 || digits[0] > 2 || digits[1] > 2) return std::nullopt;
    int year = parts[2];
    if (digits[2] <= 2) year += year >= 80 ? 1900 : 2000;
    Date d = ymd(year, parts[1], parts[0]);
    if (d.empty()) return std::nullopt;
    return d;
}

Date Date::fromDmy(std::string_view text) { return parseDmy(text).value_or(Date()); }

Date Date::fromStorage(std::string_view text) {
    if (text.size() != 8) return Date();
    for (char c : text)
        if (!isDigit(c)) return Date();
    auto num = [&](size_t at, size_t len) {
        int v = 0;
        for (size_t k = at; k < at + len; ++k) v = v * 10 + (text[k] - '0');
        return v;
    };
    return ymd(num(0, 4), num(4, 2), num(6, 2));
}

int Date::year() const {
    if (empty()) return 0;
    int y, m, d;
    fromJdn(jdn_, y, m, d);
    return y;
}

int Date::month() const {
    if (empty()) return 0;
    int y, m, d;
    fromJdn(jdn_, y, m, d);
    return m;
}

int Date::day() const {
    if (empty()) return 0;
    int y, m, d;
    fromJdn(jdn_, y, m, d);
    return d;
}

std::string Date::dmy() const {
    if (empty()) return "  /  /    ";
    int y, m, d;
    fromJdn(jdn_, y, m, d);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", d, m, y);
    return buf;
}

std::string Date::listText() const { return empty() ? std::string(8, ' ') : dmy(); }

std::string Date::storage() const {
    if (empty()) return std::string(8, ' ');
    int y, m, d;
    fromJdn(jdn_, y, m, d);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d", y, m, d);
    return buf;
}

Date Date::addDays(int days) const {
    if (empty()) return Date();
    int y, m, d;
    fromJdn(jdn_ + days, y, m, d);
    return ymd(y, m, d);
}

} // namespace vardo
