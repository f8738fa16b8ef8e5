#pragma once
// The relaxation: the figure gathered into flat arrays, and the 30 passes
// over links and tensions that run on them each frame. The passes allocate
// nothing, follow no pointer and come out the same, bit for bit, whatever
// the number of threads or the vector width.
//
// The stages of a frame, what each reads (<) and writes (>):
//
//   gather       < the figure's three lists (re-indexed only when a list's
//                  stamp changed: index_figure)
//     read       < positions, masses, rest values, strengths, each list in
//                  its own order
//                > position_, mass_, rest_length_, listed_rest_, listed_strength_
//     hand out   < mass_ and what was read, by index
//                > the links' parts and rest lengths by ball, the tensions'
//                  rest angles and strengths (loose and grouped)
//   30 x:
//     links      < position_, links_by_ball_        > moved_, shift_
//                  (then moved_ and position_ swap)
//     tensions   < position_
//       loose runs: arms, forces, arm pushes         > arm_push_ [loose part],
//                                                      vertex_push_
//       groups:     the same, 32 vertices at a time  > arm_push_ [group part],
//                                                      vertex_push_
//     sums       < vertex_push_, arm_push_ through arms_into_, in draw
//                  mode draw_share_
//                > shift_, position_
//     contacts, when balls collide (see contacts), after pairing the
//     balls that may touch once before the passes (the grid, then the
//     pairs part by part, then joined):
//       moves    < position_, the pairs ball by ball > moved_
//                  (then moved_ and position_ swap); the last pass
//                  repeats this stage contact_settling_stages times
//   write back   > each listed ball's x, y, shift_x, shift_y
//
// Threads: each stage is cut into parts (balls, links and tensions of the
// lists, link groups, loose runs and vertex groups, balls) that never write
// where another part writes; the team meets after each stage, so three
// times a pass (four while balls collide): each stage reads what neighbours of its balls wrote in the
// one before. Gathering and writing back are shared the same way. The parts are the same whether a pass is shared or run
// alone (see pass_team), and every sum is taken in one fixed order.
//
// Words used here:
//   arm        from a vertex to one neighbour its tensions name; one
//              direction and one squared length per pass, however many
//              tensions use it
//   push       a displacement one constraint gives one ball in a pass
//   loose      a vertex in no group; loose vertices go one at a time
//   run        consecutive loose vertices taken together as one job
//   group      up to 32 vertices of one pattern of tensions, side by side
//              (see vertex_groups)
//   odd        a tension whose arm has length zero or whose rest angle is far
//              outside a turn (tension_is_odd): the plain loops cannot take
//              it, and tension_force works it out the long way
//   allowance  what draw mode adds to every tension's strength (10000)
//   spill      the few pushes beyond an owner's fixed width in push_lists
//   wide       the x86-64-v4 (AVX-512) build of the loops; base and avx2 are
//              the others (see pass_loops)
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "physics/ball_links.hpp"
#include "physics/contacts.hpp"
#include "physics/figure_refs.hpp"
#include "physics/pass_loops.hpp"
#include "physics/vertex_groups.hpp"
#include "physics/xy.hpp"

namespace flopkin {

struct figure;
class pass_team;

class relaxation {
public:
    relaxation();
    ~relaxation();
    relaxation(const relaxation&) = delete;
    relaxation& operator=(const relaxation&) = delete;

    // Reads the figure into the arrays, re-indexing it if a list changed.
    // False when a listed ball's position is not finite: nothing is read then.
    bool gather(figure& f);
    // `passes` times a link pass, then a tension pass, then, while balls
    // collide, a contact stage (the last pass a few more: see
    // contact_settling_stages)
    void relax(bool in_draw_mode, int passes);
    void link_pass();
    void tension_pass(bool in_draw_mode);
    // Threads sharing the passes, the caller counted: 0 lets the figure's
    // size decide (one per core from big_figure balls on, else one). The
    // figure comes out the same whatever the number.
    void use_threads(int members);
    static constexpr std::size_t big_figure = 2000;
    // the widest the processor runs unless told otherwise; every width
    // gives the same figure
    void use_vector_width(vector_width width);
    // Frames since the start whose passes a team that sizes itself shared,
    // ran alone, or changed between the two; members is the team's size.
    struct team_frames {
        int members = 1;
        long shared = 0, alone = 0, changing = 0;
    };
    const team_frames& frames_of_team() const { return frames_; }
    // positions and last shifts back to the listed balls
    void write_back();
    // Whether balls of different figures push each other apart in the
    // passes from the next gather on; the held ball (or null) is not
    // pushed. Arrays for the contacts are sized when first wanted.
    void use_contacts(bool on, const ball* held);

private:
    // every part of a step, shared by the team or in order on this thread
    template <void (relaxation::*step)(int part)>
    void run_parts();
    // one part of each step
    void read_part(int part);
    void hand_out_part(int part);
    void link_part(int part);
    void tension_part(int part);
    void tension_sum_part(int part);
    void write_back_part(int part);
    void contact_find_part(int part);
    void contact_move_part(int part);

