#pragma once
// Keyboard and mouse state, filled from window events by a backend.
//
// Key codes are virtual-key codes 1-255 (Escape = 27); mouse buttons use codes
// 1 (left), 2 (right) and 4 (middle).
#include <cstdint>

namespace flopkin {

constexpr int key_backspace = 8;
constexpr int key_escape = 27;
constexpr int key_space = 32;
constexpr int key_delete = 46;
constexpr int key_period = 190;
constexpr int code_mouse_left = 1;
constexpr int code_mouse_right = 2;
constexpr int code_mouse_middle = 4;

// modifier keys held with a key, as a set of bits
constexpr int modifier_shift = 1;
constexpr int modifier_ctrl = 2;

// Controls of the program's own that a backend shows beside the canvas (the
// page's buttons in its touch layout), numbered 0 to most_controls - 1. They
// are pressed and released as keys are, in a code space of their own.
constexpr int most_controls = 64;
constexpr int first_control_code = 256;
constexpr int input_codes = first_control_code + most_controls;

struct input_state {
    // indexed by code: keys and buttons 1-255, then the controls
    std::uint8_t down[input_codes] = {};
    int hits[input_codes] = {};
    std::int16_t pointer_x = 0;
    std::int16_t pointer_y = 0;
    // the modifiers held now, as the latest key event told, and those held
    // when each code was last counted as pressed: a shortcut typed faster
    // than a frame has let go of its modifiers by the time the frame asks
    std::uint8_t modifiers = 0;
    std::uint8_t press_modifiers[input_codes] = {};
    // A press reads as down through at least one whole frame, however soon it
    // is let go (a tap on a touchpad or a screen lasts less than a frame): its
    // release waits until the first frame to see the press from its start has
    // ended.
    std::uint32_t frame = 0;                // frames begun
    bool frame_read = false;                // a query has read the state in this frame
    std::uint32_t held_through[input_codes] = {};   // the frame each press is seen down by, whole
    std::uint8_t release_waits[input_codes] = {};
    // wheel notches not yet taken, up positive; a touchpad sends fractions
    float wheel = 0;
    // every press counted, of any code, however soon let go or flushed
    unsigned presses = 0;

    // a press counts only when the code was not already down, so auto-repeat
    // adds nothing; a code whose release is waiting is pressed again
    void press(int code, bool repeat = false);
    void release(int code);
    // a control's press and release, counted as a key's are
    void press_control(int control);
    void release_control(int control);
    // a press or release of any code, key or control
    void count_press(int code);
    void count_release(int code);
    // pointer positions arrive as signed 16-bit values, as window events carry them
    void move(int x, int y);
    void scroll(float notches);
    // the whole notches scrolled since the last take; fractions stay for later
    int take_wheel_notches();
    void flush();
    // a query is reading the state: presses from now on belong to the next frame
    void read() { frame_read = true; }
    // a frame begins: the releases that waited for a frame now seen whole apply
    void begin_frame();
};

// the code that mouse query button 1, 2 or 3 reads; 0 for any other number
int mouse_button_code(int button);

}  // namespace flopkin
