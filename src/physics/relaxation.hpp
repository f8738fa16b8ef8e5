#pragma once
// The figure gathered into flat arrays for the relaxation passes: positions
// and shifts per ball, ball indices per link and tension. The indices are
// rebuilt only when a list changes; positions, masses, rest values and
// strengths are read again every frame. The passes allocate nothing and keep
// the lists' order, so their sums are those of a walk over the objects.
//
// Several threads can share a pass, each taking a part of the constraints
// (see part_plan); the figure comes out the same.
#include <cstddef>
#include <memory>
#include <vector>

#include "physics/figure.hpp"
#include "physics/part_plan.hpp"
#include "physics/xy.hpp"

namespace flopkin {

struct app;
class pass_team;
struct block_loops;

// the vector instructions the passes' block loops are built for
enum class vector_width { base, avx2, wide };
// the widths this processor can run, narrowest first
std::vector<vector_width> usable_vector_widths();

class relaxation {
public:
    relaxation();
    ~relaxation();
    relaxation(const relaxation&) = delete;
    relaxation& operator=(const relaxation&) = delete;

    // Reads the figure into the arrays, re-indexing it if a list changed.
    // False when a listed ball's position is not finite: nothing is read then.
    bool gather(app& a);
    // `passes` times a link pass, then a tension pass
    void relax(int draw_mode, int passes);
    void link_pass();
    void tension_pass(int draw_mode);
    // Threads sharing the passes, the caller counted: 0 lets the figure's
    // size decide (one per core from big_figure balls on, else one). The
    // figure comes out the same whatever the number.
    void use_threads(int members);
    static constexpr std::size_t big_figure = 2000;
    // the widest the processor runs unless told otherwise; every width
    // gives the same figure
    void use_vector_width(vector_width width);
    // one thread's part of a shared pass
    void link_part(int part);
    void tension_part(int part, int draw_mode);
    std::size_t link_count() const { return link_a_.size(); }
    std::size_t tension_count() const { return tension_a_.size(); }
    std::size_t listed_count() const { return listed_; }
    // positions and last shifts back to the listed balls
    void write_back() const;

private:
    bool lists_changed(const app& a) const;
    void index_figure(app& a);
    int index_of(const ball_ref& b);
    void move_listed();
    void staff_team();
    void plan_parts();
    template <class adder>
    void add_link_pushes(std::size_t from, std::size_t to, adder add);
    template <class adder>
    void add_tension_pushes(std::size_t from, std::size_t to, int draw_mode, adder add);

    // balls of the list first, then any ball a link or tension names without
    // it being listed: those are read but never moved. Holding references
    // keeps a removed object alive until the next gather, so no new object
    // can take its address and pass for it.
    std::vector<ball_ref> balls_;
    std::size_t listed_ = 0;
    std::vector<link_ref> links_;
    std::vector<tension_ref> tensions_;

    std::vector<xy> position_, shift_;
    part_plan link_parts_, tension_parts_;
    std::vector<float> mass_;
    std::vector<int> link_a_, link_b_;
    std::vector<float> rest_length_, share_a_, share_b_;
    std::vector<int> tension_a_, tension_v_, tension_b_;
    std::vector<float> rest_angle_, strength_;

    const block_loops* loops_ = nullptr;
    int threads_wanted_ = 0;
    std::unique_ptr<pass_team> team_;
};

}  // namespace flopkin
