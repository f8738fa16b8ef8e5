#pragma once
// The view: the rectangle of the world that the canvas shows, which is also
// the box that holds the figures, and the mapping between world units and
// screen pixels, extent / 2 + scale x (value - center).
#include "platform/base/frame.hpp"

namespace flopkin {

struct figure;

// The fields the physics reads and fit_view keeps: the app's view.
struct view_fields {
    float zoom = 1.0f;             // screen pixels per world unit
    float area_width = canvas_width;  // the canvas, left of the menu
    int screen_width = frame_width;
    int screen_height = frame_height;
    float view_right = canvas_width;
    float view_left = 0;
    float view_top = 0;
    float view_bottom = frame_height;
    float view_cx = canvas_width / 2.0f;
    float view_cy = frame_height / 2.0f;
};

// the world the view may show: from -3 to +4 canvases on each axis
inline constexpr float world_left = -3.0f * canvas_width, world_right = 4.0f * canvas_width;
inline constexpr float world_top = -3.0f * frame_height, world_bottom = 4.0f * frame_height;
// the zoom's bounds; with the world's limits it stays above 1/7
inline constexpr float lowest_zoom = 0.01f, highest_zoom = 100.0f;

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
