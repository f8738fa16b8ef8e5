#pragma once
// The view: the rectangle of the world that the canvas shows, which is also
// the box that holds the figures, and the mapping between world units and
// screen pixels, extent / 2 + scale x (value - center).
namespace flopkin {

struct figure;

// The fields the physics reads and fit_view keeps: the app's view.
struct view_fields {
    float zoom = 1.0f;             // screen pixels per world unit
    float area_width = 780;        // the canvas, left of the menu
    int screen_width = 1024;
    int screen_height = 768;
    float view_right = 780;
    float view_left = 0;
    float view_top = 0;
    float view_bottom = 768;
    float view_cx = 390;
    float view_cy = 384;
};

inline float world_to_screen_x(float x, float center, float scale, float extent) {
    return extent / 2 + scale * (x - center);
}

inline float world_to_screen_y(float y, float center, float scale, float extent) {
    return extent / 2 + scale * (y - center);
}

// the inverse, for pointer positions
inline float screen_to_world(float pixel, float center, float scale, float extent) {
    return (pixel - extent / 2) / scale + center;
}

// Keeps the edges within the world, centres the view on them and sets the
// zoom that shows them whole, then widens the shorter axis to the canvas's
// shape.
void fit_view(view_fields& v);
// One frame of "Zoom= " held: out (0) widens every edge, in (1) closes
// them on the figure's balls.
void zoom_step(view_fields& v, const figure& f, int direction);

}  // namespace flopkin