    // For each ball (or arm), the pushes (or forces) it takes, in the order
    // they are made; a push owned by -1 goes to no one. Every owner has
    // `width` places, the unused ones naming `none`, a push that stays zero:
    // the loops that add them up run the same number of times for every
    // owner, so the processor never mispredicts their end. The few owners
    // with more take the rest from a spill list.
    struct push_lists {
        int width = 0;
        std::vector<int> place, spill_first{0}, spill;
        // pushes before each owner, for cutting the owners into parts
        std::vector<int> first{0};
        void make(std::size_t owners, const std::vector<int>& owner_of_push, int none);
        template <class T, class read>
        T add_up(int owner, T sum, read push) const {
            const int* p = place.data() + static_cast<std::ptrdiff_t>(owner) * width;
            for (int j = 0; j < width; ++j) sum += push(p[j]);
            for (int k = spill_first[owner]; k < spill_first[owner + 1]; ++k) sum += push(spill[k]);
            return sum;
        }
    };

    bool lists_changed(const figure& f) const;
    void index_figure(figure& f);
    void index_links();
    // the tensions' stage indexed in phases: their balls, the draw-mode
    // shares, each vertex's arms, the groups, the loose vertices and their
    // runs, the columns, and which pushes each ball takes
    void index_tensions();
    struct tension_ends;
    tension_ends read_tension_ends();
    void share_draw_pushes(const tension_ends& ends);
    vertex_tensions_table table_by_vertex(const tension_ends& ends) const;
    void number_loose_arms(const vertex_tensions_table& table, const std::vector<char>& grouped);
    void cut_loose_runs();
    void size_tension_columns();
    void index_pushes();
    int index_of(const ball_ref& b);
    void staff_team();
    void plan_parts();
    int link_entries_before(int group) const;
    int first_ball_of_run(int run) const;
    int run_tensions_before(int run) const;
    void relax_vertices(int run, float allowance);

    // --- the figure, as indexed: balls of the list first, then any ball a
    // link or tension names without it being listed: those are read but
    // never moved. Holding references keeps a removed object alive until the
    // next gather, so no new object can take its address and pass for it.
    std::vector<ball_ref> balls_;
    std::size_t listed_ = 0;
    // the lists' stamps when they were last indexed
    std::uint64_t ball_stamp_ = 0, link_stamp_ = 0, tension_stamp_ = 0;
    std::vector<link_ref> links_;
    std::vector<tension_ref> tensions_;

    // --- per ball, for every stage: written by gather, the links and the sums
    std::vector<xy> position_, shift_;
    std::vector<float> mass_;

    // --- the link stage: links with both balls, in list order; the pass
    // reads them ball by ball and moves the balls into moved_, which then
    // takes position_'s place
    std::vector<int> link_list_place_, link_a_, link_b_;
    std::vector<float> rest_length_;
    ball_links links_by_ball_;
    std::vector<xy> moved_;

    // --- the tension stage, loose vertices. Arms from each loose vertex to
    // the neighbours its tensions name: the arms of ball v are
    // [vertex_arms_[v], vertex_arms_[v + 1]).
    std::vector<int> vertex_arms_{0}, arm_from_, arm_to_;
    std::vector<float> arm_x_, arm_y_, arm_force_;
    std::vector<arm_shape> arm_shape_;
    // for each arm, the forces its tensions give it (see tension_force_)
    push_lists arm_forces_;
    // tensions with all their balls whose vertex is in no group, by vertex in
    // list order: those of ball v are [vertex_tensions_[v], vertex_tensions_[v + 1])
    std::vector<int> vertex_tensions_{0}, tension_list_place_, arm_of_a_, arm_of_b_;
    std::vector<float> rest_angle_, strength_;
    // -f for arm a, then +f for arm b, for each tension
    std::vector<float> tension_force_;
    // the vertices with arms here, and runs of them: run r is
    // loose_vertex_[loose_run_[r]] to loose_vertex_[loose_run_[r + 1] - 1]
    std::vector<int> loose_vertex_, loose_run_{0};

    // --- the tension stage, groups: vertices whose tensions share a
    // pattern, relaxed a group at a time; their arms push after the loose
    // arms in arm_push_
    vertex_groups groups_;
    // every listed tension's rest angle and strength, in list order, read
    // once a frame and handed out to the loose tensions and the groups
    std::vector<float> listed_rest_, listed_strength_;

    // --- the sum stage: every arm's push on its neighbour and every
    // vertex's push on itself, and which pushes each ball takes
    std::vector<xy> arm_push_, vertex_push_;
    push_lists arms_into_;
    // the part of its summed pushes each ball takes in draw mode: 1, or
    // draw_push_limit over the number of tensions it takes part in when more
    std::vector<float> draw_share_;

    // each thread's part of each stage: part p runs [cut[p], cut[p + 1])
    std::vector<int> ball_cut_, link_cut_, tension_cut_, link_group_cut_, run_cut_, tension_sum_cut_, group_cut_;
    // per part, whether it read a listed ball whose position is not finite
    std::vector<char> unfinite_;
    bool drawing_ = false;  // the tension pass runs in draw mode

    // --- the contact stage: each listed ball's radius and figure number,
    // read while balls collide, and the pairs found from them
    bool colliding_ = false;
    const ball* held_ = nullptr;
    std::vector<float> radius_;
    std::vector<int> figure_;
    ball_contacts contacts_;
    std::size_t contacts_sized_for_ = 0;
    int contacts_parts_ = 0;

    const pass_loops* loops_ = nullptr;
    int threads_wanted_ = 0;
    std::unique_ptr<pass_team> team_;
    team_frames frames_;
};

}  // namespace flopkin
