#pragma once
// The fixed numbers of the simulation step, in one place.
namespace flopkin {

// The app's mode: the figure is drawn and edited, or it plays under
// gravity. The values are those the mode button has always negated.
enum class figure_mode : int { draw = 1, play = -1 };

// the mode the mode button turns the other into
constexpr figure_mode other_mode(figure_mode m) {
    return m == figure_mode::draw ? figure_mode::play : figure_mode::draw;
}

inline constexpr int relaxation_passes = 30;       // each: a link pass, then a tension pass
inline constexpr float link_stiffness = 0.3f;      // part of a link's mass-weighted error closed per pass
inline constexpr float distance_floor = 0.00001f;  // least link length, least squared arm length
inline constexpr float arm_factor = 0.7f;          // a tension's force is bounded by this x each squared arm
inline constexpr float angle_divisor = 400.0f;     // an angle error in degrees is divided by it
inline constexpr float draw_allowance = 10000.0f;  // added to every tension's strength in draw mode
// In draw mode a ball moves in a tension pass by at most this many times the
// mean of its tensions' pushes, not by their whole sum. With the allowance
// only the arms bound a tension's force, and one tension alone closes up to
// 0.6 of its angle's error in a pass; a ball in many tensions (a mesh's
// balls take part in 6 to 36) summed as many pushes, the pass
// overshot by far more than the error, and the tiny residues play mode
// leaves grew pass after pass until the mesh tore. Two pushes' worth keeps
// every pass's correction below twice the error, so residues only shrink.
// A ball in at most two tensions moves as before.
inline constexpr float draw_push_limit = 2.0f;
// Part of an overlap between balls of different figures closed per pass,
// shared by mass as a link shares its correction: two balls of one mass
// each move 0.4 of it. Below one, so that a ball in a pile, pushed by
// several others in one pass, settles instead of overshooting (a ball
// squeezed between two others overshoots from 0.5 each on). A pile carries
// its weight down as overlaps that grow with its depth, by about the
// weight over the stiffness and the number of contact stages a frame: at
// 0.3 in all a pile of a few thousand figures sagged until a third of its
// balls overlapped by more than 5 % of two radii, at 0.6 one in a hundred
// still did.
inline constexpr float contact_stiffness = 0.8f;
// Contact stages run again at the end of the last pass, after its own: the
// pile's overlaps shrink without the links pulling back in between. A few
// only, since the links and tensions they leave unsettled settle in the
// next frame; ten gave back the odd deep overlap where two figures hook
// into each other.
inline constexpr int contact_settling_stages = 5;
inline constexpr float restitution = 0.8f;         // velocity across a wall: reversed and scaled by this
inline constexpr float friction = 0.9f;            // velocity along a wall: scaled by this
inline constexpr float far_limit = 3333333.0f;     // a ball beyond this on either axis is deleted

}  // namespace flopkin
