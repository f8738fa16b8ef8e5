#pragma once
// How several threads share one pass over a list of constraints and still
// give every ball its pushes in list order. The list is cut into consecutive
// parts, one per thread. A ball belongs to the first part that pushes it:
// that part adds its pushes to the ball's shift at once, as a single thread
// would. Any later part that pushes the same ball keeps those pushes aside,
// and once every part is done they are added in part order, so each ball's
// sum is the one-thread sum, bit for bit. In a figure whose constraints come
// grouped by ball, as built figures do, only balls where parts meet are
// kept aside.
#include <cstddef>
#include <vector>

#include "physics/xy.hpp"

namespace flopkin {

class part_plan {
public:
    // ends[r][k] is the ball that takes the push of role r of constraint k;
    // balls at or above `listed` are never moved and belong to no part
    void make(std::size_t balls, std::size_t listed, const std::vector<const std::vector<int>*>& ends, int parts);
    int parts() const { return parts_; }
    // the constraints of part p: [first(p), first(p + 1))
    std::size_t first(int part) const { return first_[static_cast<std::size_t>(part)]; }
    // the part a ball belongs to, -1 for none
    const int* owner() const { return owner_.data(); }
    // where part p keeps its pushes aside, in the order it meets them
    xy* kept(int part) { return kept_.data() + kept_start_[static_cast<std::size_t>(part)]; }
    // adds the pushes kept aside, part after part
    void add_kept(xy* shift) const;

private:
    int parts_ = 1;
    std::vector<std::size_t> first_;
    std::vector<int> owner_;
    std::vector<std::size_t> kept_start_;
    std::vector<int> kept_ball_;
    std::vector<xy> kept_;
};

}  // namespace flopkin
