#pragma once
// The figure model: balls (point masses), links (distance constraints) and
// tensions (angle constraints), and the `figure` that lists them, in the
// order every pass walks them. The app owns one figure; the physics works on
// it with the settings a step needs passed in, and never sees the app.
#include <memory>

#include "physics/figure_refs.hpp"
#include "platform/base/object_list.hpp"

namespace flopkin {

struct view_fields;
class relaxation;

// The random generator the figure's new objects draw their placeholders
// from: uniform over min..max inclusive. The app hands in its own, so that a
// seeded run repeats frame for frame.
using random_int = int (*)(int min, int max);

struct ball {
    explicit ball(random_int rand);

    int tension_count = 0;      // scratch of build_tensions
    float screen_x = 0;         // cached by to_screen, read by the pick test
    float screen_y = 0;
    float screen_radius = 0;
    int figure = 0;             // connected-group label, 1-based; 0 = unlabelled
    int wall_hit = 0;           // pushed back by a wall this frame
    float mass = 1.0f;
    float shift_x = 0;          // the last relaxation pass's correction
    float shift_y = 0;
    int number = 0;             // number in documents
    float vx = 0;
    float vy = 0;
    float old_x;                // position at the start of the frame
    float old_y;
    float x;
    float y;
    float radius = 15.0f;
    int colour[3];              // kept in documents, not used for drawing
    int slot = -1;              // index in the relaxation's arrays, or in build_tensions' tables

    void to_screen(const view_fields& v);
    // the wall pass: set back on a crossed edge of the view, with bounce
    void keep_in_view(const view_fields& v);
    void update_velocity();
};

struct link {
    explicit link(random_int rand);

    ball_ref end_a;
    ball_ref end_b;
    float rest_length = 0;
    float width = 3.0f;         // drawn 2 x width to each side of the centre line
    int colour[3];
};

struct tension {
    ball_ref end_a;
    ball_ref vertex;
    ball_ref end_b;
    float rest_angle = 0;       // degrees in [0, 360); 180 = straight
    float strength = 0;
};

struct figure {
    figure();
    ~figure();
    figure(const figure&) = delete;
    figure& operator=(const figure&) = delete;

    object_list<ball> balls;
    object_list<link> links;
    object_list<tension> tensions;
    // the figure as flat arrays for the relaxation passes, behind a pointer
    // so that its layout is private to the physics
    std::unique_ptr<relaxation> relax;

    // takes the ball out with every link and tension that uses it, so the
    // lists never name a ball that is not in them; a null ball does nothing
    void remove(const ball_ref& gone);
    // removes every ball with a coordinate outside [-limit, limit]; a
    // coordinate that is not a number is never inside
    void remove_beyond(float limit);
    void clear();
    // the sizes are global: every ball takes the ball size, every link the
    // link width and every tension the angle force. Nothing else changes
    // these fields of an element once it is listed, so the elements are
    // visited only when a size or a list has changed since the last time.
    void take_sizes(float ball_size, float link_width, float angle_force);

private:
    struct taken_sizes {
        float ball_size, link_width, angle_force;
        std::uint64_t balls, links, tensions;  // the lists' stamps
        bool operator==(const taken_sizes&) const = default;
    };
    taken_sizes taken_{};
};

}  // namespace flopkin
