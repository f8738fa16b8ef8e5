#pragma once
// The fixed numbers of the simulation step, in one place.
namespace flopkin {

// the app's mode, kept as an int: the mode button negates it
inline constexpr int draw_mode = 1;
inline constexpr int play_mode = -1;

inline constexpr int relaxation_passes = 30;       // each: a link pass, then a tension pass
inline constexpr float link_stiffness = 0.3f;      // part of a link's mass-weighted error closed per pass
inline constexpr float distance_floor = 0.00001f;  // least link length, least squared arm length
inline constexpr float arm_factor = 0.7f;          // a tension's force is bounded by this x each squared arm
inline constexpr float angle_divisor = 400.0f;     // an angle error in degrees is divided by it
inline constexpr float draw_allowance = 10000.0f;  // added to every tension's strength in draw mode
inline constexpr float restitution = 0.8f;         // velocity across a wall: reversed and scaled by this
inline constexpr float friction = 0.9f;            // velocity along a wall: scaled by this
inline constexpr float far_limit = 3333333.0f;     // a ball beyond this on either axis is deleted

}  // namespace flopkin
