#pragma once
// Every value row of the menu, one row each, from the top of the panel down:
// the menu's layout and drawing, the steppers' handling, the page's controls
// and the random session's checks all read this table. A new value row is a
// row here plus its setting (in settings.hpp) or its effect.
#include <array>
#include <cstddef>

#include "app/app.hpp"
#include "physics/view.hpp"
#include "ui/menu.hpp"

namespace flopkin {

struct value_setting {
    const char* label;           // before the number: "Gravity= "
    float (*value)(const app&);  // the setting the row shows
    double scale;                // the number shown is the value times this, truncated
    float lowest, highest;       // the limits its steps keep it between
    // one frame of the row: "+" and "-" held or not
    void (*step)(app&, const value_setting&, bool plus, bool minus);
    int menu_top;       // the top of the row's box
    int stepper_nudge;  // how far the "-" and "+" sit below the middle of their boxes
};

// a setting of the run: each frame a "+" is held multiplies it by the
// setting step, a "-" divides it, and it is kept within the row's limits
template <float settings::*field>
float setting_value(const app& a) {
    return a.settings.*field;
}
template <float settings::*field>
void step_setting(app& a, const value_setting& row, bool plus, bool minus) {
    float& value = a.settings.*field;
    if (plus) value *= setting_step;
    if (minus) value /= setting_step;
    if (value > row.highest) value = row.highest;
    if (!(value >= row.lowest)) value = row.lowest;
}
template <float settings::*field>
constexpr value_setting setting_row(const char* label, double scale, const setting_range& range, int top,
                                    int stepper_nudge) {
    return {label, &setting_value<field>, scale, range.lowest, range.highest, &step_setting<field>, top,
            stepper_nudge};
}

// the view's zoom, which "+" takes in towards the figure and "-" out
float zoom_value(const app& a);
void step_zoom(app& a, const value_setting& row, bool plus, bool minus);

inline constexpr std::array<value_setting, 5> value_settings = {{
    {"Zoom= ", &zoom_value, 1000, lowest_zoom, highest_zoom, &step_zoom, menu_row(menu_values_top, -1), 1},
    setting_row<&settings::ball_size>("Balls Size= ", 10, ball_size_range, menu_row(menu_values_top, 0), 1),
    setting_row<&settings::link_width>("Links Width= ", 100, link_width_range, menu_row(menu_values_top, 1), 3),
    setting_row<&settings::angle_force>("Angle Force= ", 10, angle_force_range, menu_row(menu_values_top, 2), 3),
    setting_row<&settings::gravity>("Gravity= ", 1000, gravity_range, menu_row(menu_values_top, 3), 3),
}};

// the row that shows value
constexpr std::size_t value_row_of(float (*value)(const app&)) {
    for (std::size_t i = 0; i < value_settings.size(); ++i)
        if (value_settings[i].value == value) return i;
    return value_settings.size();
}

}  // namespace flopkin
