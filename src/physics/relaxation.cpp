#include "physics/relaxation.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "app/app.hpp"
#include "physics/joint.hpp"
#include "physics/pass_team.hpp"
#include "physics/stretch.hpp"


namespace flopkin {

namespace {

// whether the list holds other objects, or in another order, than were seen
template <class T>
bool differs(const object_list<T>& list, const std::vector<std::shared_ptr<T>>& seen, std::size_t count) {
    if (list.count() != count) return true;
    std::size_t k = 0;
    for (std::size_t i = 0; i < list.slot_count(); ++i) {
        const auto& s = list.slot(i);
        if (!s) continue;
        if (s.get() != seen[k].get()) return true;
        ++k;
    }
    return false;
}

// Adds pushes to the shifts in the order given, holding the shift of one
// ball in a register: consecutive constraints share it (a vertex's tensions,
// a ball's links to its neighbours), and through memory every addition would
// wait for the store before it. Each ball still receives its additions in
// list order. x and y travel as one pair of lanes, each rounded as alone.
typedef float lane_pair __attribute__((vector_size(8)));

struct shift_adder {
    xy* shift;
    int held = -1;
    lane_pair sum{0, 0};

    lane_pair at(int i) const {
        lane_pair p;
        std::memcpy(&p, &shift[i], sizeof p);
        return p;
    }
    void put(int i, lane_pair p) { std::memcpy(&shift[i], &p, sizeof p); }
    void hold(int i) {
        if (i == held) return;
        release();
        held = i;
        sum = at(i);
    }
    void add(int i, const xy& push) {
        lane_pair p;
        std::memcpy(&p, &push, sizeof p);
        if (i == held)
            sum += p;
        else
            put(i, at(i) + p);
    }
    void release() {
        if (held >= 0) put(held, sum);
        held = -1;
    }
};

template <class T>
void copy_list(const object_list<T>& list, std::vector<std::shared_ptr<T>>& into) {
    into.clear();
    for (std::size_t i = 0; i < list.slot_count(); ++i)
        if (list.slot(i)) into.push_back(list.slot(i));
}

}  // namespace

bool relaxation::lists_changed(const app& a) const {
    return differs(a.balls, balls_, listed_) || differs(a.links, links_, links_.size()) ||
           differs(a.tensions, tensions_, tensions_.size());
}

int relaxation::index_of(const ball_ref& b) {
    int s = b->slot;
    if (s >= 0 && static_cast<std::size_t>(s) < balls_.size() && balls_[s] == b) return s;
    b->slot = static_cast<int>(balls_.size());
    balls_.push_back(b);
    return b->slot;
}

void relaxation::index_figure(app& a) {
    copy_list(a.balls, balls_);
    listed_ = balls_.size();
    for (std::size_t i = 0; i < listed_; ++i) balls_[i]->slot = static_cast<int>(i);
    copy_list(a.links, links_);
    copy_list(a.tensions, tensions_);

    link_a_.clear();
    link_b_.clear();
    for (const link_ref& l : links_) {
        // a link without both balls moves nothing; it stays in the list
        bool whole = l->end_a && l->end_b;
        link_a_.push_back(whole ? index_of(l->end_a) : -1);
        link_b_.push_back(whole ? index_of(l->end_b) : -1);
    }
    tension_a_.clear();
    tension_v_.clear();
    tension_b_.clear();
    for (const tension_ref& t : tensions_) {
        bool whole = t->end_a && t->vertex && t->end_b;
        tension_a_.push_back(whole ? index_of(t->end_a) : -1);
        tension_v_.push_back(whole ? index_of(t->vertex) : -1);
        tension_b_.push_back(whole ? index_of(t->end_b) : -1);
    }
    // a constraint without its balls is parked on a scratch entry that
    // nothing reads back
    std::size_t scratch = balls_.size();
    for (int* ends : {link_a_.data(), link_b_.data()})
        for (std::size_t k = 0; k < link_a_.size(); ++k)
            if (ends[k] < 0) ends[k] = static_cast<int>(scratch);
    for (int* ends : {tension_a_.data(), tension_v_.data(), tension_b_.data()})
        for (std::size_t k = 0; k < tension_a_.size(); ++k)
            if (ends[k] < 0) ends[k] = static_cast<int>(scratch);

    std::size_t n = balls_.size() + 1;
    position_.assign(n, xy{0, 0});
    shift_.assign(n, xy{0, 0});
    staff_team();
    mass_.assign(n, 1);
    rest_length_.resize(links_.size());
    share_a_.resize(links_.size());
    share_b_.resize(links_.size());
    rest_angle_.resize(tensions_.size());
    strength_.resize(tensions_.size());
}

bool relaxation::gather(app& a) {
    if (lists_changed(a)) index_figure(a);
    for (std::size_t i = 0; i < balls_.size(); ++i) {
        const ball& b = *balls_[i];
        if (i < listed_ && !(std::isfinite(b.x) && std::isfinite(b.y))) return false;
        position_[i] = {b.x, b.y};
        mass_[i] = usable_mass(b.mass);
    }
    for (std::size_t k = 0; k < links_.size(); ++k) {
        rest_length_[k] = links_[k]->rest_length;
        float ma = mass_[link_a_[k]], mb = mass_[link_b_[k]];
        share_a_[k] = 1 + ma / mb;
        share_b_[k] = 1 + mb / ma;
    }
    for (std::size_t k = 0; k < tensions_.size(); ++k) {
        rest_angle_[k] = tensions_[k]->rest_angle;
        strength_[k] = tensions_[k]->strength;
    }
    return true;
}

// A pass works in blocks of constraints: the arms of a block are read from
// the positions, the pushes computed in a loop with no branches and no stores
// outside the block, then added to the shifts. Shared by a team, each thread
// takes a part of the list and keeps aside the pushes on balls an earlier
// part has pushed; either way each ball receives its pushes in list order, so
// every thread count gives the same figure bit for bit.

constexpr std::size_t block = 256;

// the pushes of a block as x, y pairs, ready to be added to shifts
struct link_block {
    xy a[block], b[block];
};

struct tension_block {
    xy a[block], v[block], b[block];
};

[[gnu::always_inline]] inline void link_pushes(const xy* position, const int* ia, const int* ib, const float* rest,
                                             const float* share_a, const float* share_b, int n, link_block& out) {
    float arm_x[block], arm_y[block];
    for (int i = 0; i < n; ++i) {
        const xy& p = position[ia[i]];
        const xy& q = position[ib[i]];
        arm_x[i] = q.x - p.x;
        arm_y[i] = q.y - p.y;
    }
    for (int i = 0; i < n; ++i) {
        link_shift p = push_of_link(arm_x[i], arm_y[i], rest[i], share_a[i], share_b[i]);
        out.a[i] = {p.ax, p.ay};
        out.b[i] = {p.bx, p.by};
    }
}

[[gnu::always_inline]] inline void tension_pushes(const xy* position, const int* ia, const int* iv, const int* ib,
                                                const float* rest, const float* strength, float allowance, int n,
                                                tension_block& out) {
    float arm_x1[block], arm_y1[block], arm_x2[block], arm_y2[block];
    float ax[block], ay[block], bx[block], by[block];
    for (int i = 0; i < n; ++i) {
        const xy& p = position[ia[i]];
        const xy& v = position[iv[i]];
        const xy& q = position[ib[i]];
        arm_x1[i] = v.x - p.x;
        arm_y1[i] = v.y - p.y;
        arm_x2[i] = q.x - v.x;
        arm_y2[i] = q.y - v.y;
    }
    int odd = 0;
    for (int i = 0; i < n; ++i) {
        float dx1 = arm_x1[i], dy1 = arm_y1[i], dx2 = arm_x2[i], dy2 = arm_y2[i];
        float error = near_wrap_180(joint_angle_fast(dx1, dy1, dx2, dy2) - rest[i]);
        joint_push p = push_of_joint(dx1, dy1, dx2, dy2, error, strength[i] + allowance);
        ax[i] = p.ax;
        ay[i] = p.ay;
        bx[i] = p.bx;
        by[i] = p.by;
        odd += joint_is_degenerate(dx1, dy1, dx2, dy2) || !rest_angle_is_near(rest[i]) ? 1 : 0;
    }
    // the rare joint the fast loop cannot take: an arm of length zero, or a
    // rest angle far outside a turn
    for (int i = 0; odd && i < n; ++i) {
        float dx1 = arm_x1[i], dy1 = arm_y1[i], dx2 = arm_x2[i], dy2 = arm_y2[i];
        if (joint_is_degenerate(dx1, dy1, dx2, dy2) || !rest_angle_is_near(rest[i])) {
            joint_push p = push_of_tension(dx1, dy1, dx2, dy2, rest[i], strength[i] + allowance);
            ax[i] = p.ax;
            ay[i] = p.ay;
            bx[i] = p.bx;
            by[i] = p.by;
        }
    }
    // the vertex takes minus the sum of the ends' pushes
    for (int i = 0; i < n; ++i) {
        out.a[i] = {ax[i], ay[i]};
        out.v[i] = {-ax[i] - bx[i], -ay[i] - by[i]};
        out.b[i] = {bx[i], by[i]};
    }
}

// The block loops built for each vector width; every lane rounds as the
// scalar code does and multiplies and adds are never fused (see the build),
// so every width gives the same pushes.
#if defined(__x86_64__) && defined(__GNUC__)
#define FLOPKIN_BUILD_FOR(name, isa)                                                                          \
    [[gnu::target(isa)]] void link_pushes_##name(const xy* position, const int* ia, const int* ib,            \
                                                    const float* rest, const float* share_a, const float* share_b, \
                                                    int n, link_block& out) {                                    \
        link_pushes(position, ia, ib, rest, share_a, share_b, n, out);                                           \
    }                                                                                                            \
    [[gnu::target(isa)]] void tension_pushes_##name(const xy* position, const int* ia, const int* iv,         \
                                                       const int* ib, const float* rest, const float* strength,  \
                                                       float allowance, int n, tension_block& out) {             \
        tension_pushes(position, ia, iv, ib, rest, strength, allowance, n, out);                                 \
    }
