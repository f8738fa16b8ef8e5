#pragma once
// The correction of one link, as plain arithmetic, shared by the per-link
// operation and the array passes. share_a is 1 + mass a / mass b, share_b the
// reverse: the lighter end takes the larger part of the 0.3 stiffness.
#include <cmath>

#include "app/app.hpp"

namespace flopkin {

inline link_shift push_of_link(float dx, float dy, float rest, float share_a, float share_b) {
    float d = std::sqrt(dx * dx + dy * dy);
    d = std::fabs(d) < 0.00001f ? 0.00001f : d;
    float e = d - rest;
    float ka = e / share_a;
    float kb = -e / share_b;
    return {ka * dx / d * 0.3f, ka * dy / d * 0.3f, kb * dx / d * 0.3f, kb * dy / d * 0.3f};
}

// a mass of zero, below zero or not finite (only a document can hold one)
// would make the split undefined; such a ball weighs as a default one
inline float usable_mass(float m) { return std::isfinite(m) && m > 0 ? m : 1.0f; }

}  // namespace flopkin
