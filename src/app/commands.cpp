// The menu's buttons acting on the app, once per frame: value rows change
// their setting on every frame they are held, command buttons act once per
// press, on its first frame.
#include <utility>

#include "app/command_table.hpp"
#include "platform/graphics.hpp"
#include "platform/recovery/recovery_store.hpp"
#include "ui/menu.hpp"

namespace flopkin {

namespace {

// the kth value row's "+" or "-" held, in the menu or beside the canvas
bool stepping(menu& m, std::size_t k, bool plus) {
    value_row& row = m.value_rows[k];
    return (plus ? row.plus : row.minus).held(1) || control_down(stepper_control(k, plus));
}

// what tells whether a command changed the figure: the lists' stamps and
// sizes, and the mode
struct figure_mark {
    std::uint64_t stamps[3];
    std::size_t counts[3];
    figure_mode mode;

    explicit figure_mark(const app& a)
        : stamps{a.figure.balls.stamp(), a.figure.links.stamp(), a.figure.tensions.stamp()},
          counts{a.figure.balls.count(), a.figure.links.count(), a.figure.tensions.count()},
          mode(a.mode) {}

    // emptying an empty figure changes nothing
    bool differs(const figure_mark& before) const {
        bool lists = stamps[0] != before.stamps[0] || stamps[1] != before.stamps[1] || stamps[2] != before.stamps[2];
        bool something = counts[0] + counts[1] + counts[2] + before.counts[0] + before.counts[1] + before.counts[2] > 0;
        return mode != before.mode || (lists && something);
    }
};

// runs a command as one step of history, kept only when the command changed
// the figure (a cancelled requester or no selected ball change nothing)
template <class command>
bool as_step(app& a, command act) {
    figure_state before = a.history.capture(a.scene());
    figure_mark mark(a);
    act();
    if (!figure_mark(a).differs(mark)) return false;
    before.changes_document = a.document.path != before.document_path;
    a.history.keep(std::move(before));
    return true;
}

}  // namespace

void app::mode_command() {
    // an empty figure stays in draw mode: nothing changes, so no step
    if (figure.balls.is_empty()) return;
    history.keep(history.capture(scene()));
    if (mode == figure_mode::draw) {
        build_tensions();
        editing.selected.reset();
        label_figures();
    }
    mode = other_mode(mode);
}

void app::delete_command() {
    as_step(*this, [this] {
        delete_ball(editing.selected);
        editing.selected.reset();
    });
}

void app::clear_all_command() {
    as_step(*this, [this] {
        clear_all();
        mode = figure_mode::draw;
    });
    document.restored_from.clear();  // what is saved next is not the restored figure
}

// the figure just opened is the one a recovery file would compare against
void app::open_command() { open_figure(""); }

// the newest figure an ended run kept, opened as Open opens a document; from
// the runs' folder it has no document name, and its file stays there
void app::restore_command() {
    std::vector<earlier_figure> earlier;
    if (unsaved.recovery) earlier = unsaved.recovery->earlier_figures();
    // saved under a name, it goes from the unsaved folder
    if (!earlier.empty() && open_figure(earlier[0].path)) document.restored_from = earlier[0].path;
}

bool app::open_figure(const std::string& path) {
    if (!as_step(*this, [&] { load_document(true, path); })) return false;
    mark_figure_kept();
    return true;
}

void app::add_command() {
    as_step(*this, [this] { load_document(false, ""); });
}

void app::handle_commands() {
    flopkin::menu& m = *menu;
    // the rows change settings of their own, so their order does not matter
    for (std::size_t k = 0; k < value_settings.size(); ++k)
        value_settings[k].step(*this, value_settings[k], stepping(m, k, true), stepping(m, k, false));
    // each notch of the wheel is one frame of the zoom row's "+" (up) or "-"
    for (int n = wheel_notches(); n != 0; n += n > 0 ? -1 : 1) zoom_step(n > 0 ? 1 : 0);

    if (click_armed) {
        for (std::size_t i = 0; i < commands.size(); ++i) {
            const command& c = commands[i];
            if (c.menu_top == no_menu_place || !acts_in(c, mode)) continue;
            if (i < m.command_buttons.size() && m.command_buttons[i].held(1)) run_command(c.act);
        }
        // nothing is saved: the frame ends here and the loop with it
        if (loop.quit_requested) return;
    }
    handle_shortcuts();

    figure.take_sizes(settings.ball_size, settings.link_width, settings.angle_force);

    if (!mouse_down(1)) click_armed = true;
    if (mouse_down(1)) click_armed = false;
    force_draw_mode_if_empty();
}

void app::quit_command() { loop.quit_requested = true; }

void app::pause_command() { loop.paused = !loop.paused; }

void app::collide_command() { loop.collide = !loop.collide; }

void app::step_command() {
    if (loop.paused) loop.step_once = true;
}

void app::run_command(void (app::*act)()) {
    (this->*act)();
    if (mode == figure_mode::draw) loop.paused = false;
}

void app::layout_menu() {
    std::array<menu_entry, commands.size()> entries;
    for (std::size_t i = 0; i < commands.size(); ++i) {
        const command& c = commands[i];
        const char* label = mode == figure_mode::play && c.play_label ? c.play_label : c.label;
        entries[i] = {label ? label : "", c.label ? c.menu_top : no_menu_place, acts_in(c, mode),
                      c.act == &app::save_document};
    }
    std::array<value_entry, value_settings.size()> values;
    for (std::size_t k = 0; k < value_settings.size(); ++k) {
        const value_setting& v = value_settings[k];
        values[k] = {v.label, v.value(*this), v.scale, v.menu_top, v.stepper_nudge};
    }
    menu->layout({view.area_width, entries, values});
}

std::size_t command_row(void (app::*act)()) {
    for (std::size_t i = 0; i < commands.size(); ++i)
        if (commands[i].act == act) return i;
    return commands.size();
}

button& app::button_of(void (app::*act)()) { return menu->command_buttons.at(command_row(act)); }

value_row& app::row_of(float (*value)(const app&)) { return menu->value_rows.at(value_row_of(value)); }

float zoom_value(const app& a) { return a.view.zoom; }

void step_zoom(app& a, const value_setting&, bool plus, bool minus) {
    if (plus) a.zoom_step(1);
    if (minus) a.zoom_step(0);
}

}  // namespace flopkin
