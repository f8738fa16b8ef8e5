#pragma once
// Generated figures of any size, for measuring and testing the simulation:
// built the way the editor builds them (owner, size, width and numbering
// from the app, links at their present length, tensions from build_tensions).
#include "app/app.hpp"

namespace flopkin {

// A grid of columns x rows balls, 30 units apart, from (left, top); every
// ball is linked to its right, lower and lower-right neighbours.
void add_mesh(app& a, int columns, int rows, float left, float top);

// Stick figures of six balls (head, neck, two hands, two feet) in rows from
// (left, top), at most `per_row` to a row.
void add_crowd(app& a, int figures, int per_row, float left, float top);

// A stick figure of eleven balls standing with its hip at (x, y): head, neck
// and hip on the spine, elbows and hands, knees and feet.
void add_stick_figure(app& a, float x, float y);

// A bridge deck of `cells` square cells 40 units wide from (left, top): two
// chains of balls, one above the other, joined by uprights and diagonals.
void add_bridge(app& a, int cells, float left, float top);

}  // namespace flopkin
