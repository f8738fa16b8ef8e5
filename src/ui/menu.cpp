#include "ui/menu.hpp"

#include <algorithm>
#include <string_view>

#include "platform/graphics.hpp"
#include "platform/base/number_text.hpp"

namespace flopkin {

namespace {

// the number a row shows: the setting scaled up and truncated, never rounded
std::string shown(const char* prefix, float value, double factor) {
    return prefix + int_to_text(float_to_int(static_cast<double>(value) * factor));
}

}  // namespace

void menu::layout(const menu_values& values) {
    // any transient label (a save's message) lasts until its count runs out
    save_message_frames = std::max(0, save_message_frames - 1);
    if (save_message_frames == 0) save_label = "Save";
    panel_left = float_to_int(values.area_width);

    const float s = static_cast<float>(text_scale);
    const float left = static_cast<float>(panel_left);
    const float wide = static_cast<float>(screen_width - panel_left - 1);
    const float right = static_cast<float>(screen_width - menu_row_height - 1);
    const float high = static_cast<float>(menu_row_height);
    auto wide_at = [&](button& b, std::string_view text, int top) {
        b.place(text, s, wide, high, left, static_cast<float>(top), 3);
    };

    command_buttons.resize(values.commands.size());
    shown_.resize(values.commands.size());
    for (std::size_t i = 0; i < values.commands.size(); ++i) {
        const menu_entry& entry = values.commands[i];
        shown_[i] = entry.top != no_menu_place && entry.shown;
        if (entry.top == no_menu_place) continue;
        std::string_view label = entry.label;
        wide_at(command_buttons[i], entry.save_message ? std::string_view(save_label) : label, entry.top);
    }
    value_rows.resize(values.values.size());
    for (std::size_t i = 0; i < values.values.size(); ++i) {
        const value_entry& entry = values.values[i];
        value_row& row = value_rows[i];
        const float top = static_cast<float>(entry.top), nudge = static_cast<float>(entry.stepper_nudge);
        wide_at(row.display, shown(entry.label, entry.value, entry.scale), entry.top);
        row.plus.place("+", s, high, high, right, top, nudge);
        row.minus.place("-", s, high, high, left, top, nudge);
    }
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

    // the commands above the value rows in the entries' order, the rows,
    // then the commands below them
    float rows_top = static_cast<float>(screen_height);
    for (const value_row& row : value_rows) rows_top = std::min(rows_top, row.display.y);
    auto draw_commands = [&](bool above) {
        for (std::size_t i = 0; i < command_buttons.size(); ++i)
            if (shown_[i] && (command_buttons[i].y < rows_top) == above) command_buttons[i].draw();
    };
    draw_commands(true);
    for (value_row& row : value_rows) {
        row.display.draw();
        row.plus.draw();
        row.minus.draw();
    }
    draw_commands(false);
}

}  // namespace flopkin
