#pragma once
// Conversions between numbers and the text the menu shows.
#include <string>

namespace flopkin {

// integer part, truncated toward zero; values outside the int range saturate
// and NaN gives 0, so a wild float never becomes undefined behaviour
int float_to_int(double value);

// decimal digits with a leading "-" for negative values
std::string int_to_text(int value);

}  // namespace flopkin
