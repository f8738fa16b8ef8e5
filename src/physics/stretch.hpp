#pragma once
// The correction of one link, written once for the link pass.
//
// With d the link's length and e = d - rest, end a moves by
// e / (1 + mass a / mass b) x (dx, dy) / d x 0.3 and end b by minus the same
// with the masses swapped: the lighter end takes the larger part of the 0.3
// stiffness. Masses change at most once a frame, so each end's part,
// 0.3 / (1 + mass a / mass b) and -0.3 / (1 + mass b / mass a), is worked out
// once per frame; a pass then moves end a by part a x stretch x (dx, dy) and
// end b by part b x stretch x (dx, dy), and divides only once per link.
#include <cmath>

#include "physics/constants.hpp"

namespace flopkin {

struct link_parts {
    float a, b;
};

inline link_parts parts_of_link(float mass_a, float mass_b) {
    return {link_stiffness / (1 + mass_a / mass_b), -link_stiffness / (1 + mass_b / mass_a)};
}

// the distance between two balls as they stand now: a link's rest length
// when it is drawn or its end is moved
template <class ball_like>
float present_length(const ball_like& a, const ball_like& b) {
    float dx = b.x - a.x;
    float dy = b.y - a.y;
    return std::sqrt(dx * dx + dy * dy);
}

// (d - rest) / d for the link from end a to end b, (dx, dy) = b - a
inline float stretch_of(float dx, float dy, float rest) {
    float d = std::sqrt(dx * dx + dy * dy);
    d = std::fabs(d) < distance_floor ? distance_floor : d;
    return (d - rest) / d;
}

// a mass of zero, below zero or not finite (only a document can hold one)
// would make the split undefined; such a ball weighs as a default one
inline float usable_mass(float m) { return std::isfinite(m) && m > 0 ? m : 1.0f; }

}  // namespace flopkin
