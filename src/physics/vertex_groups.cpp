#include "physics/vertex_groups.hpp"

#include <cassert>
#include <map>

namespace flopkin {

namespace {

// the vertices of each pattern, in ball order; patterns in a fixed order. A
// pattern is the vertex's arm count, then arm a and arm b of each tension.
std::map<std::vector<int>, std::vector<int>> vertices_by_pattern(const vertex_tensions_table& table) {
    const std::size_t balls = table.arm_first.size() - 1;
    std::map<std::vector<int>, std::vector<int>> by_pattern;
    std::vector<int> key;
    for (std::size_t v = 0; v < balls; ++v) {
        const int t0 = table.tension_first[v], t1 = table.tension_first[v + 1];
        const int arm_count = table.arm_first[v + 1] - table.arm_first[v];
        if (t0 == t1 || arm_count > vertex_groups::max_arms) continue;
        key.assign(1, arm_count);
        for (int t = t0; t < t1; ++t) {
            // a tension's arms are arms of its own vertex
            assert(table.arm_a[t] >= 0 && table.arm_a[t] < arm_count && table.arm_b[t] >= 0 && table.arm_b[t] < arm_count);
            key.push_back(table.arm_a[t]);
            key.push_back(table.arm_b[t]);
        }
        by_pattern[key].push_back(static_cast<int>(v));
    }
    return by_pattern;
}

}  // namespace

void vertex_groups::make(const vertex_tensions_table& table, int spare, std::vector<char>& grouped) {
    spares = 0;
    for (auto* column : {&arms, &tensions, &pattern_at, &neighbour_at, &slot_at, &push_at, &vertex, &push_to, &pattern,
                         &neighbour, &list_place})
        column->clear();
    pushes_ = 0;
    const std::size_t balls = table.arm_first.size() - 1;
    assert(table.tension_first.size() == balls + 1);
    grouped.assign(balls, 0);

    for (const auto& [shape, members] : vertices_by_pattern(table)) {
        if (members.size() < least_vertices) continue;
        const int pattern_start = static_cast<int>(pattern.size());
        pattern.insert(pattern.end(), shape.begin() + 1, shape.end());
        for (std::size_t first = 0; first < members.size(); first += lanes)
            add_group(table, shape, pattern_start, members, first, spare, grouped);
    }
    rest.assign(list_place.size(), 0);
    strength.assign(list_place.size(), 0);
    far_rest.assign(arms.size(), 0);
}

// the pattern's members from `first` on, up to one per lane
void vertex_groups::add_group(const vertex_tensions_table& table, const std::vector<int>& shape, int pattern_start,
                              const std::vector<int>& members, std::size_t first, int spare,
                              std::vector<char>& grouped) {
    const int arm_count = shape[0];
    const int tension_count = static_cast<int>(shape.size() - 1) / 2;
    arms.push_back(arm_count);
    tensions.push_back(tension_count);
    pattern_at.push_back(pattern_start);
    neighbour_at.push_back(static_cast<int>(neighbour.size()));
    slot_at.push_back(static_cast<int>(list_place.size()));
    push_at.push_back(static_cast<int>(pushes_));
    pushes_ += static_cast<std::size_t>(arm_count) * lanes;
    int lane_vertex[lanes];
    for (int i = 0; i < lanes; ++i) {
        const std::size_t m = first + static_cast<std::size_t>(i);
        const bool filled = m < members.size();
        lane_vertex[i] = filled ? members[m] : members[first];
        vertex.push_back(lane_vertex[i]);
        push_to.push_back(filled ? lane_vertex[i] : spare + spares);
        if (filled) grouped[static_cast<std::size_t>(lane_vertex[i])] = 1;
    }
    if (first + lanes > members.size()) ++spares;
    for (int j = 0; j < arm_count; ++j)
        for (int i = 0; i < lanes; ++i) {
            const auto arm = static_cast<std::size_t>(table.arm_first[lane_vertex[i]] + j);
            neighbour.push_back(table.neighbour[arm]);
        }
    for (int t = 0; t < tension_count; ++t)
        for (int i = 0; i < lanes; ++i) {
            const auto at = static_cast<std::size_t>(table.tension_first[lane_vertex[i]] + t);
            list_place.push_back(table.list_place[at]);
        }
}

}  // namespace flopkin
