#pragma once
// The one rounding of the program: half away from zero, on the decimal value.

namespace vardo {

// Rounds to `decimals` places (0 to 9), halves away from zero. Binary values that
// stand for a decimal half but are stored just below it (2.675) still round away
// from zero: the last step scales by (1 + 2^-52) before dropping the fraction.
double roundHalfAway(double value, int decimals);
// The rounding of amounts: to the cent.
inline double roundCents(double value) { return roundHalfAway(value, 2); }

} // namespace vardo
