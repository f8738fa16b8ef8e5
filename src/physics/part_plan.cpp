#include "physics/part_plan.hpp"

namespace flopkin {

void part_plan::make(std::size_t balls, std::size_t listed, const std::vector<const std::vector<int>*>& ends,
                     int parts) {
    const std::size_t count = ends.empty() ? 0 : ends[0]->size();
    parts_ = parts;
    first_.resize(static_cast<std::size_t>(parts) + 1);
    for (int p = 0; p <= parts; ++p)
        first_[static_cast<std::size_t>(p)] = count * static_cast<std::size_t>(p) / static_cast<std::size_t>(parts);
    owner_.assign(balls, -1);
    kept_start_.assign(static_cast<std::size_t>(parts) + 1, 0);
    kept_ball_.clear();
    for (int p = 0; p < parts; ++p) {
        kept_start_[static_cast<std::size_t>(p)] = kept_ball_.size();
        for (std::size_t k = first(p); k < first(p + 1); ++k)
            for (const std::vector<int>* role : ends) {
                auto ball = static_cast<std::size_t>((*role)[k]);
                if (ball >= listed) continue;
                if (owner_[ball] < 0) owner_[ball] = p;
                if (owner_[ball] != p) kept_ball_.push_back(static_cast<int>(ball));
            }
    }
    kept_start_[static_cast<std::size_t>(parts)] = kept_ball_.size();
    kept_.assign(kept_ball_.size(), xy{0, 0});
}

void part_plan::add_kept(xy* shift) const {
    for (std::size_t j = 0; j < kept_ball_.size(); ++j) {
        xy& s = shift[kept_ball_[j]];
        s.x += kept_[j].x;
        s.y += kept_[j].y;
    }
}

}  // namespace flopkin
