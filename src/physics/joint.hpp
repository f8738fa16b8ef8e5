#pragma once
// The angle a tension holds and the push it gives, as plain arithmetic on the
// two arms, so the per-object operation and the array passes share one formula.
//
// Arms: (dx1, dy1) runs from end a to the vertex, (dx2, dy2) from the vertex
// to end b. The angle is the difference of the two arms' directions plus 180,
// in [0, 360); three balls on a line give 180.
#include <cmath>

#include "platform/graphics.hpp"

namespace flopkin {

float wrap_360(float angle);
float wrap_180(float angle);

// atan2 in degrees to float precision (within 1e-6 degrees), branch-free so
// that loops over many tensions vectorise: an odd polynomial in the smaller
// over the larger of |x| and |y|, then the octant.
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

// wrap_180 for differences in (-540, 540], which is every difference of an
// angle in [0, 360) and a rest angle in [-180, 540)
inline float near_wrap_180(float e) {
    e = e > 180.0f ? e - 360.0f : e;
    return e < -180.0f ? e + 360.0f : e;
}

inline bool rest_angle_is_near(float rest) { return rest >= -180.0f && rest < 540.0f; }

// what one tension adds to the shifts of end a and end b; the vertex gets
// minus their sum
struct joint_push {
    float ax, ay, bx, by;
};

inline joint_push push_of_joint(float dx1, float dy1, float dx2, float dy2, float error, float bound) {
    float q1 = dx1 * dx1 + dy1 * dy1;
    float q2 = dx2 * dx2 + dy2 * dy2;
    q1 = std::fabs(q1) < 0.00001f ? 0.00001f : q1;
    q2 = std::fabs(q2) < 0.00001f ? 0.00001f : q2;
    float m = 0.7f * q1;
    m = 0.7f * q2 < m ? 0.7f * q2 : m;
    m = bound < m ? bound : m;
    float f = m * error / 400.0f;
    // f / q once per arm: rounds apart from (f x d) / q only in the last bit
    float g1 = f / q1, g2 = f / q2;
    return {g1 * dy1, -g1 * dx1, g2 * dy2, -g2 * dx2};
}

// the whole evaluation of one tension, for any rest angle and any arms
inline joint_push push_of_tension(float dx1, float dy1, float dx2, float dy2, float rest, float bound) {
    float error = wrap_180(joint_angle(dx1, dy1, dx2, dy2) - rest);
    return push_of_joint(dx1, dy1, dx2, dy2, error, bound);
}

}  // namespace flopkin
