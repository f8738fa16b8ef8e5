#include "platform/base/random.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/base/number_text.hpp"

namespace flopkin {
namespace {

constexpr int modulus = 2147483647;  // 2^31 - 1
int state = 4660;

// state = state * 48271 mod (2^31 - 1), by Schrage's method so nothing overflows
int next_state() {
    constexpr int a = 48271, q = 44488, r = 3399;
    int hi = state / q;
    int lo = state % q;
    state = a * lo - r * hi;
    if (state < 0) state += modulus;
    return state;
}

// uniform double in [0, 1) from two draws: 27 high bits of the first and 26
// of the second
double uniform() {
    int s1 = next_state();
    int s2 = next_state();
    double a = s1 & 0x1ffffffc;  // bits 2..28
    double b = s2 & 0x1ffffff8;  // bits 3..28
    return (a + b / 134217728.0) / 536870912.0;
}

}  // namespace

void seed_rnd(int seed) {
    state = seed & 0x7fffffff;
    if (state == 0 || state == modulus) state = 4660;
}

double spread_rnd(double u, double min, double max) {
    if (!(max > min)) std::swap(min, max);
    double value = min + u * (max - min);
    return value < max || !(max > min) ? value : std::nextafter(max, min);
}

int spread_rand(double u, int min, int max) {
    int low = min < max ? min : max, high = min < max ? max : min;
    int value = min < max ? float_to_int(min + u * (static_cast<double>(max) - min + 1))
                          : float_to_int(max + u * (1 - (static_cast<double>(max) - min)));
    return std::clamp(value, low, high);
}

double rnd(double min, double max) { return spread_rnd(uniform(), min, max); }

int rand(int min, int max) { return spread_rand(uniform(), min, max); }

}  // namespace flopkin
