#pragma once
// The arithmetic the physics writes its formulas in.
#include <cmath>

namespace flopkin {

// the square root, under the name the formulas use
inline double sqr(double value) { return std::sqrt(value); }

inline double atan2_deg(double y, double x) { return std::atan2(y, x) * (180.0 / 3.14159265358979323846); }

}  // namespace flopkin
