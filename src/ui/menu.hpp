#pragma once
// The right-hand menu panel: its buttons, value rows and the "Saved!" label.
// It lays out and draws the buttons every frame from the app's settings; what
// a press does is decided by the command handling.
#include <string>

#include "ui/button.hpp"

namespace flopkin {

struct app;

// a setting shown as a number across the row, "-" at its left end, "+" at its right
struct value_row {
    button display;
    button plus;
    button minus;
};

class menu {
public:
    app* owner = nullptr;
    int screen_width = 1024;
    int screen_height = 768;
    int text_scale = 1;
    int panel_left = 780;
    int edit_top = 150;
    int file_top = screen_height - 200;
    int values_top = 340;

    button mode_button;         // "Play" in draw mode, "Draw" in play mode
    button clear_all_button;
    button delete_button;       // shown and polled in draw mode only
    value_row size_row;
    value_row width_row;
    value_row force_row;
    value_row gravity_row;
    button open_button;
    button add_button;
    button save_button;
    button save_as_button;
    button quit_button;
    value_row zoom_row;

    // the Save button's transient message: the save command sets the label
    // and 60 frames; each layout pass counts one down and restores "Save"
    int save_message_frames = 0;
    std::string save_label;
    void layout();
    void draw();
};

}  // namespace flopkin
