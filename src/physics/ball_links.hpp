#pragma once
// The link pass taken ball by ball: each ball works out the pushes of its own
// links and moves by their sum, so no push is stored for another ball to
// collect. A link is worked out at both its ends, from the same difference
// of positions, so both ends see the same length and stretch as if it were
// worked out once. Balls with the same number of links are laid out lane by
// lane, so the vector loops take a whole group at once.
#include <cstddef>
#include <vector>

namespace flopkin {

struct ball_links {
    static constexpr int lanes = 32;

    // Groups the listed balls [0, listed) by their number of links.
    // end_a[k], end_b[k] are the balls of link k, in list order; a lane
    // without a ball moves a spare ball of its group's own, numbered from
    // `spare` on (`spares` of them), so that groups moved at once never
    // write one place.
    void make(int listed, const std::vector<int>& end_a, const std::vector<int>& end_b, int spare);
    std::size_t count() const { return links.size(); }

    // per group: links per ball, and where its entries start
    std::vector<int> links, entry_at;
    // lanes per group: the ball each lane reads and the ball it moves
    std::vector<int> ball, moves;
    // per group entry (link x lanes): the ball at the link's other end, the
    // link, and +1 when the lane's ball is the link's end a, -1 when end b
    std::vector<int> other, link;
    std::vector<float> side;
    // per entry, read again every frame: rest length and the lane ball's
    // part of the stiffness
    std::vector<float> rest, part;
    int spares = 0;
};

}  // namespace flopkin
