#pragma once
// The figure model: balls (point masses), links (distance constraints) and
// tensions (angle constraints). A figure is a connected group of balls; the
// app owns all of them through its three lists.
#include <memory>

namespace flopkin {

struct app;
struct ball;
using ball_ref = std::shared_ptr<ball>;

struct ball {
    ball();

    int tension_count = 0;      // scratch of build_tensions
    float screen_x = 0;         // cached by to_screen, read by the pick test
    float screen_y = 0;
    float screen_radius = 0;
    int figure = 0;             // connected-group label, 1-based; 0 = unlabelled
    int wall_hit = 0;           // pushed back by a wall this frame
    float mass = 1.0f;
    float shift_x = 0;          // correction gathered by one relaxation pass
    float shift_y = 0;
    app* owner = nullptr;
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

    void to_screen();
    void draw();
    void keep_in_view();
    void update_velocity();
};

struct link {
    link();

    app* owner = nullptr;
    ball_ref end_a;
    ball_ref end_b;
    float rest_length = 0;
    float width = 3.0f;
    int colour[3];

    void draw();
};

struct tension {
    ball_ref end_a;
    ball_ref vertex;
    ball_ref end_b;
    float rest_angle = 0;       // degrees in [0, 360); 180 = straight
    float strength = 0;

    void apply(int draw_mode);
};

using link_ref = std::shared_ptr<link>;
using tension_ref = std::shared_ptr<tension>;

}  // namespace flopkin
