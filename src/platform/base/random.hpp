#pragma once
// Park-Miller minimal standard generator (multiplier 48271, modulus 2^31 - 1).
// One global state, seeded once at start-up.

namespace flopkin {

void seed_rnd(int seed);
// uniform in [min, max); the roles swap when max is not above min
double rnd(double min, double max);
// uniform over min..max inclusive, either order
int rand(int min, int max);

// How rnd and rand map a uniform u in [0, 1) onto their ranges. Rounding can
// carry u just below 1 up to the bound itself, so results are held inside.
double spread_rnd(double u, double min, double max);
int spread_rand(double u, int min, int max);

}  // namespace flopkin
