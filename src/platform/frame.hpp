#pragma once
// The one window the program draws in, and its two parts: the canvas on the
// left, where the figures live, and the menu panel filling the strip to its
// right. The view, the menu, the window, the page and the tests all read it
// here.
namespace flopkin {

inline constexpr int frame_width = 1024;
inline constexpr int frame_height = 768;
inline constexpr int canvas_width = 780;  // the menu panel starts at this column
inline constexpr int frames_per_second = 60;

}  // namespace flopkin
