#pragma once
// Generated figures of any size, for measuring and testing the simulation:
// built the way the editor builds them (size, width and numbering as the
// editor gives them, links at their present length, tensions from
// build_tensions).
#include <string>

#include "physics/figure.hpp"

namespace flopkin {

// the settings the editor would build with; the app's defaults
struct figure_style {
    float ball_size = 13;
    float link_width = 2;
    float angle_force = 30;
};

// A grid of columns x rows balls, 30 units apart, from (left, top); every
// ball is linked to its right, lower and lower-right neighbours.
void add_mesh(figure& f, int columns, int rows, float left, float top, const figure_style& style = {});

// A chain of `count` balls 30 units apart, each linked to the next, in rows
// of `per_row` that turn back at each end, from (left, top).
void add_chain(figure& f, int count, int per_row, float left, float top, const figure_style& style = {});

// Stick figures of six balls (head, neck, two hands, two feet) in rows from
// (left, top), at most `per_row` to a row.
void add_crowd(figure& f, int figures, int per_row, float left, float top, const figure_style& style = {});

// A stick figure of eleven balls standing with its hip at (x, y): head, neck
// and hip on the spine, elbows and hands, knees and feet.
void add_stick_figure(figure& f, float x, float y, const figure_style& style = {});

// A bridge deck of `cells` square cells 40 units wide from (left, top): two
// chains of balls, one above the other, joined by uprights and diagonals.
void add_bridge(figure& f, int cells, float left, float top, const figure_style& style = {});
// A figure of about `balls` balls of the named kind ("mesh": a square grid,
// "chain", "crowd"), laid out from (left, top); false for another name.
bool add_sized_figure(figure& f, const std::string& kind, int balls, float left, float top, const figure_style& style = {});

}  // namespace flopkin
