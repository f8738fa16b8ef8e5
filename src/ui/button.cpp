#include "ui/button.hpp"

#include "platform/graphics.hpp"

namespace flopkin {

// strict on every side: the outline pixels are outside
bool button::pointer_inside() const {
    float mx = static_cast<float>(mouse_x());
    float my = static_cast<float>(mouse_y());
    return x < mx && mx < x + width && y < my && my < y + height;
}

int button::clicked(int mouse_button) {
    if (mouse_hit(mouse_button) == 0) return 0;
    return pointer_inside() ? 1 : 0;
}

int button::held(int mouse_button) {
    if (!mouse_down(mouse_button)) return 0;
    return pointer_inside() ? 1 : 0;
}

void button::draw() {
    set_color(255, 255, 255);
    draw_frame(x, y, width, height);
    set_color(155, 155, 155);
    set_scale(text_scale, text_scale);
    draw_text(label, x + label_offset_x + label_nudge_x, y + label_offset_y + label_nudge_y);
    set_scale(1, 1);
}

void button::place(std::string_view text, float scale, float w, float h, float left, float top, float nudge_y) {
    label_nudge_y = nudge_y;
    x = left;
    y = top;
    label = text;
    text_scale = scale;
    width = w;
    height = h;
    float tw = static_cast<float>(text_width(label)) * text_scale;
    float th = static_cast<float>(text_height(label)) * text_scale;
    label_offset_x = (width - tw) / 2;
    label_offset_y = (height - th) / 2;
}

void button::fit(std::string_view text, float scale, float centre_x, float centre_y) {
    label = text;
    text_scale = scale;
    label_offset_x = 3 * scale;
    label_offset_y = 3 * scale;
    float tw = static_cast<float>(text_width(label)) * scale;
    float th = static_cast<float>(text_height(label)) * scale;
    width = tw;
    height = th;
    x = centre_x - tw / 2;
    y = centre_y - th / 2;
}

void draw_frame(float x, float y, float w, float h) {
    draw_line(x, y, x + w, y, 1);
    draw_line(x, y, x, y + h, 1);
    draw_line(x + w, y + h, x + w, y, 1);
    draw_line(x + w, y + h, x, y + h, 1);
}

}  // namespace flopkin
