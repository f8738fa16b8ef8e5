#pragma once
// Park-Miller minimal standard generator (multiplier 48271, modulus 2^31 - 1).
// One global state, seeded once at start-up.

namespace flopkin {

void seed_rnd(int seed);
// uniform in [min, max); the roles swap when max is not above min
double rnd(double min, double max);
// uniform over min..max inclusive, either order
int rand(int min, int max);

}  // namespace flopkin
