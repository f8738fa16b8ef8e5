#include "physics/drawing.hpp"

#include <cmath>

#include "physics/each.hpp"
#include "physics/figure.hpp"
#include "physics/maths.hpp"
#include "physics/view.hpp"

namespace flopkin {

namespace {

int palette_row(palette_view palette, int figure) { return figure >= 0 && figure < palette.size ? figure : 0; }

void use_palette_row(figure_canvas& canvas, palette_view palette, int row) {
    canvas.set_color(palette.rows[row][0], palette.rows[row][1], palette.rows[row][2]);
}

void draw_ball(ball& b, const view_fields& v, palette_view palette, const ball* selected, figure_canvas& canvas) {
    b.to_screen(v);
    use_palette_row(canvas, palette, &b == selected ? palette.size - 1 : palette_row(palette, b.figure));
    canvas.oval(b.screen_x - b.screen_radius, b.screen_y - b.screen_radius, 2 * b.screen_radius, 2 * b.screen_radius);
}

// a band 2 x width to each side of the line between the centres, cut square
// through them
void draw_link(const link& l, const view_fields& v, palette_view palette, figure_canvas& canvas) {
    const ball& a = *l.end_a;
    const ball& b = *l.end_b;
    use_palette_row(canvas, palette, palette_row(palette, a.figure));
    float dx = b.x - a.x, dy = b.y - a.y;
    float h = static_cast<float>(sqr(dx * dx + dy * dy)) / 2;
    if (std::abs(h) < 0.00001f) h = 0.00001f;
    float k = l.width / h;
    const float wx[4] = {a.x - k * dy, b.x - k * dy, b.x + k * dy, a.x + k * dy};
    const float wy[4] = {a.y + k * dx, b.y + k * dx, b.y - k * dx, a.y - k * dx};
    const float height = static_cast<float>(v.screen_height);
    float corners[8];
    for (int i = 0; i < 4; ++i) {
        corners[2 * i] = world_to_screen_x(wx[i], v.view_cx, v.zoom, v.area_width);
        corners[2 * i + 1] = world_to_screen_y(wy[i], v.view_cy, v.zoom, height);
    }
    canvas.polygon(corners, 8);
}

}  // namespace

void draw_figure(const figure& f, const view_fields& v, palette_view palette, const ball* selected,
                 figure_canvas& canvas) {
    for_each_listed(f.links, [&](const link& l) { draw_link(l, v, palette, canvas); });
    // drawing refreshes each ball's screen place, which the pick test reads
    for_each_listed(f.balls, [&](ball& b) { draw_ball(b, v, palette, selected, canvas); });
}

}  // namespace flopkin
