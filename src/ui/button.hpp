#pragma once
// The one widget of the menu: a labelled box drawn with lines and text that
// answers whether the mouse is pressing it. What a press means is the owner's
// business.
#include <string>
#include <string_view>

namespace flopkin {

class button {
public:
    std::string label;
    float text_scale = 0;
    float width = 0;
    float height = 0;
    float x = 0;
    float y = 0;
    float label_offset_x = 0;   // from the box corner to the label, set by place or fit
    float label_offset_y = 0;
    float label_nudge_x = 0;
    float label_nudge_y = 0;

    // 1 when a press of the mouse button was recorded since the last press
    // query and the pointer is inside; the recorded presses are used up either way
    int clicked(int mouse_button);
    // 1 while the mouse button is down with the pointer inside
    int held(int mouse_button);
    // white outline, grey label; leaves the colour grey and the scale 1
    void draw();
    // a fixed box with the label centred, then moved down by the nudge
    void place(std::string_view text, float scale, float w, float h, float left, float top, float nudge_y);
    // a box exactly the size of the label, centred on a point
    void fit(std::string_view text, float scale, float centre_x, float centre_y);

private:
    bool pointer_inside() const;
};

// outlines a box whose right and bottom edges lie on x + w and y + h
void draw_frame(float x, float y, float w, float h);

}  // namespace flopkin
