#pragma once
// Every command the user can give by a menu button or a key, one row each:
// the menu's layout and drawing, the command handling, the shortcuts, the
// help text and the random session all read this table. A new button, or a
// key with no button, is a row here plus its action.
#include <array>
#include <string>

#include "app/app.hpp"
#include "platform/input.hpp"
#include "ui/menu.hpp"

namespace flopkin {

// the modes a command acts in; a button is shown in these modes only
inline constexpr int in_draw_mode = 1;
inline constexpr int in_play_mode = 2;
inline constexpr int in_both_modes = in_draw_mode | in_play_mode;

// a key with the modifiers that must be held with it, exactly
struct key_chord {
    int code = 0;  // 0 = no key
    int modifiers = 0;
};

struct command {
    const char* label;       // the button's label; nullptr for a key with no button
    const char* play_label;  // the label in play mode, when it differs
    int menu_top;            // the top of the button's box, or no_menu_place
    int modes;
    key_chord keys[2];
    const char* help;        // what the keys do, in the help text
    void (app::*act)();
};

// In the order of handling: a press acts on the buttons, then on the keys,
// row by row, each row reading the mode as the rows before it left it.
inline constexpr int ctrl = modifier_ctrl;
inline constexpr int ctrl_shift = modifier_ctrl | modifier_shift;
inline constexpr std::array<command, 14> commands = {{
    {"Play", "Draw", 0, in_both_modes, {{key_space}}, "the mode button", &app::mode_command},
    {"Delete Selected Ball", nullptr, 190, in_draw_mode, {{key_delete}, {key_backspace}}, "delete the selected ball",
     &app::delete_command},
    {nullptr, nullptr, no_menu_place, in_both_modes, {{'Z', ctrl}}, "undo", &app::undo},
    {nullptr, nullptr, no_menu_place, in_both_modes, {{'Z', ctrl_shift}, {'Y', ctrl}}, "redo", &app::redo},
    {"Clear All", nullptr, 150, in_both_modes, {}, nullptr, &app::clear_all_command},
    // the file commands stand at the foot of the panel
    {"Open", nullptr, 568, in_both_modes, {{'O', ctrl}}, "open", &app::open_command},
    {"Add", nullptr, 608, in_both_modes, {{'O', ctrl_shift}}, "add", &app::add_command},
    {"Save", nullptr, 648, in_both_modes, {{'S', ctrl}}, "save", &app::save_document},
    {"Save as", nullptr, 688, in_both_modes, {{'S', ctrl_shift}}, "save as", &app::save_document_as},
    {"Quit", nullptr, 728, in_both_modes, {}, nullptr, &app::quit_command},
    {nullptr, nullptr, no_menu_place, in_play_mode, {{'P'}}, "pause or resume", &app::pause_command},
    {nullptr, nullptr, no_menu_place, in_play_mode, {{'N'}, {key_period}}, "one step while paused",
     &app::step_command},
    {nullptr, nullptr, no_menu_place, in_both_modes, {{'R'}}, "restore the newest unsaved figure", &app::restore_command},
    {nullptr, nullptr, no_menu_place, in_both_modes, {{'C'}}, "figures collide or pass through each other",
     &app::collide_command},
}};

// whether the command acts in the mode (draw_mode or play_mode)
constexpr bool acts_in(const command& c, int mode) {
    return (c.modes & (mode == play_mode ? in_play_mode : in_draw_mode)) != 0;
}

// the row whose action is act
std::size_t command_row(void (app::*act)());

// "Keys: Ctrl+Z undo; ..." as the help text lists them
std::string shortcut_help();

}  // namespace flopkin
