// The menu's buttons acting on the app, once per frame: value rows change
// their setting on every frame they are held, command buttons act once per
// press, on its first frame.
#include "app/app.hpp"
#include "platform/graphics.hpp"
#include "ui/menu.hpp"

namespace flopkin {

namespace {

void step_value(float& value, value_row& row, float highest, float lowest) {
    if (row.plus.held(1)) value *= 1.02f;
    if (row.minus.held(1)) value /= 1.02f;
    if (value > highest) value = highest;
    if (!(value >= lowest)) value = lowest;
}

}  // namespace

void app::handle_commands() {
    flopkin::menu& m = *menu;
    step_value(gravity, m.gravity_row, 1, 0.001f);
    step_value(link_width, m.width_row, 200, 0.1f);
    step_value(ball_size, m.size_row, 200, 1);
    if (m.zoom_row.plus.held(1)) zoom_step(1);
    if (m.zoom_row.minus.held(1)) zoom_step(0);
    step_value(angle_force, m.force_row, 3000, 0.1f);

    if (click_armed == 1) {
        if (m.mode_button.held(1)) {
            if (mode == 1) {
                build_tensions();
                selected.reset();
                label_figures();
            }
            mode = -mode;
        }
        if (mode == 1 && m.delete_button.held(1)) {
            delete_ball(selected);
            selected.reset();
        }
        if (m.clear_all_button.held(1)) {
            clear_all();
            mode = 1;
        }
        if (m.open_button.held(1)) load_document(1, "");
        if (m.add_button.held(1)) load_document(0, "");
        if (m.save_button.held(1)) save_document();
        if (m.save_as_button.held(1)) save_document_as();
        if (m.quit_button.held(1)) {
            // nothing is saved: the frame ends here and the loop with it
            quit_requested = true;
            return;
        }
    }

    // the sizes are global: every element takes the current setting
    for (ball_ref b : figure.balls.all()) b->radius = ball_size;
    for (const auto& t : figure.tensions.all()) t->strength = angle_force;
    for (const auto& l : figure.links.all()) l->width = link_width;

    if (!mouse_down(1)) click_armed = 1;
    if (mouse_down(1)) click_armed = 0;
    force_draw_mode_if_empty();
}

}  // namespace flopkin
