#include "physics/view.hpp"

#include <algorithm>
#include <cmath>

#include "physics/each.hpp"
#include "physics/figure.hpp"

namespace flopkin {

void fit_view(view_fields& v) {
    if (v.view_right > world_right) v.view_right = world_right;
    if (v.view_left < world_left) v.view_left = world_left;
    if (v.view_top < world_top) v.view_top = world_top;
    if (v.view_bottom > world_bottom) v.view_bottom = world_bottom;
    v.view_cx = (v.view_left + v.view_right) / 2;
    v.view_cy = (v.view_top + v.view_bottom) / 2;
    const float height = static_cast<float>(v.screen_height);
    v.zoom = std::min(v.area_width / (v.view_right - v.view_left), height / (v.view_bottom - v.view_top));
    v.zoom = std::max(v.zoom, lowest_zoom);
    v.zoom = std::min(v.zoom, highest_zoom);
    v.view_right = v.view_cx + v.area_width / 2 / v.zoom;
    v.view_left = v.view_cx - v.area_width / 2 / v.zoom;
    v.view_top = v.view_cy - height / 2 / v.zoom;
    v.view_bottom = v.view_cy + height / 2 / v.zoom;
}

void zoom_step(view_fields& v, const figure& f, int direction) {
    const float height = static_cast<float>(v.screen_height);
    if (direction == 0) {
        // every edge moves by a step that grows with the root of the width,
        // the width as it stands after the previous edge moved
        auto root = [&] { return std::sqrt(v.view_right - v.view_left); };
        v.view_left = v.view_left - 0.1f * (v.area_width / 200) * root();
        v.view_right = v.view_right + 0.1f * (v.area_width / 200) * root();
        v.view_top = v.view_top - 0.1f * (height / 200) * root();
        v.view_bottom = v.view_bottom + 0.1f * (height / 200) * root();
    } else {
        float min_x = 9999999, max_x = -9999999, min_y = 9999999, max_y = -9999999;
        if (f.balls.is_empty()) {
            min_x = max_x = v.view_cx;
            min_y = max_y = v.view_cy;
        }
        for_each_listed(f.balls, [&](const ball& b) {
            min_x = std::min(min_x, b.x);
            max_x = std::max(max_x, b.x);
            min_y = std::min(min_y, b.y);
            max_y = std::max(max_y, b.y);
        });
        float slack_x = std::max((v.view_right - v.view_left) - (max_x - min_x), 1.0f);
        float slack_y = std::max((v.view_bottom - v.view_top) - (max_y - min_y), 1.0f);
        float step_x = std::min(0.05f * slack_x, (v.area_width / height) * 0.05f * slack_y);
        float step_y = std::min(0.05f * slack_y, (height / v.area_width) * 0.05f * slack_x);
        v.view_left += (min_x - v.view_left) / slack_x * step_x;
        v.view_right -= (v.view_right - max_x) / slack_x * step_x;
        v.view_top += (min_y - v.view_top) / slack_y * step_y;
        v.view_bottom -= (v.view_bottom - max_y) / slack_y * step_y;
    }
    fit_view(v);
    fit_view(v);
    fit_view(v);
}

}  // namespace flopkin
