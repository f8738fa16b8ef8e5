#include <algorithm>
#include <cmath>

#include "app/app.hpp"
#include "physics/view.hpp"
#include "platform/graphics.hpp"
#include "platform/base/number_text.hpp"

namespace flopkin {

namespace {

// the grid's scale at the zoom
float grid_depth(float zoom) { return 1 / (1 / zoom + 1); }

}  // namespace

// A parallax grid, one line every 500 world units, mapped with a scale below
// the zoom so that it seems to lie behind the figure; it brightens as the
// view zooms in.
void app::draw_grid() {
    const float width = static_cast<float>(view.screen_width);
    const float height = static_cast<float>(view.screen_height);
    int x0 = float_to_int(std::floor((view.view_cx - width / 2 / view.zoom) / 500) * 500);
    int y0 = float_to_int(std::floor((view.view_cy - height / 2 / view.zoom) / 500) * 500);
    int n = float_to_int(std::floor(width / 500 / view.zoom) + 2);
    float depth = grid_depth(view.zoom);
    int grey = grid_grey();
    for (int i = 0; i <= n; ++i) {
        float sx = world_to_screen_x(static_cast<float>(i * 500 + x0), view.view_cx, depth, view.area_width);
        float sy = world_to_screen_y(static_cast<float>(i * 500 + y0), view.view_cy, depth, height);
        set_color(grey, grey, grey);
        if (sx > 0 && sx < width) draw_line(sx, 0, sx, height, 1);
        if (sy > 0 && sy < height) draw_line(0, sy, width, sy, 1);
    }
}

int app::grid_grey() const { return float_to_int(std::min(255.0f, 127.5f * grid_depth(view.zoom))); }

}  // namespace flopkin
