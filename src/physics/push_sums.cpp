#include "physics/push_sums.hpp"

namespace flopkin {

void push_sums::index(std::size_t listed, const std::vector<const std::vector<int>*>& ends) {
    const std::size_t roles = ends.size();
    const std::size_t count = roles ? ends[0]->size() : 0;
    start_.assign(listed + 1, 0);
    for (std::size_t r = 0; r < roles; ++r)
        for (int ball : *ends[r])
            if (static_cast<std::size_t>(ball) < listed) ++start_[ball + 1];
    for (std::size_t i = 0; i < listed; ++i) start_[i + 1] += start_[i];
    from_.resize(static_cast<std::size_t>(start_[listed]));
    std::vector<int> next(start_.begin(), start_.end() - 1);
    // constraint by constraint, role by role: the order the list walk adds in
    for (std::size_t k = 0; k < count; ++k)
        for (std::size_t r = 0; r < roles; ++r) {
            int ball = (*ends[r])[k];
            if (static_cast<std::size_t>(ball) < listed) from_[next[ball]++] = static_cast<int>(r * count + k);
        }
}

void push_sums::add(const xy* push, xy* shift, xy* position, std::size_t from, std::size_t to) const {
    const int* start = start_.data();
    const int* source = from_.data();
    for (std::size_t i = from; i < to; ++i) {
        xy s{0, 0};
        for (int j = start[i]; j < start[i + 1]; ++j) {
            s.x += push[source[j]].x;
            s.y += push[source[j]].y;
        }
        shift[i] = s;
        position[i].x += s.x;
        position[i].y += s.y;
    }
}

}  // namespace flopkin