namespace {
FLOPKIN_BUILD_FOR(wide, "arch=x86-64-v4")
FLOPKIN_BUILD_FOR(avx2, "avx2")
}  // namespace
#undef FLOPKIN_BUILD_FOR
#endif

struct block_loops {
    void (*links)(const xy*, const int*, const int*, const float*, const float*, const float*, int, link_block&);
    void (*tensions)(const xy*, const int*, const int*, const int*, const float*, const float*, float, int,
                     tension_block&);
};

namespace {

void link_pushes_base(const xy* position, const int* ia, const int* ib, const float* rest, const float* share_a,
                      const float* share_b, int n, link_block& out) {
    link_pushes(position, ia, ib, rest, share_a, share_b, n, out);
}

void tension_pushes_base(const xy* position, const int* ia, const int* iv, const int* ib, const float* rest,
                         const float* strength, float allowance, int n, tension_block& out) {
    tension_pushes(position, ia, iv, ib, rest, strength, allowance, n, out);
}

const block_loops* loops_for(vector_width width) {
#if defined(__x86_64__) && defined(__GNUC__)
    static constexpr block_loops wide{link_pushes_wide, tension_pushes_wide};
    static constexpr block_loops avx2{link_pushes_avx2, tension_pushes_avx2};
    if (width == vector_width::wide) return &wide;
    if (width == vector_width::avx2) return &avx2;
#endif
    static constexpr block_loops base{link_pushes_base, tension_pushes_base};
    (void)width;
    return &base;
}

}  // namespace

