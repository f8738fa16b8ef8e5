// The keyboard's way to the commands: each shortcut calls the same function
// as its button, once per press of the key. Undo and redo live here too, as
// they have no button.
#include "app/app.hpp"
#include "platform/graphics.hpp"

namespace flopkin {

namespace {

constexpr int plain = 0;
constexpr int ctrl = modifier_ctrl;
constexpr int ctrl_shift = modifier_ctrl | modifier_shift;
constexpr int not_pressed = -1;

// the modifiers held with a press of the key since the last frame, or
// not_pressed; the press is used up, so a key held down acts once
int pressed_with(int code) {
    int modifiers = key_press_modifiers(code);
    return key_hit(code) > 0 ? modifiers : not_pressed;
}

}  // namespace

void app::handle_shortcuts() {
    // every key is read, so that no press is left over for a later frame
    int space = pressed_with(key_space), del = pressed_with(key_delete), back = pressed_with(key_backspace);
    int z = pressed_with('Z'), y = pressed_with('Y'), o = pressed_with('O'), s = pressed_with('S');
    // a link or a grab in progress is not to be changed under the pointer
    if (mouse_down(1) && (mouse_x() < area_width || link_drag_active == 1 || dragged)) return;

    if (space == plain) mode_command();
    if (del == plain || back == plain) delete_command();
    if (z == ctrl) undo();
    if (z == ctrl_shift || y == ctrl) redo();
    if (o == ctrl) open_command();
    if (o == ctrl_shift) add_command();
    if (s == ctrl) save_document();
    if (s == ctrl_shift) save_document_as();
}

void app::undo() { history.undo(*this); }

void app::redo() { history.redo(*this); }

void app::before_edit() {
    if (edit_step_frame == frames_run) return;
    edit_step_frame = frames_run;
    history.keep(history.capture(*this));
}

}  // namespace flopkin
