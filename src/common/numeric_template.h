#pragma once
// The one formatter of numbers in a template, shared by the amount texts and by
// numeric entry fields.

#include <string>
#include <string_view>

namespace vardo {

// Formats `value` in a numeric template: "9" (or "#") a digit place, "," a
// thousands separator shown only with a digit to its left, "." the decimal
// point, anything else fixed. Rounds half away from zero to the template's
// decimals; "-" goes right before the first digit; a value that does not fit
// gives "*" in every place but the decimal point. `amountSeparators` swaps the
// separators ("." between thousands, "," before decimals); `zeroBlank` gives
// blanks for zero.
std::string formatNumeric(double value, std::string_view templ, bool amountSeparators, bool zeroBlank);

} // namespace vardo
