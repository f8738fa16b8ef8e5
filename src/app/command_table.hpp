#pragma once
// Every command the user can give by a menu button or a key, one row each:
// the menu's layout and drawing, the command handling, the shortcuts, the
// help text, the page's controls and the random session all read this table. A new button, or a
// key with no button, is a row here plus its action.
#include <array>
#include <string>

#include "app/app.hpp"
#include "app/value_table.hpp"
#include "platform/input.hpp"
#include "ui/menu.hpp"

namespace flopkin {

// the modes a command acts in; a button is shown in these modes only
enum class acts { in_draw, in_play, in_both };

// a key with the modifiers that must be held with it, exactly
struct key_chord {
    int code = 0;  // 0 = no key
    int modifiers = 0;
};

struct command {
    const char* label;       // the button's label; nullptr for a key with no button
    const char* play_label;  // the label in play mode, when it differs
    int menu_top;            // the top of the button's box, or no_menu_place
    acts modes;
    key_chord keys[2];
    const char* help;        // what the keys do, in the help text
    void (app::*act)();
    // the page's control for the row: its label when the row has no button
    // (a button's is the label the menu shows), and whether a press would do
    // anything now (always, when not given)
    const char* (*touch_label)(const app&) = nullptr;
    bool (*enabled)(const app&) = nullptr;
};

// In the order of handling: a press acts on the buttons, then on the keys,
// row by row, each row reading the mode as the rows before it left it.
inline constexpr int ctrl = modifier_ctrl;
inline constexpr int ctrl_shift = modifier_ctrl | modifier_shift;
inline constexpr std::array<command, 14> commands = {{
    {"Play", "Draw", 0, acts::in_both, {{key_space}}, "the mode button", &app::mode_command},
    {"Delete Selected Ball", nullptr, menu_row(menu_edit_top, 1), acts::in_draw, {{key_delete}, {key_backspace}},
     "delete the selected ball", &app::delete_command, nullptr,
     [](const app& a) { return a.editing.selected != nullptr; }},
    {nullptr, nullptr, no_menu_place, acts::in_both, {{'Z', ctrl}}, "undo", &app::undo,
     [](const app&) { return "Undo"; }, [](const app& a) { return a.history.undo_steps() > 0; }},
    {nullptr, nullptr, no_menu_place, acts::in_both, {{'Z', ctrl_shift}, {'Y', ctrl}}, "redo", &app::redo,
     [](const app&) { return "Redo"; }, [](const app& a) { return a.history.redo_steps() > 0; }},
    {"Clear All", nullptr, menu_row(menu_edit_top, 0), acts::in_both, {}, nullptr, &app::clear_all_command},
    // the file commands stand at the foot of the panel
    {"Open", nullptr, menu_row(menu_file_top, 0), acts::in_both, {{'O', ctrl}}, "open", &app::open_command},
    {"Add", nullptr, menu_row(menu_file_top, 1), acts::in_both, {{'O', ctrl_shift}}, "add", &app::add_command},
    {"Save", nullptr, menu_row(menu_file_top, 2), acts::in_both, {{'S', ctrl}}, "save", &app::save_document},
    {"Save as", nullptr, menu_row(menu_file_top, 3), acts::in_both, {{'S', ctrl_shift}}, "save as",
     &app::save_document_as},
    {"Quit", nullptr, menu_row(menu_file_top, 4), acts::in_both, {}, nullptr, &app::quit_command},
    // as the mode button's, the label says what a press does now
    {nullptr, nullptr, no_menu_place, acts::in_play, {{'P'}}, "pause or resume", &app::pause_command,
     [](const app& a) { return a.loop.paused ? "Resume" : "Pause"; }},
    {nullptr, nullptr, no_menu_place, acts::in_play, {{'N'}, {key_period}}, "one step while paused",
     &app::step_command, [](const app&) { return "Step"; }, [](const app& a) { return a.loop.paused; }},
    {nullptr, nullptr, no_menu_place, acts::in_both, {{'R'}}, "restore the newest unsaved figure", &app::restore_command,
     [](const app&) { return "Restore"; }},
    {nullptr, nullptr, no_menu_place, acts::in_both, {{'C'}}, "figures collide or pass through each other",
     &app::collide_command, [](const app& a) { return a.loop.collide ? "Pass through" : "Collide"; }},
}};

// whether the command acts in the mode
constexpr bool acts_in(const command& c, figure_mode mode) {
    return c.modes == acts::in_both || (c.modes == acts::in_draw) == (mode == figure_mode::draw);
}

// The controls beside the canvas (the page's touch layout): each command
// row's control has the row's number; after them come each value row's "-"
// and "+", in the order of the value table.
constexpr int stepper_control(std::size_t value_row, bool plus) {
    return static_cast<int>(commands.size() + 2 * value_row + (plus ? 1 : 0));
}
static_assert(stepper_control(value_settings.size() - 1, true) < most_controls);

// the row whose action is act
std::size_t command_row(void (app::*act)());

// "Keys: Ctrl+Z undo; ..." as the help text lists them
std::string shortcut_help();

}  // namespace flopkin
