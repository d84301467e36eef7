#pragma once
// Checks of the codes a user types. They never fail: bad input gives false.

#include <string_view>

namespace vardo {

bool ISIVA(std::string_view vatNumber);  // Italian VAT number, 11 digits
bool ISCOD(std::string_view taxCode);    // tax code, 16 characters, or a firm's VAT number
bool ISIBAN(std::string_view iban);      // Italian IBAN, 27 characters
bool ISEMAIL(std::string_view address);  // a plausible e-mail address
bool LFNFNAME(std::string_view name);    // usable as a file name (no folder part)

} // namespace vardo
