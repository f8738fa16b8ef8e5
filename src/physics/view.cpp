#include <algorithm>
#include <cmath>

#include "app/app.hpp"
#include "physics/each.hpp"

namespace flopkin {

namespace {

// the world the view may show: from -3 to +4 drawing areas on each axis
constexpr float world_left = -2340, world_right = 3120;
constexpr float world_top = -2304, world_bottom = 3072;

}  // namespace

void app::fit_view() {
    if (view_right > world_right) view_right = world_right;
    if (view_left < world_left) view_left = world_left;
    if (view_top < world_top) view_top = world_top;
    if (view_bottom > world_bottom) view_bottom = world_bottom;
    view_cx = (view_left + view_right) / 2;
    view_cy = (view_top + view_bottom) / 2;
    const float height = static_cast<float>(screen_height);
    zoom = std::min(area_width / (view_right - view_left), height / (view_bottom - view_top));
    zoom = std::max(zoom, 0.01f);
    zoom = std::min(zoom, 100.0f);
    view_right = view_cx + area_width / 2 / zoom;
    view_left = view_cx - area_width / 2 / zoom;
    view_top = view_cy - height / 2 / zoom;
    view_bottom = view_cy + height / 2 / zoom;
}

void app::zoom_step(int direction) {
    const float height = static_cast<float>(screen_height);
    if (direction == 0) {
        // every edge moves by a step that grows with the root of the width,
        // the width as it stands after the previous edge moved
        auto root = [&] { return std::sqrt(view_right - view_left); };
        view_left = view_left - 0.1f * (area_width / 200) * root();
        view_right = view_right + 0.1f * (area_width / 200) * root();
        view_top = view_top - 0.1f * (height / 200) * root();
        view_bottom = view_bottom + 0.1f * (height / 200) * root();
    } else {
        float min_x = 9999999, max_x = -9999999, min_y = 9999999, max_y = -9999999;
        if (balls.is_empty()) {
            min_x = max_x = view_cx;
            min_y = max_y = view_cy;
        }
        for_each_listed(balls, [&](const ball& b) {
            min_x = std::min(min_x, b.x);
            max_x = std::max(max_x, b.x);
            min_y = std::min(min_y, b.y);
            max_y = std::max(max_y, b.y);
        });
        float slack_x = std::max((view_right - view_left) - (max_x - min_x), 1.0f);
        float slack_y = std::max((view_bottom - view_top) - (max_y - min_y), 1.0f);
        float step_x = std::min(0.05f * slack_x, (area_width / height) * 0.05f * slack_y);
        float step_y = std::min(0.05f * slack_y, (height / area_width) * 0.05f * slack_x);
        view_left += (min_x - view_left) / slack_x * step_x;
        view_right -= (view_right - max_x) / slack_x * step_x;
        view_top += (min_y - view_top) / slack_y * step_y;
        view_bottom -= (view_bottom - max_y) / slack_y * step_y;
    }
    fit_view();
    fit_view();
    fit_view();
}

}  // namespace flopkin
