#include "common/format.h"

#include <charconv>
#include <cmath>

#include "common/numeric_template.h"
#include "common/round.h"

namespace vardo {

namespace {

// k integer places grouped in threes from the right: "99,999,999".
std::string groupedPlaces(int places) {
    std::string out;
    for (int i = 0; i < places; ++i) {
        if (i > 0 && i % 3 == 0) out.insert(out.begin(), ',');
        out.insert(out.begin(), '9');
    }
    return out;
}

// Fixed-point text with "." whatever the C locale says (a desktop session may set
// one with a decimal comma).
std::string fixedText(double value, int decimals) {
    char buf[400]; // room for the widest double in fixed notation and its decimals
    auto result = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    return std::string(buf, result.ptr);
}

// Blank text, zero, the empty date and no value are written as an empty literal.
bool isEmptyLiteral(const Value& value) {
    switch (valueType(value)) {
    case 'C': return trimRight(asText(value)).empty();
    case 'N': return asNumber(value) == 0.0;
    case 'D': return asDate(value).empty();
    case 'L': return false;
    default: return true;
    }
}

} // namespace

std::string formatNumeric(double value, std::string_view templ, bool amountSeparators, bool zeroBlank) {
    const size_t point = templ.find('.');
    int decimals = 0;
    if (point != std::string_view::npos)
        for (size_t i = point + 1; i < templ.size(); ++i)
            if (templ[i] == '9' || templ[i] == '#') ++decimals;

    double rounded = roundHalfAway(value, decimals);
    if (zeroBlank && rounded == 0.0) return std::string(templ.size(), ' ');

    std::string digits = fixedText(std::fabs(rounded), decimals);
    std::string fraction;
    if (auto dot = digits.find('.'); dot != std::string::npos) {
        fraction = digits.substr(dot + 1);
        digits.resize(dot);
    }

    std::string out(templ);
    bool overflow = false;
    const size_t intEnd = point == std::string_view::npos ? templ.size() : point;
    // Integer places, right to left.
    size_t remaining = digits.size();
    for (size_t p = intEnd; p-- > 0;) {
        char t = templ[p];
        if (t == '9' || t == '#') {
            out[p] = remaining > 0 ? digits[--remaining] : ' ';
        } else if (t == ',') {
            out[p] = remaining > 0 ? (amountSeparators ? '.' : ',') : ' ';
        }
    }
    if (remaining > 0) overflow = true;
    // The sign goes right before the first digit.
    if (!overflow && rounded < 0) {
        size_t first = out.find_first_of("0123456789");
        if (first == std::string::npos || first == 0 || out[first - 1] != ' ')
            overflow = true;
        else
            out[first - 1] = '-';
    }
    // Decimal places.
    if (point != std::string_view::npos) {
        out[point] = amountSeparators ? ',' : '.';
        size_t next = 0;
        for (size_t p = point + 1; p < templ.size(); ++p)
            if (templ[p] == '9' || templ[p] == '#') out[p] = next < fraction.size() ? fraction[next++] : '0';
    }
    if (overflow) {
        for (size_t p = 0; p < out.size(); ++p)
            if (p != point) out[p] = '*';
    }
    return out;
}

std::string ZSTR(double value, int places) {
    return formatNumeric(value, groupedPlaces(places), true, true);
}

std::string ENSTR(double value, int places) {
    return formatNumeric(value, groupedPlaces(places - 2) + ".99", true, false);
}

std::string EZSTR(double value, int places) {
    return formatNumeric(value, groupedPlaces(places - 2) + ".99", true, true);
}

std::string numberText(double value) {
    std::string s = fixedText(value, 10);
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    if (s == "-0") s = "0";
    return s;
}

std::string CVALTOCHAR(const Value& value) {
    switch (valueType(value)) {
    case 'C': return asText(value);
    case 'N': return numberText(asNumber(value));
    case 'D': return asDate(value).dmy();
    case 'L': return asBool(value) ? ".T." : ".F.";
    default: return "NIL";
    }
}

std::string MKSTR(const Value& value) {
    if (isEmptyLiteral(value)) return "\"\"";
    switch (valueType(value)) {
    case 'C': {
        const std::string& text = asText(value);
        std::string out;
        size_t start = 0;
        while (start <= text.size()) {
            size_t quote = text.find('"', start);
            size_t end = quote == std::string::npos ? text.size() : quote;
            if (end > start) out += (out.empty() ? "" : "+") + ("\"" + text.substr(start, end - start) + "\"");
            if (quote == std::string::npos) break;
            out += (out.empty() ? "" : "+") + std::string("[\"]");
            start = quote + 1;
        }
        return out;
    }
    case 'D': return "CTOD(\"" + asDate(value).dmy() + "\")";
    case 'N': return numberText(asNumber(value));
    case 'L': return asBool(value) ? ".T." : ".F.";
    default: return "\"\"";
    }
}

std::string O2A(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        switch (static_cast<unsigned char>(c)) {
        case 0x85: c = static_cast<char>(0xE0); break; // à
        case 0x8A: c = static_cast<char>(0xE8); break; // è
        case 0x82: c = static_cast<char>(0xE9); break; // é
        case 0x8D: c = static_cast<char>(0xEC); break; // ì
        case 0x95: c = static_cast<char>(0xF2); break; // ò
        case 0x97: c = static_cast<char>(0xF9); break; // ù
        default: break;
        }
    }
    return out;
}

std::string trimRight(std::string_view text) {
    size_t end = text.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string() : std::string(text.substr(0, end + 1));
}

std::string trim(std::string_view text) {
    size_t start = text.find_first_not_of(' ');
    if (start == std::string_view::npos) return {};
    return trimRight(text.substr(start));
}

std::string upper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

std::string padRight(std::string_view text, size_t width) {
    std::string out(text.substr(0, std::min(width, text.size())));
    out.resize(width, ' ');
    return out;
}

} // namespace vardo
