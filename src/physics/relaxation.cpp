#include "physics/relaxation.hpp"

#include <algorithm>
#include <cmath>

#include "app/app.hpp"
#include "physics/joint.hpp"
#include "physics/stretch.hpp"

// The passes are also built for wider vectors, picked when the processor has
// them; multiplies and adds are never fused (see the build), so every build
// gives the same sums.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)  // clang 14 leaves the clones unresolved at link
#define FLOPKIN_WIDE_VECTORS __attribute__((target_clones("arch=x86-64-v4", "avx2", "default")))
#else
#define FLOPKIN_WIDE_VECTORS
#endif

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

// Adds pushes to the shifts in the order given, holding the shifts of the
// current vertex and end a in registers: consecutive constraints share them,
// and through memory every addition would wait for the store before it. Each
// ball still receives its additions in list order.
struct shift_adder {
    xy* shift;
    int v = -1, a = -1;
    xy held_v{0, 0}, held_a{0, 0};

    void hold_vertex(int i) {
        if (i == v) return;
        release();
        v = i;
        held_v = shift[i];
    }
    void hold_end(int i) {
        if (i == a || i == v) return;
        if (a >= 0) shift[a] = held_a;
        a = i;
        held_a = shift[i];
    }
    void add(int i, float x, float y) {
        if (i == v) {
            held_v.x += x;
            held_v.y += y;
        } else if (i == a) {
            held_a.x += x;
            held_a.y += y;
        } else {
            shift[i].x += x;
            shift[i].y += y;
        }
    }
    void release() {
        if (v >= 0) shift[v] = held_v;
        if (a >= 0) shift[a] = held_a;
        v = a = -1;
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

// Each pass works in blocks: the arms of a block are read from the
// positions, the corrections are computed in a loop with no branches and no
// stores outside the block, and then added to the shifts in list order.

FLOPKIN_WIDE_VECTORS void relaxation::link_pass() {
    clear_shifts();
    const std::size_t count = link_a_.size();
    for (std::size_t start = 0; start < count; start += block) {
        const int n = static_cast<int>(std::min<std::size_t>(block, count - start));
        const int* ia = link_a_.data() + start;
        const int* ib = link_b_.data() + start;
        for (int i = 0; i < n; ++i) {
            const xy& p = position_[ia[i]];
            const xy& q = position_[ib[i]];
            arm_x1_[i] = q.x - p.x;
            arm_y1_[i] = q.y - p.y;
        }
        const float* rest = rest_length_.data() + start;
        const float* share_a = share_a_.data() + start;
        const float* share_b = share_b_.data() + start;
        for (int i = 0; i < n; ++i) {
            link_shift p = push_of_link(arm_x1_[i], arm_y1_[i], rest[i], share_a[i], share_b[i]);
            push_ax_[i] = p.ax;
            push_ay_[i] = p.ay;
            push_bx_[i] = p.bx;
            push_by_[i] = p.by;
        }
        shift_adder add{shift_.data()};
        for (int i = 0; i < n; ++i) {
            add.hold_end(ia[i]);
            add.add(ia[i], push_ax_[i], push_ay_[i]);
            add.add(ib[i], push_bx_[i], push_by_[i]);
        }
        add.release();
    }
    move_listed();
}

FLOPKIN_WIDE_VECTORS void relaxation::tension_pass(int draw_mode) {
    clear_shifts();
    const float allowance = 10000.0f * static_cast<float>(draw_mode);
    const std::size_t count = tension_a_.size();
    for (std::size_t start = 0; start < count; start += block) {
        const int n = static_cast<int>(std::min<std::size_t>(block, count - start));
        const int* ia = tension_a_.data() + start;
        const int* iv = tension_v_.data() + start;
        const int* ib = tension_b_.data() + start;
        for (int i = 0; i < n; ++i) {
            const xy& p = position_[ia[i]];
            const xy& v = position_[iv[i]];
            const xy& q = position_[ib[i]];
            arm_x1_[i] = v.x - p.x;
            arm_y1_[i] = v.y - p.y;
            arm_x2_[i] = q.x - v.x;
            arm_y2_[i] = q.y - v.y;
        }
        const float* rest = rest_angle_.data() + start;
        const float* strength = strength_.data() + start;
        int odd = 0;
        for (int i = 0; i < n; ++i) {
            float dx1 = arm_x1_[i], dy1 = arm_y1_[i], dx2 = arm_x2_[i], dy2 = arm_y2_[i];
            float error = near_wrap_180(joint_angle_fast(dx1, dy1, dx2, dy2) - rest[i]);
            joint_push p = push_of_joint(dx1, dy1, dx2, dy2, error, strength[i] + allowance);
            push_ax_[i] = p.ax;
            push_ay_[i] = p.ay;
            push_bx_[i] = p.bx;
            push_by_[i] = p.by;
            odd += joint_is_degenerate(dx1, dy1, dx2, dy2) || !rest_angle_is_near(rest[i]) ? 1 : 0;
        }
        // the rare joint the fast loop cannot take: an arm of length zero,
        // or a rest angle far outside a turn
        for (int i = 0; odd && i < n; ++i) {
            float dx1 = arm_x1_[i], dy1 = arm_y1_[i], dx2 = arm_x2_[i], dy2 = arm_y2_[i];
            if (joint_is_degenerate(dx1, dy1, dx2, dy2) || !rest_angle_is_near(rest[i])) {
                joint_push p = push_of_tension(dx1, dy1, dx2, dy2, rest[i], strength[i] + allowance);
                push_ax_[i] = p.ax;
                push_ay_[i] = p.ay;
                push_bx_[i] = p.bx;
                push_by_[i] = p.by;
            }
        }
        shift_adder add{shift_.data()};
        for (int i = 0; i < n; ++i) {
            add.hold_vertex(iv[i]);
            add.hold_end(ia[i]);
            add.add(ia[i], push_ax_[i], push_ay_[i]);
            add.add(iv[i], -push_ax_[i] - push_bx_[i], -push_ay_[i] - push_by_[i]);
            add.add(ib[i], push_bx_[i], push_by_[i]);
        }
        add.release();
    }
    move_listed();
}

void relaxation::clear_shifts() { std::fill(shift_.begin(), shift_.end(), xy{0, 0}); }

void relaxation::move_listed() {
    for (std::size_t i = 0; i < listed_; ++i) {
        position_[i].x += shift_[i].x;
        position_[i].y += shift_[i].y;
    }
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
