#include "platform/base/number_text.hpp"

#include <climits>
#include <cmath>

namespace flopkin {

int float_to_int(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return INT_MAX;
    if (value <= -2147483648.0) return INT_MIN;
    return static_cast<int>(value);
}

std::string int_to_text(int value) {
    // widen first so that the most negative int has a positive counterpart
    long long v = value;
    bool negative = v < 0;
    if (negative) v = -v;
    std::string digits;
    do {
        digits.insert(digits.begin(), static_cast<char>('0' + v % 10));
        v /= 10;
    } while (v > 0);
    return negative ? "-" + digits : digits;
}

}  // namespace flopkin
