#pragma once
// The program keeps all text, file paths included, as Windows-1252 bytes, as
// its files store them. Unicode appears only where text meets the system (file
// names, in os.cpp), the desktop (ui/) or an XML file; these are the only
// conversions.

#include <string>
#include <string_view>

namespace vardo {

// Windows-1252 bytes to UTF-8. The five bytes the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the same value.
std::string cp1252ToUtf8(std::string_view cp);
// UTF-8 to Windows-1252; characters the code page lacks, and malformed
// sequences, become "?".
std::string utf8ToCp1252(std::string_view utf8);
// One Windows-1252 byte to its Unicode code point.
char32_t cp1252ToCodePoint(unsigned char byte);

} // namespace vardo

// Program texts are written in UTF-8 in the sources; "Sì"_cp is their Windows-1252 form.
inline std::string operator""_cp(const char* s, std::size_t n) {
    return vardo::utf8ToCp1252(std::string_view(s, n));
}
