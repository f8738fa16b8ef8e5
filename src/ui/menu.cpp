#include "ui/menu.hpp"

#include <algorithm>

#include "app/app.hpp"
#include "platform/graphics.hpp"
#include "platform/number_text.hpp"

namespace flopkin {

namespace {

// the number a row shows: the setting scaled up and truncated, never rounded
std::string shown(const char* prefix, float value, double factor) {
    return prefix + int_to_text(float_to_int(static_cast<double>(value) * factor));
}

}  // namespace

void menu::layout() {
    // any transient label (a save's message) lasts until its count runs out
    save_message_frames = std::max(0, save_message_frames - 1);
    if (save_message_frames == 0) save_label = "Save";
    panel_left = float_to_int(owner->area_width);

    const float s = static_cast<float>(text_scale);
    const float left = static_cast<float>(panel_left);
    const float wide = static_cast<float>(screen_width - panel_left - 1);
    const float right = static_cast<float>(screen_width - 40 - 1);
    auto wide_at = [&](button& b, const std::string& text, int top) {
        b.place(text, s, wide, 40, left, static_cast<float>(top), 3);
    };
    auto row_at = [&](value_row& row, const std::string& text, int top, float stepper_nudge) {
        wide_at(row.display, text, top);
        row.plus.place("+", s, 40, 40, right, static_cast<float>(top), stepper_nudge);
        row.minus.place("-", s, 40, 40, left, static_cast<float>(top), stepper_nudge);
    };

    // a mode that is neither leaves the mode button as it was
    if (owner->mode == 1) wide_at(mode_button, "Play", 0);
    if (owner->mode == -1) wide_at(mode_button, "Draw", 0);
    wide_at(clear_all_button, "Clear All", edit_top);
    wide_at(delete_button, "Delete Selected Ball", edit_top + 40);
    row_at(zoom_row, shown("Zoom= ", owner->zoom, 1000), values_top - 40, 1);
    row_at(size_row, shown("Balls Size= ", owner->ball_size, 10), values_top, 1);
    row_at(width_row, shown("Links Width= ", owner->link_width, 100), values_top + 40, 3);
    row_at(force_row, shown("Angle Force= ", owner->angle_force, 10), values_top + 80, 3);
    row_at(gravity_row, shown("Gravity= ", owner->gravity, 1000), values_top + 120, 3);
    wide_at(open_button, "Open", file_top);
    wide_at(add_button, "Add", file_top + 40);
    wide_at(save_button, save_label, file_top + 80);
    wide_at(save_as_button, "Save as", file_top + 120);
    wide_at(quit_button, "Quit", file_top + 160);
}

void menu::draw() {
    const float left = static_cast<float>(panel_left);
    const float w = static_cast<float>(screen_width);
    const float h = static_cast<float>(screen_height);
    set_color(222, 222, 222);
    draw_rect(left, 0, w - left, h);
    // left, bottom and right borders; the panel has no top line
    set_color(255, 255, 255);
    draw_line(left, 0, left, h, 1);
    draw_line(left, h - 1, w - 1, h - 1, 1);
    draw_line(w - 1, 0, w - 1, h - 1, 1);

    mode_button.draw();
    if (owner->mode == 1) delete_button.draw();
    clear_all_button.draw();
    for (value_row* row : {&zoom_row, &size_row, &width_row, &force_row, &gravity_row}) {
        row->display.draw();
        row->plus.draw();
        row->minus.draw();
    }
    open_button.draw();
    add_button.draw();
    save_button.draw();
    save_as_button.draw();
    quit_button.draw();
}

}  // namespace flopkin
