#pragma once
// What the page queues for the program, as triples: the kind, then a key
// code or button with the modifiers held, or x and y, or wheel notches in
// thousandths (up positive), or a control's number. The page learns these
// numbers from the program's description of itself.
namespace flopkin {

enum page_event {
    key_press = 1,
    key_repeat = 2,
    key_release = 3,
    pointer_move = 4,
    wheel = 5,
    control_press = 6,
    control_release = 7,
    // the events after it wait for the next frame, so that one frame sees
    // a press where it began before the moves that follow it
    frame_end = 8,
};

// a wheel event's value per notch
inline constexpr int wheel_steps_per_notch = 1000;

}  // namespace flopkin
