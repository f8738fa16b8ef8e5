#pragma once
// The right-hand menu panel: the command buttons, the value rows and the
// "Saved!" label. It lays out and draws the buttons every frame from what it
// is given to show; what a press does is decided by the command handling.
#include <array>
#include <span>
#include <string>
#include <vector>

#include "ui/button.hpp"

namespace flopkin {

// a setting shown as a number across the row, "-" at its left end, "+" at its right
struct value_row {
    button display;
    button plus;
    button minus;
};

// A command as the menu shows it: the label and the top of its box across
// the panel. An entry without a place has no button; one not shown keeps its
// box but is neither drawn nor to be polled.
inline constexpr int no_menu_place = -1;
struct menu_entry {
    const char* label = "";
    int top = no_menu_place;
    bool shown = false;
};

// What the menu shows in a frame: the canvas's width, the settings of the
// value rows and the commands, in the order of their buttons.
struct menu_values {
    float area_width = 780;
    float zoom = 1, ball_size = 13, link_width = 2, angle_force = 30, gravity = 0.1f;
    std::span<const menu_entry> commands;
};

class menu {
public:
    int screen_width = 1024;
    int screen_height = 768;
    int text_scale = 1;
    int panel_left = 780;
    int values_top = 340;

    // one per command entry, in the entries' order
    std::vector<button> command_buttons;
    value_row size_row;
    value_row width_row;
    value_row force_row;
    value_row gravity_row;
    value_row zoom_row;
    // the value rows from the top of the panel down
    static constexpr std::size_t value_row_count = 5;
    std::array<value_row*, value_row_count> value_rows() {
        return {&zoom_row, &size_row, &width_row, &force_row, &gravity_row};
    }

    // the Save button's transient message: the save command sets the label
    // and 60 frames; each layout pass counts one down and restores "Save".
    // The entry labelled "Save" shows it.
    int save_message_frames = 0;
    std::string save_label;
    void layout(const menu_values& values);
    void draw();

private:
    std::vector<char> shown_;
};

}  // namespace flopkin
