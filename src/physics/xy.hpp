#pragma once
namespace flopkin {

// a ball's x and y side by side: one cache line read brings both
struct xy {
    float x, y;
};

}  // namespace flopkin
