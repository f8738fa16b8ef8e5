#include <cmath>

#include "physics/joint.hpp"

namespace flopkin {

// Repeated subtraction is exact for every float below 2^26, and so is fmod,
// so the two agree on every angle a figure can hold; fmod only spares the
// loop on huge values (a document may carry any float). Non-finite angles
// have no direction at all and are taken as 0.

float wrap_360(float a) {
    if (!std::isfinite(a)) return 0;
    if (std::fabs(a) >= 720) a = std::fmod(a, 360.0f);
    while (a >= 360) a -= 360;
    while (a < 0) a += 360;
    return a;
}

float wrap_180(float a) {
    if (!std::isfinite(a)) return 0;
    if (std::fabs(a) >= 720) a = std::fmod(a, 360.0f);
    while (a > 180) a -= 360;
    while (a < -180) a += 360;
    return a;
}

}  // namespace flopkin
