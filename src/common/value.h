#pragma once
// A value of one of the four kinds that fields and settings variables hold.

#include <string>
#include <variant>

#include "common/date.h"

namespace vardo {

// monostate stands for "no value" (a settings variable read from an unknown type letter).
using Value = std::variant<std::monostate, std::string, double, Date, bool>;

// 'C', 'N', 'D', 'L', or 'U' for no value.
char valueType(const Value& v);

inline const std::string& asText(const Value& v) {
    static const std::string empty;
    auto* s = std::get_if<std::string>(&v);
    return s ? *s : empty;
}
inline double asNumber(const Value& v) {
    auto* d = std::get_if<double>(&v);
    return d ? *d : 0.0;
}
inline Date asDate(const Value& v) {
    auto* d = std::get_if<Date>(&v);
    return d ? *d : Date();
}
inline bool asBool(const Value& v) {
    auto* b = std::get_if<bool>(&v);
    return b && *b;
}

} // namespace vardo
