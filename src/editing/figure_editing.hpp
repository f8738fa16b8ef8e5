#pragma once
// The editing operations that need nothing but the figure: the app's
// build_tensions, label_figures and number_balls are one-line calls to these.
namespace flopkin {

struct figure;

// Empties the tensions and makes one for every pair of links meeting at a
// ball, holding their present angle with the given strength.
void build_tensions(figure& f, float strength);
// Labels every ball with its connected group, 1, 2, 3 ... in list order.
void label_figures(figure& f);
// Numbers the balls 1, 2, 3 ... in list order, as documents name them.
void number_balls(figure& f);

}  // namespace flopkin
