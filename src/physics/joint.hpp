#pragma once
// The angle a tension holds and the force it gives, as plain arithmetic on
// its two arms, written once for every pass that works out a tension.
//
// Arms: (dx1, dy1) runs from end a to the vertex, (dx2, dy2) from the vertex
// to end b. The angle is the difference of the two arms' directions plus 180,
// in [0, 360); three balls on a line give 180.
#include <cmath>

#include "physics/constants.hpp"
#include "physics/maths.hpp"

namespace flopkin {

float wrap_360(float angle);
float wrap_180(float angle);

// atan2 in degrees, branch-free so that loops over many tensions vectorise:
// atan of t = small / big (the smaller over the larger of |x| and |y|, so t
// lies in [0, 1]), then the octant from the signs and which one is larger.
// atan(t) is an odd polynomial of degree 17 with the coefficients below, a
// near-minimax fit on [0, 1]: its error changes sign 14 times across the
// interval and is at most 1.2e-8 radians (6.6e-7 degrees) in exact
// arithmetic, measured at 200,001 points against the library's atan. In
// float, the rounding of t and of the Horner steps adds more: the test
// FastAtan2FollowsTheLibraryOne measures it against the library's atan2 over
// 600,000 directions, within 2e-5 degrees: about one float step at 180.
inline float fast_atan2_deg(float y, float x) {
    float ax = std::fabs(x), ay = std::fabs(y);
    float big = ax > ay ? ax : ay;
    float small = ax > ay ? ay : ax;
    float t = small / (big > 0 ? big : 1.0f);
    float s = t * t;
    float p = 0.002834064299313468f;
    p = p * s - 0.016005030504602474f;
    p = p * s + 0.042587607465986825f;
    p = p * s - 0.07495445443168593f;
    p = p * s + 0.10636754097864426f;
    p = p * s - 0.14202570511545173f;
    p = p * s + 0.19992483578459425f;
    p = p * s - 0.33333066780686976f;
    p = p * s + 0.9999999842426349f;
    float r = p * t * 57.29577951308232f;
    r = ay > ax ? 90.0f - r : r;
    r = x < 0 ? 180.0f - r : r;
    return y < 0 ? -r : r;
}

// One atan2 of the arms' cross and dot products gives the difference of their
// directions; the wrap is a single step each way because the sum lies in
// [0, 360] give or take rounding.
inline float joint_angle_fast(float dx1, float dy1, float dx2, float dy2) {
    float cross = dx1 * dy2 - dx2 * dy1;
    float dot = dx1 * dx2 + dy1 * dy2;
    float a = fast_atan2_deg(cross, dot) + 180.0f;
    a = a >= 360.0f ? a - 360.0f : a;
    return a < 0.0f ? a + 360.0f : a;
}

// An arm of length zero has no direction; the two-direction formula still
// gives it one from the signs of its zeros, and so do we.
inline bool joint_is_degenerate(float dx1, float dy1, float dx2, float dy2) {
    return (dx1 == 0 && dy1 == 0) || (dx2 == 0 && dy2 == 0);
}

inline float joint_angle(float dx1, float dy1, float dx2, float dy2) {
    if (joint_is_degenerate(dx1, dy1, dx2, dy2))
        return wrap_360(static_cast<float>(atan2_deg(dy1, -dx1) - atan2_deg(dy2, -dx2) + 180.0));
    return joint_angle_fast(dx1, dy1, dx2, dy2);
}

// the angle at vertex v between the arms to a and to b as the balls stand
// now: a tension's rest angle when it is made or its joint is reshaped
template <class ball_like>
float present_angle(const ball_like& a, const ball_like& v, const ball_like& b) {
    return joint_angle(v.x - a.x, v.y - a.y, b.x - v.x, b.y - v.y);
}

// wrap_180 for differences in (-540, 540], which is every difference of an
// angle in [0, 360) and a rest angle in [-180, 540)
inline float near_wrap_180(float e) {
    e = e > 180.0f ? e - 360.0f : e;
    return e < -180.0f ? e + 360.0f : e;
}

inline bool rest_angle_is_near(float rest) { return rest >= -180.0f && rest < 540.0f; }

// The force of one tension, written once: the passes use these. With q the
// squared length of an arm, floored at 0.00001, each arm lets f reach 0.7 q;
// f = min(reach a, reach b, bound) x error / 400, where bound is the
// tension's strength (plus the draw-mode allowance) and error its angle's
// distance from the rest angle in (-180, 180].
inline float floored_square(float square) { return std::fabs(square) < distance_floor ? distance_floor : square; }

inline float reach_of(float square) { return arm_factor * floored_square(square); }

inline float bounded_force(float error, float reach_a, float reach_b, float bound) {
    float m = reach_b < reach_a ? reach_b : reach_a;
    m = bound < m ? bound : m;
    return m * error * (1.0f / angle_divisor);
}

inline float force_of(float error, float square_a, float square_b, float bound) {
    return bounded_force(error, reach_of(square_a), reach_of(square_b), bound);
}

}  // namespace flopkin
