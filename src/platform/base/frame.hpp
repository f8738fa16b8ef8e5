#pragma once
// The one window the program draws in, and its two parts: the canvas on the
// left, where the figures live, and the menu panel filling the strip to its
// right. The view, the menu, the window, the page and the tests all read it
// here; and a frame as it was shown, which a backend hands back and the
// screenshots and clips are made of.
#include <cstdint>
#include <vector>

namespace flopkin {

inline constexpr int frame_width = 1024;
inline constexpr int frame_height = 768;
inline constexpr int canvas_width = 780;  // the menu panel starts at this column
inline constexpr int frames_per_second = 60;

// A frame as the user saw it: width x height pixels, 3 bytes each (red,
// green, blue), the top row first.
struct frame_image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};

}  // namespace flopkin
