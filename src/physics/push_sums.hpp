#pragma once
// For every listed ball, where its pushes of one pass lie in the pass's push
// array, in the order the constraints come in their list. Summing them in
// that order gives each ball the same shift as walking the list and adding as
// it goes, bit for bit, while every ball's sum is its own: the sums need no
// shared writes and split across threads by ranges of balls.
#include <cstddef>
#include <vector>

namespace flopkin {

// a ball's x and y side by side: one cache line read brings both
struct xy {
    float x, y;
};

class push_sums {
public:
    // ends[r][k] is the ball that takes the push of role r of constraint k.
    // The pushes lie role by role: role r of constraint k at r x count + k.
    // Balls at or above `listed` are never summed.
    void index(std::size_t listed, const std::vector<const std::vector<int>*>& ends);

    // shift of balls [from, to) = sum of their pushes; position += shift
    void add(const xy* push, xy* shift, xy* position, std::size_t from, std::size_t to) const;

private:
    std::vector<int> start_;  // listed + 1 offsets into from_
    std::vector<int> from_;   // push indices, per ball in list order
};

}  // namespace flopkin
