#pragma once
// Balls of different figures meeting as discs, in play mode when the run
// asks for it. Once a step the balls that may touch are paired from a grid;
// then each relaxation pass, after its links and tensions, pushes every
// overlapping pair apart along the line between their centres, and the
// last pass does so a few times more.
//
// The grid: square cells twice the median diameter wide over the balls'
// extent, at most a few cells per ball, the balls sorted by cell with a
// counting sort. A ball wider than a cell goes into a list of its own,
// checked against the cells its reach covers and against the other wide
// balls. Pairs come out in one fixed order, each ball's pushes are summed
// in that order, and every array is sized once for the figure's number of
// balls, so a step allocates nothing and any number of threads gives the
// same bits.
//
// The passes take the pairs ball by ball, as the link pass takes links: each
// ball works out the pushes of its own pairs and moves by their sum, so no
// push is stored for another ball to collect, and a pass reads each pair
// twice but writes only the balls' new places. Balls with the same number
// of pairs are laid out lane by lane, so the vector loops take a group at
// once; the few balls in more pairs than a group takes go one at a time.
//
// What a step may hold and take is bounded: each ball keeps at most a few
// of the pairs it finds itself (twice what balls of one size that do not
// overlap leave it) and looks at no more than a few hundred others. Only
// balls piled deep on one spot reach those bounds; some of their pairs then
// wait for the pile to spread, and the bounds keep such a step short.
#include <cstddef>
#include <vector>

#include "physics/xy.hpp"

namespace flopkin {

struct pass_loops;

class ball_contacts {
public:
    // the most pairs each ball keeps of those it finds, and the most other
    // balls it looks at, in its own cells or, for a wide ball, in the cells
    // its reach covers
    static constexpr int pairs_per_ball = 8, pairs_per_wide_ball = 64;
    static constexpr int looks_per_ball = 512, looks_per_wide_ball = 8192;
    // pairs apart by less than this times their radii's sum are kept: they
    // may touch before the step is over
    static constexpr float reach_margin = 1.25f;

    // the most pairs a ball of a group has: those in more go one at a time
    static constexpr int most_grouped = 16;

    // arrays for `balls` balls cut into `parts`, allocated here and nowhere else
    void size_for(int balls, int parts);
    // The pairs of balls [0, count) that may touch this step: of different
    // figures, each of a positive radius below the far limit. The held ball
    // (or -1) is not pushed: the other takes the whole push. Pushes are
    // shared by mass, as links share a correction. Found in three steps:
    // begin_find sorts the balls into the grid; find_part pairs one part of
    // the grid's balls with those they may touch (the team shares the
    // parts); end_find joins the parts' pairs in order, adds the wide balls'
    // and hands each pair to both its balls. The listed balls are cut into
    // `parts` for the team.
    void begin_find(const xy* position, const float* radius, const int* figure, const float* mass, int count,
                    int held, int parts);
    void find_part(int part);
    void end_find(const xy* position, const float* radius, const int* figure, int count);

    std::size_t pair_count() const { return pairs_; }
    // each listed ball of the part, from `position` to `moved`, moved by
    // the pushes of its pairs
    void move_part(const pass_loops& loops, const xy* position, xy* moved, int part) const;

private:
    void sort_into_cells(const xy* position, const float* radius, const int* figure, int count);
    void fill_cells(const xy* position, const float* radius, const int* figure, int count);
    void pair_wide_balls(const xy* position, const float* radius, const int* figure);
    void pair_with_ranges(int ball, int to, int from_below, int to_below, std::size_t& at);
    // balls a scan looks at side by side
    static constexpr int scan_lanes = 16;
    void keep_pair(int a, int b, float reach, std::size_t at);
    // each of pairs [from, to) shares its push by mass and hold
    void share_pushes(std::size_t from, std::size_t to);
    void list_pairs_by_ball(int count);
    void group_part(int part, int count, std::size_t& entries);
    void hand_pair_to(int ball, int other, float reach, float part);

    // per ball
    std::vector<float> diameter_;           // scratch for the median
    std::vector<int> cell_of_, wide_;
    std::vector<int> pairs_of_ball_;        // how many pairs each ball is in this step
    std::vector<int> next_entry_;           // scratch: where each ball's next pair goes
    // the grid: cells in rows, balls in cell order with what the scans read
    float left_ = 0, top_ = 0, cell_ = 1;
    int columns_ = 0, rows_ = 0;
    std::vector<int> cell_first_, sorted_ball_, sorted_figure_;
    std::vector<float> sorted_x_, sorted_y_, sorted_radius_;
    std::size_t most_pairs_ = 0;
    // this step's masses and held ball, and the parts it is cut into
    const float* mass_ = nullptr;
    int held_ = -1, parts_ = 1;
    // each part of the grid's balls, by place in cell order, and how many
    // pairs it found: part p's are written from pairs_per_ball times its
    // first place on, then moved down behind those of the parts before
    std::vector<int> scan_cut_, found_;

    // the pairs [0, pairs_)
    std::size_t pairs_ = 0;
    std::vector<int> pair_a_, pair_b_;
    // a's part of the stiffness; b's is the rest
    std::vector<float> reach_, part_a_;

    // The pairs ball by ball. Each part of the listed balls [0, count)
    // holds groups of contact_group_job::lanes balls, and then the balls in
    // more than most_grouped pairs: part p's groups are [group_cut_[p],
    // group_cut_[p + 1]), its crowded balls [crowded_cut_[p],
    // crowded_cut_[p + 1]). A group's balls all have group_pairs_[g] pairs,
    // their entries pair by pair, lane by lane, from group_entry_[g] on; a
    // lane with no ball of its own repeats the group's first ball. Crowded
    // ball c's entries are its pairs_of_ball_ from crowded_first_[c] on.
    // Each entry names the other ball, the radii's sum, signed as
    // add_contact_push takes it, and the ball's part of the stiffness.
    std::vector<int> group_cut_, group_pairs_, group_entry_, group_ball_;
    std::vector<int> crowded_cut_, crowded_ball_, crowded_first_;
    std::vector<int> entry_other_;
    std::vector<float> entry_reach_, entry_part_;
};

}  // namespace flopkin
