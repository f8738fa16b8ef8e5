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

}  // namespace flopkin