std::vector<vector_width> usable_vector_widths() {
    std::vector<vector_width> widths{vector_width::base};
#if defined(__x86_64__) && defined(__GNUC__)
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2")) widths.push_back(vector_width::avx2);
    // the wide loops are built for x86-64-v4: the five AVX-512 extensions it names
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512cd") &&
        __builtin_cpu_supports("avx512dq") && __builtin_cpu_supports("avx512vl"))
        widths.push_back(vector_width::wide);
#endif
    return widths;
}

void relaxation::use_vector_width(vector_width width) { loops_ = loops_for(width); }

// Adds pushes for one thread's part: to the balls of its part at once, the
// others kept aside in order (see part_plan).
struct part_adder {
    shift_adder add;
    const int* owner;
    int part;
    xy* kept;

    void hold(int i) {
        if (owner[i] == part) add.hold(i);
    }
    void add_push(int i, const xy& push) {
        if (owner[i] == part)
            add.add(i, push);
        else if (owner[i] >= 0)
            *kept++ = push;
    }
    void release() { add.release(); }
};

// one thread alone adds every push at once
struct whole_adder {
    shift_adder add;
    void hold(int i) { add.hold(i); }
    void add_push(int i, const xy& push) { add.add(i, push); }
    void release() { add.release(); }
};

template <class adder>
// the adder comes by value: a local object the compiler can keep in registers
void relaxation::add_link_pushes(std::size_t from, std::size_t to, adder add) {
    link_block pushes;
    for (std::size_t start = from; start < to; start += block) {
        const int n = static_cast<int>(std::min(block, to - start));
        const int* ia = link_a_.data() + start;
        const int* ib = link_b_.data() + start;
        loops_->links(position_.data(), ia, ib, rest_length_.data() + start, share_a_.data() + start,
                      share_b_.data() + start, n, pushes);
        for (int i = 0; i < n; ++i) {
            add.hold(ia[i]);
            add.add_push(ia[i], pushes.a[i]);
            add.add_push(ib[i], pushes.b[i]);
        }
    }
    add.release();
}

