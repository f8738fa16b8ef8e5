#pragma once
// The correction of one link, as plain arithmetic, shared by the per-link
// operation and the array passes.
//
// With d the link's length and e = d - rest, end a moves by
// e / (1 + mass a / mass b) x (dx, dy) / d x 0.3 and end b by minus the same
// with the masses swapped: the lighter end takes the larger part of the 0.3
// stiffness. Masses change at most once a frame, so each end's part,
// 0.3 / (1 + mass a / mass b) and -0.3 / (1 + mass b / mass a), is worked out
// once per frame and a pass divides only once per link.
#include <cmath>

#include "app/app.hpp"

namespace flopkin {

struct link_parts {
    float a, b;
};

inline link_parts parts_of_link(float mass_a, float mass_b) {
    return {0.3f / (1 + mass_a / mass_b), -0.3f / (1 + mass_b / mass_a)};
}

// (d - rest) / d for the link from end a to end b, (dx, dy) = b - a
inline float stretch_of(float dx, float dy, float rest) {
    float d = std::sqrt(dx * dx + dy * dy);
    d = std::fabs(d) < 0.00001f ? 0.00001f : d;
    return (d - rest) / d;
}

inline link_shift push_of_link(float dx, float dy, float rest, float part_a, float part_b) {
    float stretch = stretch_of(dx, dy, rest);
    float ka = stretch * part_a, kb = stretch * part_b;
    return {ka * dx, ka * dy, kb * dx, kb * dy};
}

// a mass of zero, below zero or not finite (only a document can hold one)
// would make the split undefined; such a ball weighs as a default one
inline float usable_mass(float m) { return std::isfinite(m) && m > 0 ? m : 1.0f; }

}  // namespace flopkin
