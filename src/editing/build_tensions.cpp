#include <cassert>
#include <vector>

#include "editing/figure_editing.hpp"
#include "physics/figure.hpp"
#include "physics/joint.hpp"

namespace flopkin {

// Every pair of links meeting at a ball gets a tension that holds their
// present angle, pairs taken once by ball number, and no ball made an end of
// more than three tensions at one vertex unless its partner has fewer.
//
// The neighbours of every ball are listed once, in link order, so the work is
// the sum over the balls of their neighbour count squared; a vertex resets
// only the counters of its own neighbours, which are the only ones it reads.
void build_tensions(figure& f, float strength) {
    f.tensions.clear();

    std::vector<ball_ref> listed;
    listed.reserve(f.balls.count());
    for (ball_ref b : f.balls.all()) {
        b->slot = static_cast<int>(listed.size());
        b->tension_count = 0;
        listed.push_back(b);
    }
    auto index_of = [&](const ball_ref& b) -> int {
        if (!b || b->slot < 0 || static_cast<std::size_t>(b->slot) >= listed.size()) return -1;
        return listed[b->slot] == b ? b->slot : -1;
    };

    // neighbours of every listed ball in link order, as one table of runs
    std::vector<int> first(listed.size() + 1, 0);
    for (link_ref l : f.links.all()) {
        int a = index_of(l->end_a), b = index_of(l->end_b);
        if (a >= 0) ++first[a + 1];
        if (b >= 0) ++first[b + 1];
    }
    for (std::size_t i = 0; i < listed.size(); ++i) first[i + 1] += first[i];
    std::vector<ball_ref> neighbours(first.back());
    std::vector<int> filled(first.begin(), first.end() - 1);
    for (link_ref l : f.links.all()) {
        int a = index_of(l->end_a), b = index_of(l->end_b);
        if (a >= 0) neighbours[filled[a]++] = l->end_b;
        if (b >= 0) neighbours[filled[b]++] = l->end_a;
    }
    for (std::size_t i = 0; i < listed.size(); ++i) assert(filled[i] == first[i + 1]);

    for (std::size_t v = 0; v < listed.size(); ++v) {
        const ball_ref& vertex = listed[v];
        const ball_ref* begin = neighbours.data() + first[v];
        const ball_ref* end = neighbours.data() + first[v + 1];
        for (const ball_ref* n = begin; n != end; ++n)
            if (*n) (*n)->tension_count = 0;
        for (const ball_ref* p = begin; p != end; ++p) {
            for (const ball_ref* q = begin; q != end; ++q) {
                const ball_ref& a = *p;
                const ball_ref& b = *q;
                if (!a || !b || a == b || a == vertex || b == vertex) continue;
                if (!(a->number < b->number)) continue;
                if (!(a->tension_count < 3 || b->tension_count < 3)) continue;
                ++a->tension_count;
                ++b->tension_count;
                auto t = std::make_shared<tension>();
                t->end_a = a;
                t->vertex = vertex;
                t->end_b = b;
                t->rest_angle = present_angle(*a, *vertex, *b);
                t->strength = strength;
                f.tensions.add_last(std::move(t));
            }
        }
    }
}

}  // namespace flopkin
