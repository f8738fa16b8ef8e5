#pragma once
// The figure gathered into flat arrays for the relaxation passes: positions
// and shifts per ball, ball indices per link and tension. The indices are
// rebuilt only when a list changes; positions, masses, rest values and
// strengths are read again every frame. The passes allocate nothing and keep
// the lists' order, so their sums are those of a walk over the objects.
#include <cstddef>
#include <vector>

#include "physics/figure.hpp"

namespace flopkin {

struct app;

// a ball's x and y side by side: one cache line read brings both
struct xy {
    float x, y;
};

class relaxation {
public:
    // Reads the figure into the arrays, re-indexing it if a list changed.
    // False when a listed ball's position is not finite: nothing is read then.
    bool gather(app& a);
    void link_pass();
    void tension_pass(int draw_mode);
    // positions and last shifts back to the listed balls
    void write_back() const;

private:
    bool lists_changed(const app& a) const;
    void index_figure(app& a);
    int index_of(const ball_ref& b);
    // zeroes the shifts before a pass, moves the listed balls by them after
    void clear_shifts();
    void move_listed();

    // balls of the list first, then any ball a link or tension names without
    // it being listed: those are read but never moved. Holding references
    // keeps a removed object alive until the next gather, so no new object
    // can take its address and pass for it.
    std::vector<ball_ref> balls_;
    std::size_t listed_ = 0;
    std::vector<link_ref> links_;
    std::vector<tension_ref> tensions_;

    std::vector<xy> position_, shift_;
    std::vector<float> mass_;
    std::vector<int> link_a_, link_b_;
    std::vector<float> rest_length_, share_a_, share_b_;
    std::vector<int> tension_a_, tension_v_, tension_b_;
    std::vector<float> rest_angle_, strength_;

    // per block of constraints: the arms, then the pushes
    static constexpr int block = 256;
    float arm_x1_[block], arm_y1_[block], arm_x2_[block], arm_y2_[block];
    float push_ax_[block], push_ay_[block], push_bx_[block], push_by_[block];
};

}  // namespace flopkin
