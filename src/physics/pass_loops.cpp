#include "physics/pass_loops.hpp"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <cmath>

#include "physics/joint.hpp"
#include "physics/stretch.hpp"

// A tension joins end a, vertex v and end b. Seen from the vertex its arms are
// u = a - v and w = b - v; the arms of the tension's own formula are v - a = -u
// and b - v = w. With dir(p) = atan2(p.y, p.x) in degrees,
//
//   angle = atan2(-u.y, u.x) - atan2(w.y, -w.x) + 180 = dir(w) - dir(u)  (mod 360)
//   push on a = f (dy1, -dx1) / q1 = -(f / |u|^2) (u.y, -u.x)
//   push on b = f (dy2, -dx2) / q2 =  (f / |w|^2) (w.y, -w.x)
//   push on v = -(push on a + push on b)
//
// So each arm from a vertex to a neighbour needs one direction and one squared
// length per pass, however many tensions use it; its tensions add +f (as arm
// b) or -f (as arm a) to its force F, and it pushes its neighbour by
// (F / |arm|^2) (arm.y, -arm.x). Sums differ from one tension at a time only
// in rounding.

namespace flopkin {

namespace {

// the angle error of a tension from the directions of its arms
[[gnu::always_inline]] inline float error_of_arms(float dir_a, float dir_b, float rest) {
    // dir(w) - dir(u) lies in [-360, 360]: one step each way to [0, 360)
    float angle = dir_b - dir_a;
    angle = angle < 0.0f ? angle + 360.0f : angle;
    angle = angle >= 360.0f ? angle - 360.0f : angle;
    return near_wrap_180(angle - rest);
}

[[gnu::always_inline]] inline float force_of_arms(float dir_a, float dir_b, float square_a, float square_b,
                                                float rest, float bound) {
    return force_of(error_of_arms(dir_a, dir_b, rest), square_a, square_b, bound);
}

constexpr int block = 256;

[[gnu::always_inline]] inline void relax_ball_links(const xy* position, const link_group_job& g, xy* moved,
                                                  xy* shift) {
    constexpr int lanes = ball_links::lanes;
    float bx[lanes], by[lanes], sum_x[lanes] = {}, sum_y[lanes] = {};
    for (int i = 0; i < lanes; ++i) {
        const xy& p = position[g.ball[i]];
        bx[i] = p.x;
        by[i] = p.y;
    }
    for (int j = 0; j < g.links; ++j) {
        float ox[lanes], oy[lanes];
        const int* to = g.other + j * lanes;
        for (int i = 0; i < lanes; ++i) {
            const xy& p = position[to[i]];
            ox[i] = p.x;
            oy[i] = p.y;
        }
        const int e = j * lanes;
        for (int i = 0; i < lanes; ++i) {
            // b - a for the link, whichever end this lane's ball is
            float dx = g.side[e + i] * (ox[i] - bx[i]), dy = g.side[e + i] * (oy[i] - by[i]);
            float k = stretch_of(dx, dy, g.rest[e + i]) * g.part[e + i];
            sum_x[i] += k * dx;
            sum_y[i] += k * dy;
        }
    }
    for (int i = 0; i < lanes; ++i) {
        moved[g.moves[i]] = {bx[i] + sum_x[i], by[i] + sum_y[i]};
        shift[g.moves[i]] = {sum_x[i], sum_y[i]};
    }
}

[[gnu::always_inline]] inline void arms(const xy* position, const int* from, const int* to, int n, float* arm_x,
                                      float* arm_y, arm_shape* shape) {
    for (int i = 0; i < n; ++i) {
        const xy& v = position[from[i]];
        const xy& p = position[to[i]];
        arm_x[i] = p.x - v.x;
        arm_y[i] = p.y - v.y;
    }
    for (int i = 0; i < n; ++i) {
        float x = arm_x[i], y = arm_y[i];
        shape[i] = {fast_atan2_deg(y, x), x * x + y * y};
    }
}

[[gnu::always_inline]] inline int tension_forces(const int* arm_a, const int* arm_b, const arm_shape* shape,
                                               const float* rest, const float* strength, float allowance, int n,
                                               float* force) {
    arm_shape shape_a[block], shape_b[block];
    int odd = 0;
    for (int start = 0; start < n; start += block) {
        const int m = std::min(block, n - start);
        for (int i = 0; i < m; ++i) {
            shape_a[i] = shape[arm_a[start + i]];
            shape_b[i] = shape[arm_b[start + i]];
        }
        for (int i = 0; i < m; ++i) {
            const int k = start + i;
            float f = force_of_arms(shape_a[i].direction, shape_b[i].direction, shape_a[i].square,
                                    shape_b[i].square, rest[k], strength[k] + allowance);
            force[2 * k] = -f;
            force[2 * k + 1] = f;
            odd += tension_is_odd(shape_a[i].square, shape_b[i].square, rest[k]) ? 1 : 0;
        }
    }
    return odd;
}

[[gnu::always_inline]] inline void arm_pushes(const float* arm_x, const float* arm_y, const arm_shape* shape,
                                            const float* force, int n, xy* push) {
    for (int i = 0; i < n; ++i) {
        float c = force[i] / floored_square(shape[i].square);
        push[i] = {c * arm_y[i], -c * arm_x[i]};
    }
}

// a group's arms, lane by lane: each arm, its squared length, reach and
// direction, and the forces its tensions give it as arm b (plus) and arm a (minus)
struct group_arms {
    static constexpr int lanes = vertex_groups::lanes, most = vertex_groups::max_arms;
    float arm_x[most][lanes], arm_y[most][lanes];
    float square[most][lanes], dir[most][lanes];
    float plus[most][lanes], minus[most][lanes];
    float reach[most][lanes];
};

// reads the arms from the positions; the number of arms of length zero,
// which send their tensions the long way
[[gnu::always_inline]] inline int read_group_arms(const xy* position, const group_job& g, group_arms& w) {
    constexpr int lanes = vertex_groups::lanes;
    float vx[lanes], vy[lanes];
    for (int i = 0; i < lanes; ++i) {
        const xy& v = position[g.vertex[i]];
        vx[i] = v.x;
        vy[i] = v.y;
    }
    int zero_arms = 0;
    for (int j = 0; j < g.arms; ++j) {
        const int* to = g.neighbour + j * lanes;
        for (int i = 0; i < lanes; ++i) {
            const xy& p = position[to[i]];
            w.arm_x[j][i] = p.x - vx[i];
            w.arm_y[j][i] = p.y - vy[i];
        }
        for (int i = 0; i < lanes; ++i) {
            float x = w.arm_x[j][i], y = w.arm_y[j][i];
            w.square[j][i] = x * x + y * y;
            w.reach[j][i] = reach_of(w.square[j][i]);
            w.dir[j][i] = fast_atan2_deg(y, x);
            w.plus[j][i] = 0;
            w.minus[j][i] = 0;
            zero_arms += w.square[j][i] == 0 ? 1 : 0;
        }
    }
    return zero_arms;
}

// every tension's force, in list order, added to its two arms
[[gnu::always_inline]] inline void add_group_forces(const group_job& g, float allowance, bool checked,
                                                    group_arms& w) {
    constexpr int lanes = vertex_groups::lanes;
    for (int t = 0; t < g.tensions; ++t) {
        const int a = g.pattern[2 * t], b = g.pattern[2 * t + 1];
        const float* rest = g.rest + t * lanes;
        const float* strength = g.strength + t * lanes;
        float f[lanes];
        for (int i = 0; i < lanes; ++i)
            f[i] = bounded_force(error_of_arms(w.dir[a][i], w.dir[b][i], rest[i]), w.reach[a][i], w.reach[b][i],
                                 strength[i] + allowance);
        for (int i = 0; checked && i < lanes; ++i) {
            if (!tension_is_odd(w.square[a][i], w.square[b][i], rest[i])) continue;
            f[i] = tension_force(w.arm_x[a][i], w.arm_y[a][i], w.arm_x[b][i], w.arm_y[b][i], w.square[a][i],
                                 w.square[b][i], rest[i], strength[i] + allowance);
        }
        for (int i = 0; i < lanes; ++i) {
            w.plus[b][i] += f[i];
            w.minus[a][i] += f[i];
        }
    }
}

// Each arm sums the forces of its tensions in list order, +f as arm b apart
// from -f as arm a, then pushes its neighbour by (F / |arm|^2) (arm.y,
// -arm.x) with F = plus - minus; the vertex takes minus its arms' pushes,
// added arm after arm.
[[gnu::always_inline]] inline void relax_group(const xy* position, const group_job& g, float allowance, xy* push,
                                             xy* vertex_push) {
    constexpr int lanes = vertex_groups::lanes;
    group_arms w;
    const int zero_arms = read_group_arms(position, g, w);
    add_group_forces(g, allowance, zero_arms > 0 || g.far_rest, w);
    float sum_x[lanes] = {}, sum_y[lanes] = {};
    for (int j = 0; j < g.arms; ++j) {
        for (int i = 0; i < lanes; ++i) {
            float c = (w.plus[j][i] - w.minus[j][i]) / floored_square(w.square[j][i]);
            float px = c * w.arm_y[j][i], py = -c * w.arm_x[j][i];
            push[j * lanes + i] = {px, py};
            sum_x[i] -= px;
            sum_y[i] -= py;
        }
    }
    for (int i = 0; i < lanes; ++i) vertex_push[g.push_to[i]] = {sum_x[i], sum_y[i]};
}

// A point as one 8-byte word, and back: the vector loops then gather both
// coordinates of a point at once.
[[gnu::always_inline]] inline std::uint64_t word_of(const xy& p) {
    std::uint64_t w;
    std::memcpy(&w, &p, sizeof w);
    return w;
}
constexpr int x_shift = std::endian::native == std::endian::little ? 0 : 32;
[[gnu::always_inline]] inline float half_of(std::uint64_t w, int shift) {
    const auto bits = static_cast<std::uint32_t>(w >> shift);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}
[[gnu::always_inline]] inline float x_of(std::uint64_t w) { return half_of(w, x_shift); }
[[gnu::always_inline]] inline float y_of(std::uint64_t w) { return half_of(w, 32 - x_shift); }

// A group of balls side by side: pair by pair, each lane's ball takes the
// push from its other ball, then each moves by the sum, to moved.
[[gnu::always_inline]] inline void contact_moves(const xy* position, const contact_group_job& g, xy* moved) {
    constexpr int lanes = contact_group_job::lanes;
    std::uint64_t own[lanes], at[lanes];
    float sum_x[lanes] = {}, sum_y[lanes] = {};
    for (int i = 0; i < lanes; ++i) own[i] = word_of(position[g.ball[i]]);
    for (int j = 0; j < g.pairs; ++j) {
        const int e = j * lanes;
        for (int i = 0; i < lanes; ++i) at[i] = word_of(position[g.other[e + i]]);
        for (int i = 0; i < lanes; ++i)
            add_contact_push(x_of(at[i]) - x_of(own[i]), y_of(at[i]) - y_of(own[i]), g.reach[e + i], g.part[e + i],
                             sum_x[i], sum_y[i]);
    }
    for (int i = 0; i < lanes; ++i) moved[g.ball[i]] = {x_of(own[i]) + sum_x[i], y_of(own[i]) + sum_y[i]};
}

}  // namespace

float tension_force(float arm_ax, float arm_ay, float arm_bx, float arm_by, float square_a, float square_b,
                    float rest, float bound) {
    // the formula's first arm runs from end a to the vertex: 0 - u, not -u, so
    // that an arm of length zero is +0 as the vertex minus end a gives it
    // (-0 would turn its direction half a turn)
    float error = wrap_180(joint_angle(0.0f - arm_ax, 0.0f - arm_ay, arm_bx, arm_by) - rest);
    return force_of(error, square_a, square_b, bound);
}

#define FLOPKIN_LOOPS_FOR(name, attributes)                                                                     \
    attributes void relax_ball_links_##name(const xy* position, const link_group_job& group, xy* moved,          \
                                            xy* shift) {                                                          \
        relax_ball_links(position, group, moved, shift);                                                          \
    }                                                                                                             \
    attributes void arms_##name(const xy* position, const int* from, const int* to, int n, float* arm_x,         \
                                float* arm_y, arm_shape* shape) {                                                 \
        arms(position, from, to, n, arm_x, arm_y, shape);                                                         \
    }                                                                                                             \
    attributes int tension_forces_##name(const int* arm_a, const int* arm_b, const arm_shape* shape,             \
                                         const float* rest, const float* strength, float allowance, int n,        \
                                         float* force) {                                                          \
        return tension_forces(arm_a, arm_b, shape, rest, strength, allowance, n, force);                          \
    }                                                                                                             \
    attributes void arm_pushes_##name(const float* arm_x, const float* arm_y, const arm_shape* shape,            \
                                      const float* force, int n, xy* push) {                                      \
        arm_pushes(arm_x, arm_y, shape, force, n, push);                                                          \
    }                                                                                                             \
    attributes void relax_group_##name(const xy* position, const group_job& group, float allowance, xy* push,     \
                                       xy* vertex_push) {                                                         \
        relax_group(position, group, allowance, push, vertex_push);                                               \
    }                                                                                                             \
    attributes void contact_moves_##name(const xy* position, const contact_group_job& group, xy* moved) {          \
        contact_moves(position, group, moved);                                                                    \
    }                                                                                                             \
    constexpr pass_loops name##_loops{relax_ball_links_##name, arms_##name, tension_forces_##name, arm_pushes_##name,  \
                                      relax_group_##name, contact_moves_##name};

namespace {
FLOPKIN_LOOPS_FOR(base, )
#if defined(__x86_64__) && defined(__GNUC__)
FLOPKIN_LOOPS_FOR(avx2, [[gnu::target("avx2")]])
FLOPKIN_LOOPS_FOR(wide, [[gnu::target("arch=x86-64-v4")]])
#endif
}  // namespace
#undef FLOPKIN_LOOPS_FOR

const pass_loops& loops_for(vector_width width) {
#if defined(__x86_64__) && defined(__GNUC__)
    if (width == vector_width::wide) return wide_loops;
    if (width == vector_width::avx2) return avx2_loops;
#endif
    (void)width;
    return base_loops;
}

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

}  // namespace flopkin
