#pragma once
// The right-hand menu panel: its buttons, value rows and the "Saved!" label.
#include <string>

namespace flopkin {

struct app;

class menu {
public:
    app* owner = nullptr;
    // the Save button's transient message: the save command sets the label
    // and 60 frames; each layout pass counts one down and restores "Save"
    int save_message_frames = 0;
    std::string save_label;
    void layout();
    void draw();
};

}  // namespace flopkin
