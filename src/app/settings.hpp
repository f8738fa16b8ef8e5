#pragma once
// What the menu's value rows change, and the drifting colours the figures
// are drawn in. Nothing here is stored: every run starts from these values.
namespace flopkin {

struct settings {
    float gravity = 0.1f;      // added to every ball's vertical velocity each frame
    float angle_force = 30;    // every tension's strength
    float link_width = 2;      // every link's width
    float ball_size = 13;      // every ball's radius
};

inline constexpr int palette_rows = 30;

// one colour per figure, each channel drifting by its step every frame
struct palette {
    int size = palette_rows;
    int colour[palette_rows][3] = {};  // red, green, blue
    int step[palette_rows][3] = {};    // 2 or -2 once drifting has started
};

}  // namespace flopkin
