#include "app/app.hpp"
#include "physics/each.hpp"
#include "physics/view.hpp"
#include "platform/graphics.hpp"

namespace flopkin {

namespace {

// a figure's palette row; figures past the table (or not labelled) use row 0
int palette_row(const app& a, int figure) { return figure >= 0 && figure < a.palette_size ? figure : 0; }

void use_palette_row(const app& a, int row) { set_color(a.palette[row][0], a.palette[row][1], a.palette[row][2]); }

}  // namespace

void ball::draw() {
    to_screen();
    int row = owner->selected.get() == this ? owner->palette_size - 1 : palette_row(*owner, figure);
    use_palette_row(*owner, row);
    draw_oval(screen_x - screen_radius, screen_y - screen_radius, 2 * screen_radius, 2 * screen_radius);
}

// a band 2 x width to each side of the line between the centres, cut square
// through them
void link::draw() {
    const ball& a = *end_a;
    const ball& b = *end_b;
    use_palette_row(*owner, palette_row(*owner, a.figure));
    float dx = b.x - a.x, dy = b.y - a.y;
    float h = static_cast<float>(sqr(dx * dx + dy * dy)) / 2;
    if (std::abs(h) < 0.00001f) h = 0.00001f;
    float k = width / h;
    const float wx[4] = {a.x - k * dy, b.x - k * dy, b.x + k * dy, a.x + k * dy};
    const float wy[4] = {a.y + k * dx, b.y + k * dx, b.y - k * dx, a.y - k * dx};
    const float height = static_cast<float>(owner->screen_height);
    float corners[8];
    for (int i = 0; i < 4; ++i) {
        corners[2 * i] = world_to_screen_x(wx[i], owner->view_cx, owner->zoom, owner->area_width);
        corners[2 * i + 1] = world_to_screen_y(wy[i], owner->view_cy, owner->zoom, height);
    }
    draw_poly(corners, 8);
}

void app::draw_figure() {
    for_each_listed(links, [](link& l) { l.draw(); });
    for_each_listed(balls, [](ball& b) { b.draw(); });
}

}  // namespace flopkin
