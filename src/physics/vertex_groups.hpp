#pragma once
// Vertices whose tensions follow one pattern, relaxed side by side.
//
// A vertex's pattern is its number of arms and, for each of its tensions in
// list order, which of its arms is arm a and which is arm b (arms numbered in
// the order its tensions first name them). In a built figure most vertices
// share a few patterns: every inner ball of a mesh, the same joint of every
// stick figure. Up to `lanes` vertices of one pattern make a group, laid out
// lane by lane: each step of a tension then reads the same arms in every
// lane, so a group needs no gathering beyond the balls' positions and the
// compiler's vector loops take all lanes at once (32 lanes measured faster
// than 16 or 8 even on 16-wide vectors: the steps' fixed costs are shared
// by more vertices). A pattern with too few vertices is left to the
// one-vertex-at-a-time path.
#include <cstddef>
#include <vector>

namespace flopkin {

// each vertex's tensions in list order, with its arms numbered locally
struct vertex_tensions_table {
    // arms of vertex v: neighbour[arm_first[v]] ... [arm_first[v + 1] - 1]
    std::vector<int> arm_first, neighbour;
    // tensions of vertex v: [tension_first[v], tension_first[v + 1]), each
    // with its local arm a and arm b and its place in the tension list
    std::vector<int> tension_first, arm_a, arm_b, list_place;
};

struct vertex_groups {
    static constexpr int lanes = 32;
    static constexpr int max_arms = 16;
    static constexpr std::size_t least_vertices = 8;

    // Groups the vertices of `table` that share a pattern with enough
    // others; grouped[v] tells which were taken. A lane without a vertex
    // writes its vertex push to a spare place of its group's own, numbered
    // from `spare` on (`spares` of them), so that groups relaxed at once
    // never write one place.
    void make(const vertex_tensions_table& table, int spare, std::vector<char>& grouped);
    std::size_t count() const { return arms.size(); }
    // arm pushes of all groups: arms x lanes per group
    std::size_t pushes() const { return pushes_; }

    // per group
    std::vector<int> arms, tensions, pattern_at, neighbour_at, slot_at, push_at;
    // lanes per group: the vertex each lane relaxes (an empty lane repeats
    // the first) and where its vertex push goes (a spare place for an empty lane)
    std::vector<int> vertex, push_to;
    // per pattern: arm a, arm b of each tension
    std::vector<int> pattern;
    // per group: arms x lanes neighbours; tensions x lanes list places
    std::vector<int> neighbour, list_place;
    // per tension and lane, read again every frame
    std::vector<float> rest, strength;
    // per group, read again every frame: a rest angle far outside a turn
    std::vector<char> far_rest;
    int spares = 0;

private:
    void add_group(const vertex_tensions_table& table, const std::vector<int>& shape, int pattern_start,
                   const std::vector<int>& members, std::size_t first, int spare, std::vector<char>& grouped);

    std::size_t pushes_ = 0;
};

}  // namespace flopkin
