// The keyboard's way to the commands, and the controls' beside the canvas:
// each shortcut or control calls the same function as its button, once per
// press. Undo and redo live here too, as they have no button.
#include "app/command_table.hpp"
#include "platform/graphics.hpp"

namespace flopkin {

namespace {

constexpr int not_pressed = -1;

// the modifiers held with a press of the key since the last frame, or
// not_pressed; the press is used up, so a key held down acts once
int pressed_with(int code) {
    int modifiers = key_press_modifiers(code);
    return key_hit(code) > 0 ? modifiers : not_pressed;
}

// every key of the table, each read once a frame: a key that several rows
// name (Z for undo and redo) is read for all of them at once
struct pressed_keys {
    static constexpr std::size_t most = 2 * commands.size();
    int codes[most];
    int modifiers[most];
    std::size_t count = 0;

    pressed_keys() {
        for (const command& c : commands)
            for (const key_chord& k : c.keys)
                if (k.code != 0 && find(k.code) == count) {
                    codes[count] = k.code;
                    modifiers[count++] = pressed_with(k.code);
                }
    }
    std::size_t find(int code) const {
        std::size_t i = 0;
        while (i < count && codes[i] != code) ++i;
        return i;
    }
    bool typed(const key_chord& k) const { return k.code != 0 && modifiers[find(k.code)] == k.modifiers; }
};

}  // namespace

void app::handle_shortcuts() {
    // every key and control is read, so that no press is left over for a later frame
    pressed_keys keys;
    std::array<bool, commands.size()> controls;
    for (std::size_t i = 0; i < commands.size(); ++i) controls[i] = control_hit(static_cast<int>(i)) > 0;
    // a link, a grab or a move in progress is not to be changed under the pointer
    if ((mouse_down(1) && (mouse_x() < view.area_width || editing.link_drag_active || editing.dragged)) ||
        (editing.moved && mouse_down(editing.move_button)))
        return;
    for (std::size_t i = 0; i < commands.size(); ++i) {
        const command& c = commands[i];
        if (acts_in(c, mode) && (controls[i] || keys.typed(c.keys[0]) || keys.typed(c.keys[1]))) run_command(c.act);
    }
}

std::string shortcut_help() {
    std::string help = "Keys:";
    auto name = [&](const key_chord& k) {
        if (k.modifiers & modifier_ctrl) help.append("Ctrl+");
        if (k.modifiers & modifier_shift) help.append("Shift+");
        if (k.code == key_space) help.append("Space");
        else if (k.code == key_delete) help.append("Delete");
        else if (k.code == key_backspace) help.append("BackSpace");
        else if (k.code == key_period) help.push_back('.');
        else help.push_back(static_cast<char>(k.code));
    };
    for (const command& c : commands) {
        if (c.keys[0].code == 0) continue;
        help.push_back(' ');
        name(c.keys[0]);
        if (c.keys[1].code != 0) {
            help.append(" or ");
            name(c.keys[1]);
        }
        help.append(" ").append(c.help).append(";");
    }
    help += " Escape (held) ends the program.";
    // wrapped at 78 columns
    std::string wrapped;
    std::size_t line = 0;
    for (std::size_t at = 0; at < help.size();) {
        std::size_t end = help.find(' ', at);
        if (end == std::string::npos) end = help.size();
        std::size_t word = end - at;
        if (line > 0 && line + 1 + word > 78) {
            wrapped += "\n";
            line = 0;
        } else if (line > 0) {
            wrapped += ' ';
            ++line;
        }
        wrapped.append(help, at, word);
        line += word;
        at = end + 1;
    }
    return wrapped + "\n";
}

// a figure R restored and then undone, or redone over, is not the one a
// later save holds: its kept file stays
void app::undo() {
    history.undo(scene());
    document.restored_from.clear();
}

void app::redo() {
    history.redo(scene());
    document.restored_from.clear();
}

void app::before_edit() {
    if (loop.edit_step_frame == loop.frames_run) return;
    loop.edit_step_frame = loop.frames_run;
    history.keep(history.capture(scene()));
}

}  // namespace flopkin
