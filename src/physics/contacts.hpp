#pragma once
// Balls of different figures meeting as discs, in play mode when the run
// asks for it. Once a step the balls that may touch are paired from a grid;
// then each relaxation pass, after its links and tensions, pushes every
// overlapping pair apart along the line between their centres.
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

    // arrays for `balls` balls, allocated here and nowhere else
    void size_for(int balls);
    // The pairs of balls [0, count) that may touch this step: of different
    // figures, each of a positive radius below the far limit. The held ball
    // (or -1) is not pushed: the other takes the whole push. Pushes are
    // shared by mass, as links share a correction. Found in three steps:
    // begin_find sorts the balls into the grid; find_part pairs one part of
    // the grid's balls with those they may touch (the team shares the
    // parts); end_find joins the parts' pairs in order, adds the wide balls'
    // and lists each ball's pushes. The pairs and the touching balls are cut
    // into `parts` for the team.
    void begin_find(const xy* position, const float* radius, const int* figure, const float* mass, int count,
                    int held, int parts);
    void find_part(int part);
    void end_find(const xy* position, const float* radius, const int* figure, int count);

    std::size_t pair_count() const { return pairs_; }
    // the pushes of the part's pairs this pass, from the positions
    void push_part(const pass_loops& loops, const xy* position, int part);
    // each touching ball of the part moved by the pushes of its pairs
    void move_part(xy* position, int part) const;

private:
    void sort_into_cells(const xy* position, const float* radius, const int* figure, int count);
    void fill_cells(const xy* position, const float* radius, const int* figure, int count);
    void pair_wide_balls(const xy* position, const float* radius, const int* figure);
    void pair_with_range(int ball, int from, int to, int& kept, int& looks, std::size_t& at);
    void keep_pair(int a, int b, float reach, std::size_t at);
    // each of pairs [from, to) shares its push by mass and hold
    void share_pushes(std::size_t from, std::size_t to);
    void list_pushes_by_ball(int count);

    // per ball
    std::vector<float> diameter_;           // scratch for the median
    std::vector<int> cell_of_, wide_;
    std::vector<int> pushes_of_ball_;       // scratch for the counting sort of pushes
    std::vector<int> by_count_;             // scratch: touching balls by their number of pushes
    std::vector<int> by_pushes_;            // scratch: the touching balls in that order
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
    // the pairs' pushes, each pair's on a then on b; the balls with pairs,
    // and the pushes each takes, in pair order: those of touching ball t
    // are push_[push_slot_[k]] for k in [push_first_[t], push_first_[t + 1])
    std::vector<xy> push_;
    std::vector<int> touching_, push_first_, push_slot_;
    std::vector<int> pair_cut_, touching_cut_;
};

}  // namespace flopkin
