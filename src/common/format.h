#pragma once
// How numbers, amounts, values and texts are written on screen, on pages and in
// settings files.

#include <string>
#include <string_view>

#include "common/value.h"

namespace vardo {

// Whole number right-aligned in `places` integer places, "." between groups of
// three digits, rounded half away from zero; all blanks when it is zero.
std::string ZSTR(double value, int places = 3);
// Amount with two decimals, "," before them, "." between thousands, right-aligned
// in a field of `places` digit places (decimals included); "*" in every position
// but the comma when it does not fit.
std::string ENSTR(double value, int places);
// As ENSTR, but the whole field is blank when the value is zero.
std::string EZSTR(double value, int places);
// Decimal text without leading blanks, "." as decimal point, as many decimals as
// the value carries (none for a whole number): "4.5", "22", "-0.25".
std::string numberText(double value);
// A value as a settings file stores it: text unchanged, dates dd/mm/yyyy, ".T."
// or ".F.", numbers as numberText, no value as "NIL".
std::string CVALTOCHAR(const Value& value);
// A value written as a literal inside a condition text.
std::string MKSTR(const Value& value);
// Turns the six legacy bytes 0x85, 0x8A, 0x82, 0x8D, 0x95, 0x97 into the
// accented vowels à è é ì ò ù; every other byte is unchanged.
std::string O2A(std::string_view text);

// Trailing blanks removed; leading and trailing blanks removed.
std::string trimRight(std::string_view text);
std::string trim(std::string_view text);
// ASCII letters to upper case; other bytes unchanged.
std::string upper(std::string_view text);
// Cut to `width` or filled with blanks to it.
std::string padRight(std::string_view text, size_t width);

} // namespace vardo
