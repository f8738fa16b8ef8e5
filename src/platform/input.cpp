#include "platform/input.hpp"

#include <algorithm>

namespace flopkin {
namespace {
bool valid(int code) { return code >= 1 && code <= 255; }
bool valid_control(int control) { return control >= 0 && control < most_controls; }
}  // namespace

void input_state::press_control(int control) {
    if (valid_control(control)) count_press(first_control_code + control);
}

void input_state::release_control(int control) {
    if (valid_control(control)) count_release(first_control_code + control);
}

void input_state::press(int code, bool repeat) {
    if (valid(code) && !repeat) count_press(code);
}

void input_state::release(int code) {
    if (valid(code)) count_release(code);
}

void input_state::count_press(int code) {
    if (!down[code] || release_waits[code]) {
        ++hits[code];
        ++presses;
        press_modifiers[code] = modifiers;
        // pressed before any query of this frame: this frame sees it whole
        held_through[code] = frame_read ? frame + 1 : frame;
        release_waits[code] = 0;
    }
    down[code] = 1;
}

void input_state::count_release(int code) {
    if (!down[code]) return;
    if (held_through[code] >= frame)
        release_waits[code] = 1;
    else
        down[code] = 0;
}

void input_state::begin_frame() {
    ++frame;
    frame_read = false;
    for (int i = 0; i < input_codes; ++i)
        if (release_waits[i] && held_through[i] < frame) {
            release_waits[i] = 0;
            down[i] = 0;
        }
}

void input_state::move(int x, int y) {
    pointer_x = static_cast<std::int16_t>(x);
    pointer_y = static_cast<std::int16_t>(y);
}

void input_state::scroll(float notches) {
    // a wild value from a driver, or a flood of events between two frames,
    // must not stall a frame with zoom steps
    if (notches >= -100 && notches <= 100) wheel = std::clamp(wheel + notches, -100.0f, 100.0f);
}

int input_state::take_wheel_notches() {
    int whole = static_cast<int>(wheel);
    wheel -= static_cast<float>(whole);
    return whole;
}

void input_state::flush() {
    for (int i = 0; i < input_codes; ++i) {
        down[i] = 0;
        hits[i] = 0;
        release_waits[i] = 0;
    }
    modifiers = 0;
    wheel = 0;
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
