#include "platform/input.hpp"

namespace flopkin {
namespace {
bool valid(int code) { return code >= 1 && code <= 255; }
}  // namespace

void input_state::press(int code, bool repeat) {
    if (!valid(code) || repeat) return;
    if (!down[code] || release_waits[code]) {
        ++hits[code];
        press_modifiers[code] = modifiers;
        // pressed before any query of this frame: this frame sees it whole
        held_through[code] = frame_read ? frame + 1 : frame;
        release_waits[code] = 0;
    }
    down[code] = 1;
}

void input_state::release(int code) {
    if (!valid(code) || !down[code]) return;
    if (held_through[code] >= frame)
        release_waits[code] = 1;
    else
        down[code] = 0;
}

void input_state::begin_frame() {
    ++frame;
    frame_read = false;
    for (int i = 0; i < 256; ++i)
        if (release_waits[i] && held_through[i] < frame) {
            release_waits[i] = 0;
            down[i] = 0;
        }
}

void input_state::move(int x, int y) {
    pointer_x = static_cast<std::int16_t>(x);
    pointer_y = static_cast<std::int16_t>(y);
}

void input_state::flush() {
    for (int i = 0; i < 256; ++i) {
        down[i] = 0;
        hits[i] = 0;
        release_waits[i] = 0;
    }
    modifiers = 0;
}

int mouse_button_code(int button) {
    switch (button) {
        case 1: return code_mouse_left;
        case 2: return code_mouse_right;
        case 3: return code_mouse_middle;
        default: return 0;
    }
}

}  // namespace flopkin
