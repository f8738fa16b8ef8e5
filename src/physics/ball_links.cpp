#include "physics/ball_links.hpp"

#include <cassert>
#include <map>

namespace flopkin {

void ball_links::make(int listed, const std::vector<int>& end_a, const std::vector<int>& end_b, int spare) {
    for (auto* column : {&links, &entry_at, &ball, &moves, &other, &link}) column->clear();
    side.clear();
    spares = 0;

    // each listed ball's links in list order, as (link, side)
    std::vector<int> first(static_cast<std::size_t>(listed) + 1, 0);
    auto listed_ball = [&](int b) { return b < listed; };
    for (std::size_t k = 0; k < end_a.size(); ++k) {
        if (listed_ball(end_a[k])) ++first[static_cast<std::size_t>(end_a[k]) + 1];
        if (listed_ball(end_b[k])) ++first[static_cast<std::size_t>(end_b[k]) + 1];
    }
    for (int b = 0; b < listed; ++b) first[b + 1] += first[b];
    std::vector<int> own_link(static_cast<std::size_t>(first[listed])), next(first.begin(), first.end() - 1);
    std::vector<float> own_side(own_link.size());
    for (std::size_t k = 0; k < end_a.size(); ++k) {
        for (int end : {0, 1}) {
            const int b = end == 0 ? end_a[k] : end_b[k];
            if (!listed_ball(b)) continue;
            const int at = next[b]++;
            own_link[static_cast<std::size_t>(at)] = static_cast<int>(k);
            own_side[static_cast<std::size_t>(at)] = end == 0 ? 1.0f : -1.0f;
        }
    }
    // the filling pass met every ball exactly as often as the counting pass
    for (int b = 0; b < listed; ++b) assert(next[b] == first[b + 1]);

    std::map<int, std::vector<int>> by_count;
    for (int b = 0; b < listed; ++b) by_count[first[b + 1] - first[b]].push_back(b);
    for (const auto& [count, members] : by_count) {
        for (std::size_t start = 0; start < members.size(); start += lanes) {
            links.push_back(count);
            entry_at.push_back(static_cast<int>(other.size()));
            int lane_ball[lanes];
            for (int i = 0; i < lanes; ++i) {
                const std::size_t m = start + static_cast<std::size_t>(i);
                lane_ball[i] = m < members.size() ? members[m] : members[start];
                ball.push_back(lane_ball[i]);
                moves.push_back(m < members.size() ? lane_ball[i] : spare + spares);
            }
            if (start + lanes > members.size()) ++spares;
            for (int j = 0; j < count; ++j)
                for (int i = 0; i < lanes; ++i) {
                    const auto e = static_cast<std::size_t>(first[lane_ball[i]] + j);
                    const int k = own_link[e];
                    link.push_back(k);
                    side.push_back(own_side[e]);
                    other.push_back(own_side[e] > 0 ? end_b[static_cast<std::size_t>(k)]
                                                    : end_a[static_cast<std::size_t>(k)]);
                }
        }
    }
    rest.assign(other.size(), 0);
    part.assign(other.size(), 0);
}

}  // namespace flopkin
