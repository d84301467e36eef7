#include "common/round.h"

#include <cmath>

namespace vardo {

double roundHalfAway(double value, int decimals) {
    if (value == 0.0) return 0.0;
    double scale = std::pow(10.0, decimals);
    double shifted = value * scale * 10.0;
    shifted += value < 0 ? -5.0 : 5.0;
    shifted /= 10.0;
    shifted *= 1.0 + std::ldexp(1.0, -52);
    double result = std::trunc(shifted) / scale;
    return result == 0.0 ? 0.0 : result; // no negative zero
}

} // namespace vardo