template <class adder>
void relaxation::add_tension_pushes(std::size_t from, std::size_t to, int draw_mode, adder add) {
    tension_block pushes;
    const float allowance = 10000.0f * static_cast<float>(draw_mode);
    for (std::size_t start = from; start < to; start += block) {
        const int n = static_cast<int>(std::min(block, to - start));
        const int* ia = tension_a_.data() + start;
        const int* iv = tension_v_.data() + start;
        const int* ib = tension_b_.data() + start;
        loops_->tensions(position_.data(), ia, iv, ib, rest_angle_.data() + start, strength_.data() + start,
                         allowance, n, pushes);
        for (int i = 0; i < n; ++i) {
            add.hold(iv[i]);
            add.add_push(ia[i], pushes.a[i]);
            add.add_push(iv[i], pushes.v[i]);
            add.add_push(ib[i], pushes.b[i]);
        }
    }
    add.release();
}

void relaxation::link_pass() {
    std::fill(shift_.begin(), shift_.end(), xy{0, 0});
    add_link_pushes(0, link_count(), whole_adder{{shift_.data()}});
    move_listed();
}

void relaxation::tension_pass(int draw_mode) {
    std::fill(shift_.begin(), shift_.end(), xy{0, 0});
    add_tension_pushes(0, tension_count(), draw_mode, whole_adder{{shift_.data()}});
    move_listed();
}

void relaxation::link_part(int part) {
    add_link_pushes(link_parts_.first(part), link_parts_.first(part + 1),
                    part_adder{{shift_.data()}, link_parts_.owner(), part, link_parts_.kept(part)});
}

void relaxation::tension_part(int part, int draw_mode) {
    add_tension_pushes(tension_parts_.first(part), tension_parts_.first(part + 1), draw_mode,
                       part_adder{{shift_.data()}, tension_parts_.owner(), part, tension_parts_.kept(part)});
}

void relaxation::move_listed() {
    for (std::size_t i = 0; i < listed_; ++i) {
        position_[i].x += shift_[i].x;
        position_[i].y += shift_[i].y;
    }
}

namespace {

struct team_pass {
    relaxation* relax;
    int draw_mode;
};

void links_part(void* context, int part, int) {
    auto& pass = *static_cast<team_pass*>(context);
    pass.relax->link_part(part);
}

void tensions_part(void* context, int part, int) {
    auto& pass = *static_cast<team_pass*>(context);
    pass.relax->tension_part(part, pass.draw_mode);
}

}  // namespace

void relaxation::relax(int draw_mode, int passes) {
    if (!team_) {
        for (int pass = 0; pass < passes; ++pass) {
            link_pass();
            tension_pass(draw_mode);
        }
        return;
    }
    team_pass pass{this, draw_mode};
    for (int k = 0; k < passes; ++k) {
        std::fill(shift_.begin(), shift_.end(), xy{0, 0});
        team_->run(links_part, &pass);
        link_parts_.add_kept(shift_.data());
        move_listed();
        std::fill(shift_.begin(), shift_.end(), xy{0, 0});
        team_->run(tensions_part, &pass);
        tension_parts_.add_kept(shift_.data());
        move_listed();
    }
}

relaxation::relaxation() { use_vector_width(usable_vector_widths().back()); }
relaxation::~relaxation() = default;

void relaxation::use_threads(int members) {
    threads_wanted_ = members;
    staff_team();
}

// a team only for figures big enough to pay for handing the parts over
void relaxation::staff_team() {
    int members = threads_wanted_ > 0 ? threads_wanted_ : listed_ >= big_figure ? cores_for_passes() : 1;
    if (members < 2) {
        team_.reset();
    } else if (!team_ || team_->members() != members) {
        team_.reset();
        team_ = std::make_unique<pass_team>(members);
    }
    plan_parts();
}

void relaxation::plan_parts() {
    if (!team_) return;
    link_parts_.make(position_.size(), listed_, {&link_a_, &link_b_}, team_->members());
    tension_parts_.make(position_.size(), listed_, {&tension_a_, &tension_v_, &tension_b_}, team_->members());
}

void relaxation::write_back() const {
    for (std::size_t i = 0; i < listed_; ++i) {
        ball& b = *balls_[i];
        b.x = position_[i].x;
        b.y = position_[i].y;
        b.shift_x = shift_[i].x;
        b.shift_y = shift_[i].y;
    }
}

}  // namespace flopkin
