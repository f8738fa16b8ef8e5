#pragma once
// Bytes the program holds through new and delete right now, counted by the
// replaced global operators of this executable.
#include <cstddef>

namespace flopkin {

std::size_t memory_in_use();

}  // namespace flopkin
