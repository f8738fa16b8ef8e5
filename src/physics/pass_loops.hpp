#pragma once
// The loops of the relaxation passes that run over many constraints at once,
// built for several vector widths and picked at run time. Each loop reads its
// inputs through indices, computes with no branches and writes only its own
// outputs, so the compiler can keep 4, 8 or 16 of them in flight; every lane
// rounds as the scalar code does (multiplies and adds are never fused), so
// every width gives the same bits.
#include <cmath>
#include <vector>

#include "physics/ball_links.hpp"
#include "physics/joint.hpp"
#include "physics/vertex_groups.hpp"
#include "physics/xy.hpp"

namespace flopkin {

// the vector instructions the loops are built for
enum class vector_width { base, avx2, wide };
// the widths this processor can run, narrowest first
std::vector<vector_width> usable_vector_widths();

// what a tension needs of one arm, side by side so one load brings both
struct arm_shape {
    float direction;  // degrees
    float square;     // squared length
};

// one group of vertices that share a pattern (see vertex_groups), its
// lanes side by side
struct group_job {
    const int* vertex;      // lanes
    const int* push_to;     // lanes
    const int* neighbour;   // arms x lanes
    const int* pattern;     // tensions x 2: local arm a, arm b
    const float* rest;      // tensions x lanes
    const float* strength;  // tensions x lanes
    int arms, tensions;
    bool far_rest;          // a rest angle far outside a turn in some lane
};

// one group of balls with the same number of links (see ball_links)
struct link_group_job {
    const int* ball;     // lanes
    const int* moves;    // lanes
    const int* other;    // links x lanes
    const float* side;   // links x lanes
    const float* rest;   // links x lanes
    const float* part;   // links x lanes
    int links;
};

// one group of balls with the same number of pairs they may touch in
struct contact_group_job {
    static constexpr int lanes = 16;
    const int* ball;      // lanes
    const int* other;     // pairs x lanes
    const float* reach;   // pairs x lanes
    const float* part;    // pairs x lanes
    int pairs;
};

struct pass_loops {
    // the link pass for one group of balls: each lane's ball moves by the
    // sum of its links' pushes, to moved[moves[lane]], the sum to shift[...]
    void (*relax_ball_links)(const xy* position, const link_group_job& group, xy* moved, xy* shift);
    // arms [0, n), each from a vertex to a neighbour: the difference, its
    // squared length and its direction in degrees
    void (*arms)(const xy* position, const int* from, const int* to, int n, float* arm_x, float* arm_y,
                 arm_shape* shape);
    // the force f of tensions [0, n) from their two arms (first from the
    // vertex to end a, second to end b), written as -f for arm a at
    // force[2k] and +f for arm b at force[2k + 1]; returns how many the loop
    // cannot take (an arm of length zero or a rest angle far outside a turn),
    // which tension_force must then redo
    int (*tension_forces)(const int* arm_a, const int* arm_b, const arm_shape* shape, const float* rest,
                          const float* strength, float allowance, int n, float* force);
    // the push of arms [0, n) on their neighbours, from the summed forces
    void (*arm_pushes)(const float* arm_x, const float* arm_y, const arm_shape* shape, const float* force, int n,
                       xy* push);
    // the tensions of one group: each arm's push on its neighbour to
    // push[arm x lanes + lane], each vertex's push to vertex_push[push_to[lane]]
    void (*relax_group)(const xy* position, const group_job& group, float allowance, xy* push, xy* vertex_push);
    // each ball of one group of balls with the same number of pairs (see
    // contacts) moved by the pushes of its pairs, to moved[ball[lane]]
    void (*contact_moves)(const xy* position, const contact_group_job& group, xy* moved);
};

const pass_loops& loops_for(vector_width width);

// whether tension_forces leaves a tension to tension_force
inline bool tension_is_odd(float square_a, float square_b, float rest) {
    return square_a == 0 || square_b == 0 || !rest_angle_is_near(rest);
}
// the force of one tension, for any arms and rest angle
float tension_force(float arm_ax, float arm_ay, float arm_bx, float arm_by, float square_a, float square_b,
                    float rest, float bound);

// The push on a ball from another it may touch, added to (sx, sy): the
// overlap times the ball's part of the contact stiffness, away from the
// other along the line between the centres; zero when apart. (dx, dy) is
// the other's centre minus the ball's. The sum of the radii comes signed:
// positive for the pair's first ball, which parts along -x from a
// coincident centre, negative for the second, which parts along +x. Worked
// out at both balls of a pair, it gives them opposite pushes bit for bit.
[[gnu::always_inline]] inline void add_contact_push(float dx, float dy, float reach, float part, float& sx,
                                                    float& sy) {
    float square = dx * dx + dy * dy;
    float d = std::sqrt(square);
    float r = std::fabs(reach);
    float overlap = square < r * r ? r - d : 0.0f;
    bool apart = d > 0;
    float ux = apart ? dx / d : std::copysign(1.0f, reach), uy = apart ? dy / d : 0.0f;
    float ex = overlap * ux, ey = overlap * uy;
    sx += -part * ex;
    sy += -part * ey;
}

}  // namespace flopkin
