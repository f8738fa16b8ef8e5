#include "physics/relaxation.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "physics/constants.hpp"
#include "physics/figure.hpp"
#include "physics/pass_team.hpp"
#include "physics/stretch.hpp"

namespace flopkin {

namespace {

template <class T>
void copy_list(const object_list<T>& list, std::vector<std::shared_ptr<T>>& into) {
    into.clear();
    for (std::size_t i = 0; i < list.slot_count(); ++i)
        if (list.slot(i)) into.push_back(list.slot(i));
}

// x and y added as one pair of lanes, each rounded as alone
typedef float lane_pair __attribute__((vector_size(8)));

inline lane_pair pair_of(const xy& p) {
    lane_pair l;
    std::memcpy(&l, &p, sizeof l);
    return l;
}

inline xy xy_of(lane_pair l) {
    xy p;
    std::memcpy(&p, &l, sizeof p);
    return p;
}

// Cuts [0, count) into `parts` runs of about equal cost; cost_before(i) is
// the cost of the elements before i and grows with i.
template <class cost>
void cut_evenly(int count, int parts, cost cost_before, std::vector<int>& cut) {
    cut.assign(static_cast<std::size_t>(parts) + 1, count);
    const double total = static_cast<double>(cost_before(count));
    int at = 0;
    for (int p = 0; p < parts; ++p) {
        const double target = total * p / parts;
        while (at < count && static_cast<double>(cost_before(at)) < target) ++at;
        cut[static_cast<std::size_t>(p)] = at;
    }
}

// Vertices relax together in runs of up to this many arms and tensions: long
// enough that a loop's stores have left the store queue before the next loop
// reads them, short enough to stay in the processor's caches.
constexpr int vertex_run = 2048;

}  // namespace

template <void (relaxation::*step)(int part)>
void relaxation::run_parts() {
    team_->run([](void* self, int part) { (static_cast<relaxation*>(self)->*step)(part); }, this);
}

void relaxation::push_lists::make(std::size_t owners, const std::vector<int>& owner_of_push, int none) {
    first.assign(owners + 1, 0);
    for (int o : owner_of_push)
        if (o >= 0) ++first[static_cast<std::size_t>(o) + 1];
    // the narrowest width that leaves at most one push in 64 to the spill list
    std::size_t total = 0;
    for (std::size_t o = 0; o < owners; ++o) total += static_cast<std::size_t>(first[o + 1]);
    width = 16;
    for (int w = 0; w < 16; ++w) {
        std::size_t spilled = 0;
        for (std::size_t o = 0; o < owners; ++o) spilled += static_cast<std::size_t>(std::max(first[o + 1] - w, 0));
        if (spilled * 64 <= total) {
            width = w;
            break;
        }
    }
    std::vector<int> count(owners, 0);
    spill_first.assign(owners + 1, 0);
    for (std::size_t o = 0; o < owners; ++o) spill_first[o + 1] = spill_first[o] + std::max(first[o + 1] - width, 0);
    for (std::size_t i = 0; i < owners; ++i) first[i + 1] += first[i];
    place.assign(owners * static_cast<std::size_t>(width), none);
    spill.resize(static_cast<std::size_t>(spill_first[owners]));
    for (std::size_t k = 0; k < owner_of_push.size(); ++k) {
        if (owner_of_push[k] < 0) continue;
        const auto o = static_cast<std::size_t>(owner_of_push[k]);
        const int j = count[o]++;
        if (j < width)
            place[o * static_cast<std::size_t>(width) + static_cast<std::size_t>(j)] = static_cast<int>(k);
        else
            spill[static_cast<std::size_t>(spill_first[o] + j - width)] = static_cast<int>(k);
    }
}

bool relaxation::lists_changed(const figure& f) const {
    return f.balls.stamp() != ball_stamp_ || f.links.stamp() != link_stamp_ || f.tensions.stamp() != tension_stamp_;
}

int relaxation::index_of(const ball_ref& b) {
    int s = b->slot;
    if (s >= 0 && static_cast<std::size_t>(s) < balls_.size() && balls_[s] == b) return s;
    b->slot = static_cast<int>(balls_.size());
    balls_.push_back(b);
    return b->slot;
}

void relaxation::index_figure(figure& f) {
    ball_stamp_ = f.balls.stamp();
    link_stamp_ = f.links.stamp();
    tension_stamp_ = f.tensions.stamp();
    copy_list(f.balls, balls_);
    listed_ = balls_.size();
    for (std::size_t i = 0; i < listed_; ++i) balls_[i]->slot = static_cast<int>(i);
    copy_list(f.links, links_);
    copy_list(f.tensions, tensions_);
    index_links();
    index_tensions();
    // after the balls, the spare balls that empty lanes move
    std::size_t n = balls_.size();
    links_by_ball_.make(static_cast<int>(listed_), link_a_, link_b_, static_cast<int>(n));
    const std::size_t places = n + static_cast<std::size_t>(links_by_ball_.spares);
    position_.assign(places, xy{0, 0});
    moved_.assign(places, xy{0, 0});
    shift_.assign(places, xy{0, 0});
    mass_.assign(n, 1);
    radius_.assign(listed_, 0);
    figure_.assign(listed_, 0);
    staff_team();
}

// a link without both balls moves nothing; it stays in the list
void relaxation::index_links() {
    link_list_place_.clear();
    link_a_.clear();
    link_b_.clear();
    for (std::size_t k = 0; k < links_.size(); ++k) {
        const link& l = *links_[k];
        if (!l.end_a || !l.end_b) continue;
        link_list_place_.push_back(static_cast<int>(k));
        link_a_.push_back(index_of(l.end_a));
        link_b_.push_back(index_of(l.end_b));
    }
    rest_length_.resize(link_a_.size());
}

// The tensions with all their balls, in list order: where each stands in the
// list and the indices of its balls.
struct relaxation::tension_ends {
    std::vector<int> place, end_a, vertex, end_b;
};

void relaxation::index_tensions() {
    const tension_ends ends = read_tension_ends();
    const std::size_t n = balls_.size();
    share_draw_pushes(ends);
    const vertex_tensions_table table = table_by_vertex(ends);
    // vertices sharing a pattern go in groups; the rest one at a time
    std::vector<char> grouped;
    groups_.make(table, static_cast<int>(n), grouped);
    number_loose_arms(table, grouped);
    cut_loose_runs();
    size_tension_columns();
    index_pushes();
}

relaxation::tension_ends relaxation::read_tension_ends() {
    tension_ends ends;
    for (std::size_t k = 0; k < tensions_.size(); ++k) {
        const tension& t = *tensions_[k];
        if (!t.end_a || !t.vertex || !t.end_b) continue;
        ends.place.push_back(static_cast<int>(k));
        ends.end_a.push_back(index_of(t.end_a));
        ends.vertex.push_back(index_of(t.vertex));
        ends.end_b.push_back(index_of(t.end_b));
    }
    return ends;
}

void relaxation::share_draw_pushes(const tension_ends& ends) {
    const std::size_t n = balls_.size();
    std::vector<int> taking(n, 0);
    for (std::size_t k = 0; k < ends.place.size(); ++k)
        for (int b : {ends.end_a[k], ends.vertex[k], ends.end_b[k]}) ++taking[static_cast<std::size_t>(b)];
    draw_share_.resize(n);
    for (std::size_t i = 0; i < n; ++i)
        draw_share_[i] = taking[i] > draw_push_limit ? draw_push_limit / static_cast<float>(taking[i]) : 1.0f;
}

// each vertex's tensions in list order, its arms numbered in the order
// they are first named
vertex_tensions_table relaxation::table_by_vertex(const tension_ends& ends) const {
    const std::size_t n = balls_.size(), count = ends.place.size();
    vertex_tensions_table table;
    table.tension_first.assign(n + 1, 0);
    for (int v : ends.vertex) ++table.tension_first[static_cast<std::size_t>(v) + 1];
    for (std::size_t i = 0; i < n; ++i) table.tension_first[i + 1] += table.tension_first[i];
    std::vector<int> order(count), next(table.tension_first.begin(), table.tension_first.end() - 1);
    for (std::size_t k = 0; k < count; ++k)
        order[static_cast<std::size_t>(next[ends.vertex[k]]++)] = static_cast<int>(k);
    table.arm_first.assign(n + 1, 0);
    table.arm_a.resize(count);
    table.arm_b.resize(count);
    table.list_place.resize(count);
    std::vector<int> arm_vertex(n, -1), arm_at(n, 0);
    for (std::size_t v = 0; v < n; ++v) {
        const int first_arm = static_cast<int>(table.neighbour.size());
        auto arm = [&](int end) {
            if (arm_vertex[end] != static_cast<int>(v)) {
                arm_vertex[end] = static_cast<int>(v);
                arm_at[end] = static_cast<int>(table.neighbour.size()) - first_arm;
                table.neighbour.push_back(end);
            }
            return arm_at[end];
        };
        for (int t = table.tension_first[v]; t < table.tension_first[v + 1]; ++t) {
            const int k = order[t];
            table.list_place[t] = ends.place[k];
            table.arm_a[t] = arm(ends.end_a[k]);
            table.arm_b[t] = arm(ends.end_b[k]);
        }
        table.arm_first[v + 1] = static_cast<int>(table.neighbour.size());
    }
    return table;
}

// the vertices in no group one at a time, their arms numbered across the figure
void relaxation::number_loose_arms(const vertex_tensions_table& table, const std::vector<char>& grouped) {
    const std::size_t n = balls_.size();
    vertex_arms_.assign(n + 1, 0);
    vertex_tensions_.assign(n + 1, 0);
    arm_from_.clear();
    arm_to_.clear();
    tension_list_place_.clear();
    arm_of_a_.clear();
    arm_of_b_.clear();
    for (std::size_t v = 0; v < n; ++v) {
        if (!grouped[v]) {
            const int base = static_cast<int>(arm_from_.size()) - table.arm_first[v];
            for (int h = table.arm_first[v]; h < table.arm_first[v + 1]; ++h) {
                arm_from_.push_back(static_cast<int>(v));
                arm_to_.push_back(table.neighbour[static_cast<std::size_t>(h)]);
            }
            for (int t = table.tension_first[v]; t < table.tension_first[v + 1]; ++t) {
                tension_list_place_.push_back(table.list_place[t]);
                arm_of_a_.push_back(base + table.arm_first[v] + table.arm_a[t]);
                arm_of_b_.push_back(base + table.arm_first[v] + table.arm_b[t]);
            }
        }
        vertex_arms_[v + 1] = static_cast<int>(arm_from_.size());
        vertex_tensions_[v + 1] = static_cast<int>(arm_of_a_.size());
    }
}

// the loose vertices in runs of up to vertex_run arms and tensions
void relaxation::cut_loose_runs() {
    const std::size_t n = balls_.size();
    loose_vertex_.clear();
    loose_run_.assign(1, 0);
    for (std::size_t v = 0; v < n; ++v) {
        if (vertex_arms_[v] == vertex_arms_[v + 1]) continue;
        if (!loose_vertex_.empty()) {
            const int first = loose_vertex_[static_cast<std::size_t>(loose_run_.back())];
            if (vertex_tensions_[v + 1] - vertex_tensions_[first] > vertex_run ||
                vertex_arms_[v + 1] - vertex_arms_[first] > vertex_run)
                loose_run_.push_back(static_cast<int>(loose_vertex_.size()));
        }
        loose_vertex_.push_back(static_cast<int>(v));
    }
    if (!loose_vertex_.empty()) loose_run_.push_back(static_cast<int>(loose_vertex_.size()));
}

// the loose arms' and tensions' columns, and which forces each arm takes
void relaxation::size_tension_columns() {
    const std::size_t arms = arm_from_.size(), loose = arm_of_a_.size();
    for (auto* column : {&arm_x_, &arm_y_, &arm_force_}) column->assign(arms, 0);
    arm_shape_.assign(arms, arm_shape{0, 0});
    std::vector<int> arm_of_force(2 * loose);
    for (std::size_t t = 0; t < loose; ++t) {
        arm_of_force[2 * t] = arm_of_a_[t];
        arm_of_force[2 * t + 1] = arm_of_b_[t];
    }
    arm_forces_.make(arms, arm_of_force, static_cast<int>(2 * loose));
    tension_force_.assign(2 * loose + 1, 0);
    rest_angle_.resize(loose);
    strength_.resize(loose);
    listed_rest_.resize(tensions_.size());
    listed_strength_.resize(tensions_.size());
}

// every arm's push on its neighbour: the loose arms' first, then the
// groups' lane by lane (an empty lane pushes no ball), then one that
// stays zero for the places no push takes
void relaxation::index_pushes() {
    const std::size_t n = balls_.size(), arms = arm_from_.size();
    const std::size_t pushes = arms + groups_.pushes();
    std::vector<int> ball_of_push(arm_to_);
    ball_of_push.resize(pushes, -1);
    for (std::size_t g = 0; g < groups_.count(); ++g) {
        const int at = groups_.push_at[g], lanes = vertex_groups::lanes;
        for (int j = 0; j < groups_.arms[g]; ++j)
            for (int i = 0; i < lanes; ++i)
                if (groups_.push_to[g * lanes + static_cast<std::size_t>(i)] < static_cast<int>(n))
                    ball_of_push[arms + static_cast<std::size_t>(at + j * lanes + i)] =
                        groups_.neighbour[static_cast<std::size_t>(groups_.neighbour_at[g] + j * lanes + i)];
    }
    arm_push_.assign(pushes + 1, xy{0, 0});
    arms_into_.make(n, ball_of_push, static_cast<int>(pushes));
    vertex_push_.assign(n + static_cast<std::size_t>(groups_.spares), xy{0, 0});
}

bool relaxation::gather(figure& f) {
    if (lists_changed(f)) index_figure(f);
    run_parts<&relaxation::read_part>();
    for (char unusable : unfinite_)
        if (unusable) return false;
    run_parts<&relaxation::hand_out_part>();
    return true;
}

// The part's balls, links and tensions as the figure holds them, each list
// read in its own order, where its objects lie one after another in memory.
void relaxation::read_part(int part) {
    const auto p = static_cast<std::size_t>(part);
    unfinite_[p] = 0;
    for (int i = ball_cut_[p]; i < ball_cut_[p + 1]; ++i) {
        const ball& b = *balls_[static_cast<std::size_t>(i)];
        if (static_cast<std::size_t>(i) < listed_ && !(std::isfinite(b.x) && std::isfinite(b.y))) {
            unfinite_[p] = 1;
            return;
        }
        position_[i] = moved_[i] = {b.x, b.y};
        mass_[i] = usable_mass(b.mass);
        if (colliding_ && static_cast<std::size_t>(i) < listed_) {
            radius_[i] = b.radius;
            figure_[i] = b.figure;
        }
    }
    for (int k = link_cut_[p]; k < link_cut_[p + 1]; ++k)
        rest_length_[k] = links_[static_cast<std::size_t>(link_list_place_[k])]->rest_length;
    for (int k = tension_cut_[p]; k < tension_cut_[p + 1]; ++k) {
        const tension& t = *tensions_[static_cast<std::size_t>(k)];
        listed_rest_[k] = t.rest_angle;
        listed_strength_[k] = t.strength;
    }
}

// What was read handed out to where the passes read it: each link's rest
// length and each end's part of the stiffness to its ends' entries, each
// tension's rest angle and strength to its vertex's run or group.
void relaxation::hand_out_part(int part) {
    const ball_links& by_ball = links_by_ball_;
    const int entries_from = link_entries_before(link_group_cut_[part]);
    const int entries_to = link_entries_before(link_group_cut_[part + 1]);
    for (int e = entries_from; e < entries_to; ++e) {
        const auto k = static_cast<std::size_t>(by_ball.link[e]);
        const link_parts parts = parts_of_link(mass_[link_a_[k]], mass_[link_b_[k]]);
        links_by_ball_.rest[e] = rest_length_[k];
        links_by_ball_.part[e] = by_ball.side[e] > 0 ? parts.a : parts.b;
    }
    const int t0 = run_tensions_before(run_cut_[part]), t1 = run_tensions_before(run_cut_[part + 1]);
    for (int k = t0; k < t1; ++k) {
        rest_angle_[k] = listed_rest_[static_cast<std::size_t>(tension_list_place_[k])];
        strength_[k] = listed_strength_[static_cast<std::size_t>(tension_list_place_[k])];
    }
    for (int g = group_cut_[part]; g < group_cut_[part + 1]; ++g) {
        const auto first = static_cast<std::size_t>(groups_.slot_at[g]);
        const auto end = first + static_cast<std::size_t>(groups_.tensions[g]) * vertex_groups::lanes;
        bool far = false;
        for (std::size_t k = first; k < end; ++k) {
            const auto place = static_cast<std::size_t>(groups_.list_place[k]);
            groups_.rest[k] = listed_rest_[place];
            groups_.strength[k] = listed_strength_[place];
            far = far || !rest_angle_is_near(groups_.rest[k]);
        }
        groups_.far_rest[static_cast<std::size_t>(g)] = far;
    }
}

void relaxation::link_part(int part) {
    const ball_links& g = links_by_ball_;
    for (int k = link_group_cut_[part]; k < link_group_cut_[part + 1]; ++k) {
        const auto lanes = static_cast<std::size_t>(k) * ball_links::lanes;
        const int e = g.entry_at[k];
        const link_group_job job{g.ball.data() + lanes, g.moves.data() + lanes, g.other.data() + e,
                                 g.side.data() + e,     g.rest.data() + e,     g.part.data() + e,
                                 g.links[k]};
        loops_->relax_ball_links(position_.data(), job, moved_.data(), shift_.data());
    }
}

void relaxation::tension_part(int part) {
    const float allowance = drawing_ ? draw_allowance : 0.0f;
    for (int r = run_cut_[part]; r < run_cut_[part + 1]; ++r) relax_vertices(r, allowance);
    xy* group_push = arm_push_.data() + arm_from_.size();
    for (int g = group_cut_[part]; g < group_cut_[part + 1]; ++g) {
        const auto at = static_cast<std::size_t>(g) * vertex_groups::lanes;
        const group_job job{groups_.vertex.data() + at,
                            groups_.push_to.data() + at,
                            groups_.neighbour.data() + groups_.neighbour_at[g],
                            groups_.pattern.data() + groups_.pattern_at[g],
                            groups_.rest.data() + groups_.slot_at[g],
                            groups_.strength.data() + groups_.slot_at[g],
                            groups_.arms[g],
                            groups_.tensions[g],
                            groups_.far_rest[static_cast<std::size_t>(g)] != 0};
        loops_->relax_group(position_.data(), job, allowance, group_push + groups_.push_at[g], vertex_push_.data());
    }
}

// The tensions of the loose vertices of run r: their arms, their forces,
// the arms' pushes on the neighbours and the pushes on the vertices. A
// vertex between them that is not loose has no arms or tensions here.
void relaxation::relax_vertices(int run, float allowance) {
    const int k0 = loose_run_[run], k1 = loose_run_[run + 1];
    const int first = loose_vertex_[k0], last = loose_vertex_[k1 - 1];
    const int h0 = vertex_arms_[first], h1 = vertex_arms_[last + 1];
    const int t0 = vertex_tensions_[first], t1 = vertex_tensions_[last + 1];
    const arm_shape* shape = arm_shape_.data();
    float* force = tension_force_.data();
    loops_->arms(position_.data(), arm_from_.data() + h0, arm_to_.data() + h0, h1 - h0, arm_x_.data() + h0,
                 arm_y_.data() + h0, arm_shape_.data() + h0);
    int odd = loops_->tension_forces(arm_of_a_.data() + t0, arm_of_b_.data() + t0, shape, rest_angle_.data() + t0,
                                     strength_.data() + t0, allowance, t1 - t0, force + 2 * t0);
    for (int t = t0; odd && t < t1; ++t) {
        const int a = arm_of_a_[t], b = arm_of_b_[t];
        if (!tension_is_odd(shape[a].square, shape[b].square, rest_angle_[t])) continue;
        float f = tension_force(arm_x_[a], arm_y_[a], arm_x_[b], arm_y_[b], shape[a].square, shape[b].square,
                                rest_angle_[t], strength_[t] + allowance);
        force[2 * t] = -f;
        force[2 * t + 1] = f;
        --odd;
    }
    // each arm sums its forces in a register of its own
    for (int h = h0; h < h1; ++h) arm_force_[h] = arm_forces_.add_up(h, 0.0f, [force](int k) { return force[k]; });
    loops_->arm_pushes(arm_x_.data() + h0, arm_y_.data() + h0, shape + h0, arm_force_.data() + h0, h1 - h0,
                       arm_push_.data() + h0);
    for (int k = k0; k < k1; ++k) {
        const int v = loose_vertex_[k];
        lane_pair sum{0, 0};
        for (int h = vertex_arms_[v]; h < vertex_arms_[v + 1]; ++h) sum -= pair_of(arm_push_[h]);
        vertex_push_[v] = xy_of(sum);
    }
}

// each listed ball of the part moves by its push as a vertex, then the
// pushes of the arms that end on it; in draw mode by its share of their sum
void relaxation::tension_sum_part(int part) {
    const xy* push = arm_push_.data();
    const bool drawing = drawing_;
    for (int b = tension_sum_cut_[part]; b < tension_sum_cut_[part + 1]; ++b) {
        lane_pair sum = arms_into_.add_up(b, pair_of(vertex_push_[b]), [push](int k) { return pair_of(push[k]); });
        if (drawing) sum *= draw_share_[b];
        shift_[b] = xy_of(sum);
        position_[b] = xy_of(pair_of(position_[b]) + sum);
    }
}

void relaxation::link_pass() {
    run_parts<&relaxation::link_part>();
    position_.swap(moved_);
}

void relaxation::tension_pass(bool in_draw_mode) {
    drawing_ = in_draw_mode;
    run_parts<&relaxation::tension_part>();
    run_parts<&relaxation::tension_sum_part>();
}

void relaxation::relax(bool in_draw_mode, int passes) {
    if (colliding_) {
        if (contacts_sized_for_ != listed_ || contacts_parts_ != team_->parts()) {
            contacts_.size_for(static_cast<int>(listed_), team_->parts());
            contacts_sized_for_ = listed_;
            contacts_parts_ = team_->parts();
        }
        const int s = held_ ? held_->slot : -1;
        const bool held_here = s >= 0 && static_cast<std::size_t>(s) < listed_ && balls_[s].get() == held_;
        contacts_.begin_find(position_.data(), radius_.data(), figure_.data(), mass_.data(),
                             static_cast<int>(listed_), held_here ? s : -1, team_->parts());
        run_parts<&relaxation::contact_find_part>();
        contacts_.end_find(position_.data(), radius_.data(), figure_.data(), static_cast<int>(listed_));
    }
    bool shared = false, alone = false;
    for (int k = 0; k < passes; ++k) {
        (team_->pass_begins() ? shared : alone) = true;
        link_pass();
        tension_pass(in_draw_mode);
        if (colliding_ && contacts_.pair_count() > 0)
            for (int stage = k + 1 < passes ? 1 : 1 + contact_settling_stages; stage > 0; --stage) {
                run_parts<&relaxation::contact_move_part>();
                position_.swap(moved_);
            }
        team_->pass_ends();
    }
    if (!team_->sizes_itself()) return;
    if (shared && alone)
        ++frames_.changing;
    else if (shared)
        ++frames_.shared;
    else
        ++frames_.alone;
    frames_.members = team_->members();
}

relaxation::relaxation() {
    use_vector_width(usable_vector_widths().back());
    staff_team();
}

relaxation::~relaxation() = default;

void relaxation::use_vector_width(vector_width width) { loops_ = &loops_for(width); }

void relaxation::use_threads(int members) {
    threads_wanted_ = members;
    staff_team();
}

// A team only for figures big enough to pay for handing the parts over; one
// that sizes itself, unless told how many, also runs passes alone while the
// team loses.
void relaxation::staff_team() {
    const bool sizes_itself = threads_wanted_ == 0;
    int members = !sizes_itself ? threads_wanted_ : listed_ >= big_figure ? cores_for_passes() : 1;
    if (!team_ || team_->members() != members || team_->sizes_itself() != (sizes_itself && members > 1))
        team_ = std::make_unique<pass_team>(members, sizes_itself);
    else
        team_->figure_changed();
    plan_parts();
}

int relaxation::link_entries_before(int group) const {
    const ball_links& by_ball = links_by_ball_;
    return group < static_cast<int>(by_ball.count()) ? by_ball.entry_at[group] : static_cast<int>(by_ball.other.size());
}

int relaxation::first_ball_of_run(int run) const {
    return run < static_cast<int>(loose_run_.size()) - 1 ? loose_vertex_[loose_run_[run]] : static_cast<int>(balls_.size());
}

int relaxation::run_tensions_before(int run) const { return vertex_tensions_[first_ball_of_run(run)]; }

void relaxation::plan_parts() {
    const int parts = team_->parts();
    auto count = [](int i) { return i; };
    cut_evenly(static_cast<int>(balls_.size()), parts, count, ball_cut_);
    cut_evenly(static_cast<int>(link_a_.size()), parts, count, link_cut_);
    cut_evenly(static_cast<int>(tensions_.size()), parts, count, tension_cut_);
    unfinite_.assign(static_cast<std::size_t>(parts), 0);
    cut_evenly(static_cast<int>(links_by_ball_.count()), parts, [&](int k) { return link_entries_before(k) + k; },
               link_group_cut_);
    cut_evenly(static_cast<int>(loose_run_.size()) - 1, parts, [&](int r) {
        const int v = first_ball_of_run(r);
        return vertex_tensions_[v] + vertex_arms_[v] + r;
    }, run_cut_);
    cut_evenly(static_cast<int>(listed_), parts, [&](int b) { return arms_into_.first[b] + b; }, tension_sum_cut_);
    cut_evenly(static_cast<int>(groups_.count()), parts, count, group_cut_);
}

void relaxation::use_contacts(bool on, const ball* held) {
    colliding_ = on;
    held_ = held;
}

void relaxation::contact_find_part(int part) { contacts_.find_part(part); }

void relaxation::contact_move_part(int part) {
    contacts_.move_part(*loops_, position_.data(), moved_.data(), part);
}

void relaxation::write_back() { run_parts<&relaxation::write_back_part>(); }

void relaxation::write_back_part(int part) {
    const int listed = static_cast<int>(listed_);
    for (int i = ball_cut_[part]; i < std::min(ball_cut_[part + 1], listed); ++i) {
        ball& b = *balls_[static_cast<std::size_t>(i)];
        b.x = position_[i].x;
        b.y = position_[i].y;
        b.shift_x = shift_[i].x;
        b.shift_y = shift_[i].y;
    }
}

}  // namespace flopkin
