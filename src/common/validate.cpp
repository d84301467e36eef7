#include "common/validate.h"

#include "common/format.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

namespace vardo {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isUpperLetter(char c) {
    return c >= 'A' && c <= 'Z';
}
bool isAsciiAlnum(char c) {
    return isDigit(c) || isUpperLetter(c) || (c >= 'a' && c <= 'z');
}

// Weights of the letters and digits in the odd positions of a tax code.
constexpr std::array<int, 26> kOddWeights = {1,  0,  5, 7, 9, 13, 15, 17, 19, 21, 2,  4,  18,
                                             20, 11, 3, 6, 8, 12, 14, 16, 10, 22, 25, 24, 23};

} // namespace

bool ISIVA(std::string_view vatNumber) {
    const std::string text = trimRight(vatNumber);
    if (text.size() != 11 || text == "00000000000") return false;
    // A letter could otherwise stand in for a digit and still fit the check digit.
    if (!std::all_of(text.begin(), text.end(), isDigit)) return false;
    int sum = 0;
    for (int i = 0; i < 10; ++i) {
        int d = text[i] - '0';
        sum += i % 2 == 0 ? d : (2 * d < 10 ? 2 * d : 2 * d - 9);
    }
    return (10 - sum % 10) % 10 == text[10] - '0';
}

bool ISCOD(std::string_view taxCode) {
    const std::string text = trimRight(upper(taxCode));
    if (text.size() != 16) return ISIVA(text);
    if (!isUpperLetter(text[11]) || !isUpperLetter(text[15])) return false;
    int sum = 0;
    for (int i = 0; i < 15; ++i) {
        char c = text[i];
        if (!isDigit(c) && !isUpperLetter(c)) return false;
        int value = isDigit(c) ? c - '0' : c - 'A';
        // Positions count from 1, so index 0 is an odd position.
        sum += i % 2 == 0 ? kOddWeights[value] : value;
    }
    return sum % 26 == text[15] - 'A';
}

bool ISIBAN(std::string_view iban) {
    const std::string text = trim(iban);
    if (text.size() != 27) return false;
    const std::string moved = text.substr(4) + text.substr(0, 4);
    std::string digits;
    for (char c : moved) {
        if (isDigit(c))
            digits += c;
        else if (isUpperLetter(c))
            digits += std::to_string(c - 55);
        else
            return false;
    }
    // Pieces of eight digits keep every step within 64 bits.
    std::string remainder;
    for (size_t at = 0; at < digits.size(); at += 8) {
        remainder += digits.substr(at, 8);
        remainder = std::to_string(std::stoull(remainder) % 97);
    }
    return remainder == "1";
}

bool ISEMAIL(std::string_view address) {
    const std::string text = trimRight(address);
    if (text.find(' ') != std::string::npos) return false;
    if (text.empty() || text.back() == '.') return false;
    if (text.find('.') == std::string::npos) return false;
    if (std::count(text.begin(), text.end(), '@') != 1) return false;
    if (text.find('.', text.find('@')) == std::string::npos) return false;
    const std::string_view allowedMarks = " .@_-'";
    return std::all_of(text.begin(), text.end(), [&](char c) {
        return allowedMarks.find(c) != std::string_view::npos || isAsciiAlnum(c);
    });
}

bool LFNFNAME(std::string_view name) {
    const std::string text = upper(trim(name));
    if (text.empty()) return false;
    const std::string_view forbidden = "\"*/:<>?\\|";
    for (char c : text) {
        // Control bytes (a NUL above all) would cut or garble the path the name ends up in.
        if (static_cast<unsigned char>(c) < 0x20 || forbidden.find(c) != std::string_view::npos)
            return false;
    }
    static const std::array<std::string_view, 11> reserved = {
        "NUL", "CON", "PRN", "AUX", "LPT1", "LPT2", "LPT3", "COM1", "COM2", "COM3", "COM4"};
    return std::find(reserved.begin(), reserved.end(), text) == reserved.end();
}

} // namespace vardo
