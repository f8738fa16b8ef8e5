#pragma once
// The right-hand menu panel: the command buttons, the value rows and the
// "Saved!" label. It lays out and draws the buttons every frame from what it
// is given to show; what a press does is decided by the command handling.
#include <span>
#include <string>
#include <vector>

#include "platform/base/frame.hpp"
#include "ui/button.hpp"

namespace flopkin {

// The panel's places: every button is a row this high (a stepper is as wide),
// in groups stacked down from these tops. The mode button is at the top.
inline constexpr int menu_row_height = 40;
inline constexpr int menu_edit_top = 150;                    // Clear All, Delete Selected Ball
inline constexpr int menu_values_top = 340;                  // the value rows' second; the first above it
inline constexpr int menu_file_top = frame_height - 200;     // Open, Add, Save, Save as, Quit
// the top of the nth row (from 0) of a group
constexpr int menu_row(int group_top, int n) { return group_top + n * menu_row_height; }

// a setting shown as a number across the row, "-" at its left end, "+" at its right
struct value_row {
    button display;
    button plus;
    button minus;
};

// A command as the menu shows it: the label and the top of its box across
// the panel. An entry without a place has no button; one not shown keeps its
// box but is neither drawn nor to be polled. The Save command's entry shows
// the menu's save label instead of its own.
inline constexpr int no_menu_place = -1;
struct menu_entry {
    const char* label = "";
    int top = no_menu_place;
    bool shown = false;
    bool save_message = false;
};

// A value row as the menu shows it: the label, then the value times the
// scale, truncated; the row's top, and the nudge of its "-" and "+" labels.
struct value_entry {
    const char* label = "";
    float value{};
    double scale = 1;
    int top = 0;
    int stepper_nudge = 0;
};

// What the menu shows in a frame: the canvas's width, the commands in the
// order of their buttons and the value rows from the top down.
struct menu_values {
    float area_width{};
    std::span<const menu_entry> commands;
    std::span<const value_entry> values;
};

class menu {
public:
    int screen_width = frame_width;
    int screen_height = frame_height;
    int text_scale = 1;
    int panel_left = canvas_width;

    // one per command entry, in the entries' order
    std::vector<button> command_buttons;
    // one per value entry, in the entries' order
    std::vector<value_row> value_rows;

    // the Save button's transient message: the save command sets the label
    // and 60 frames; each layout pass counts one down and restores "Save".
    int save_message_frames = 0;
    std::string save_label;
    void layout(const menu_values& values);
    void draw();
    // whether the last layout showed the command's button
    bool shows(std::size_t command) const { return command < shown_.size() && shown_[command]; }

private:
    std::vector<char> shown_;
};

}  // namespace flopkin
