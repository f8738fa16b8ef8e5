#pragma once
// Mapping between world units and screen pixels: extent / 2 + scale x (value - center).

namespace flopkin {

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

}  // namespace flopkin
