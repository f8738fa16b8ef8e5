// The page's description of the program and its touch layout's controls:
// every command row that acts in a mode is offered there with its label, and
// a control's press acts as the row's button or key does.
#include <gtest/gtest.h>

#include "app/command_table.hpp"
#include "app/page_description.hpp"
#include "editing_harness.hpp"

namespace flopkin::testing {
namespace {

// the control's entry in the touch layout's state, as far as its label's first letter
std::string entry(std::size_t row, const std::string& label) {
    return "{\"control\":" + std::to_string(row) + ",\"label\":\"" + label;
}

TEST(PageDescription, OffersEveryRowActingInTheModeWithItsLabelButQuit) {
    harness h;
    h.add_ball(200, 200);
    for (figure_mode mode : {figure_mode::draw, figure_mode::play}) {
        h.a.mode = mode;
        h.a.layout_menu();
        std::string state = page_state(h.a);
        for (std::size_t i = 0; i < commands.size(); ++i) {
            const command& c = commands[i];
            const char* label = mode == figure_mode::play && c.play_label ? c.play_label : c.label;
            bool offered = acts_in(c, mode) && c.act != &app::quit_command;
            EXPECT_EQ(state.find(entry(i, label ? label : "")) != std::string::npos, offered) << i << " " << state;
            // a row of keys alone has a label of its own
            if (offered && !label) {
                EXPECT_EQ(state.find(entry(i, "\"")), std::string::npos) << i;
            }
        }
    }
    // the drawn menu's buttons where the menu put them, for a test to press
    std::string description = page_description(h.a);
    const button& clear = h.a.button_of(&app::clear_all_command);
    std::string place = "\"label\":\"Clear All\",\"box\":[" + std::to_string(static_cast<int>(clear.x)) + "," +
                        std::to_string(static_cast<int>(clear.y));
    EXPECT_NE(description.find(place), std::string::npos) << description;
}

// a key's control says what a press does now, and is enabled only when it
// would do something
TEST(PageDescription, ControlsLabelAndEnableByTheFigureAndTheLoop) {
    harness h;
    ball_ref ball = h.add_ball(200, 200);
    h.a.mode = figure_mode::draw;
    auto offers = [&](void (app::*act)(), const std::string& label, bool enabled) {
        std::string want = entry(command_row(act), label) + "\",\"enabled\":" + (enabled ? "true" : "false") + "}";
        return page_state(h.a).find(want) != std::string::npos;
    };
    EXPECT_TRUE(offers(&app::delete_command, "Delete Selected Ball", false));  // no ball selected
    EXPECT_TRUE(offers(&app::undo, "Undo", false));
    EXPECT_TRUE(offers(&app::collide_command, "Collide", true));
    h.a.editing.selected = ball;
    EXPECT_TRUE(offers(&app::delete_command, "Delete Selected Ball", true));
    h.a.mode = figure_mode::play;
    EXPECT_TRUE(offers(&app::pause_command, "Pause", true));
    EXPECT_TRUE(offers(&app::step_command, "Step", false));
    h.a.loop.paused = h.a.loop.collide = true;
    EXPECT_TRUE(offers(&app::pause_command, "Resume", true));
    EXPECT_TRUE(offers(&app::step_command, "Step", true));
    EXPECT_TRUE(offers(&app::collide_command, "Pass through", true));
    h.a.mode_command();  // a step of history to undo
    EXPECT_TRUE(offers(&app::undo, "Undo", true));
    EXPECT_TRUE(offers(&app::redo, "Redo", false));
}

TEST(PageDescription, ControlsActAsTheirRowsOnTheNextFrame) {
    harness h;
    h.add_ball(200, 200);
    h.a.mode = figure_mode::play;
    h.frame();
    auto tap = [&](int control) {
        h.hb.press_control(control);
        h.hb.release_control(control);
        h.frame();
    };
    tap(static_cast<int>(command_row(&app::clear_all_command)));
    EXPECT_TRUE(h.a.figure.balls.is_empty());
    tap(static_cast<int>(command_row(&app::undo)));
    EXPECT_EQ(h.a.figure.balls.count(), 1u);
    // a value row's "+" steps on every frame it is held, and once for a tap
    const int plus = stepper_control(value_row_of(setting_value<&settings::gravity>), true);
    h.hb.press_control(plus);
    h.frames(3);
    h.hb.release_control(plus);
    tap(plus);
    EXPECT_EQ(h.a.settings.gravity, 0.1f * 1.02f * 1.02f * 1.02f * 1.02f);
}

}  // namespace
}  // namespace flopkin::testing
