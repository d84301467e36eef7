#pragma once
// The program holds Windows-1252 bytes; Qt speaks Unicode. Text crosses over here only.

#include <QString>
#include <string>
#include <string_view>

namespace vardo {

QString toQt(std::string_view cp1252);
std::string fromQt(const QString& text);

} // namespace vardo
