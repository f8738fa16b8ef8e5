#pragma once
// What the menu's value rows change, and the drifting colours the figures
// are drawn in. Nothing here is stored: every run starts from these values.
namespace flopkin {

// where a setting starts, and the limits its "-" and "+" hold it between
struct setting_range {
    float start, lowest, highest;
};

inline constexpr setting_range gravity_range{0.1f, 0.001f, 1};
inline constexpr setting_range angle_force_range{30, 0.1f, 3000};
inline constexpr setting_range link_width_range{2, 0.1f, 200};
inline constexpr setting_range ball_size_range{13, 1, 200};
// each frame a "+" is held multiplies its setting by this, a "-" divides it
inline constexpr float setting_step = 1.02f;

struct settings {
    float gravity = gravity_range.start;          // added to every ball's vertical velocity each frame
    float angle_force = angle_force_range.start;  // every tension's strength
    float link_width = link_width_range.start;    // every link's width
    float ball_size = ball_size_range.start;      // every ball's radius
};

inline constexpr int palette_rows = 30;

// one colour per figure, each channel drifting by its step every frame
struct palette {
    int size = palette_rows;
    int colour[palette_rows][3] = {};  // red, green, blue
    int step[palette_rows][3] = {};    // 2 or -2 once drifting has started
};

}  // namespace flopkin
