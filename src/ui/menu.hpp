#pragma once
// The right-hand menu panel: its buttons, value rows and the "Saved!" label.
namespace flopkin {

struct app;

class menu {
public:
    app* owner = nullptr;
    void layout();
    void draw();
};

}  // namespace flopkin
