#include "app/page_description.hpp"

#include <string_view>

#include "app/command_table.hpp"
#include "files/document_folder.hpp"
#include "platform/web/page_events.hpp"

namespace flopkin {

namespace {

// a JSON text written in order: each member or item after a comma where one
// is due
class json {
public:
    json& open(char bracket) { return start().put(bracket, true); }
    json& close(char bracket) { return put(bracket, false); }
    json& key(std::string_view name) {
        start();
        quote(name);
        return put(':', true);
    }
    json& text(std::string_view value) {
        start();
        quote(value);
        return done();
    }
    json& number(double value) {
        start();
        std::string n = std::to_string(value);
        // whole numbers as integers, others with the digits to_string gives
        if (value == static_cast<double>(static_cast<long long>(value))) n = std::to_string(static_cast<long long>(value));
        out_.append(n);
        return done();
    }
    json& boolean(bool value) {
        start();
        out_.append(value ? "true" : "false");
        return done();
    }
    std::string str() const { return out_; }

private:
    json& start() {
        if (comma_) out_.push_back(',');
        comma_ = false;
        return *this;
    }
    json& put(char c, bool opening) {
        out_.push_back(c);
        comma_ = !opening;
        return *this;
    }
    json& done() {
        comma_ = true;
        return *this;
    }
    void quote(std::string_view s) {
        out_.push_back('"');
        for (char c : s) {
            if (c == '\r' || c == '\n') {
                out_.append(c == '\r' ? "\\r" : "\\n");
                continue;
            }
            if (c == '"' || c == '\\') out_.push_back('\\');
            out_.push_back(c);
        }
        out_.push_back('"');
    }
    std::string out_;
    bool comma_ = false;
};

void box(json& j, const char* name, const button& b) {
    j.key(name).open('[').number(b.x).number(b.y).number(b.width).number(b.height).close(']');
}

// Quit is the browser's own: a tab is closed
bool on_the_page(const command& c) { return c.act != &app::quit_command; }

}  // namespace

// the control's label: a menu button's as the menu shows it now (the mode's
// label, "Saved!"), else the row's own
std::string touch_label(app& a, std::size_t row) {
    const command& c = commands[row];
    return c.touch_label ? c.touch_label(a) : a.menu->command_buttons[row].label;
}

std::string page_description(app& a) {
    json j;
    j.open('{').key("frame").open('{');
    j.key("width").number(a.view.screen_width).key("height").number(a.view.screen_height);
    j.key("canvas_width").number(static_cast<int>(a.view.area_width)).close('}');
    j.key("events").open('{');
    j.key("key_press").number(key_press).key("key_repeat").number(key_repeat).key("key_release").number(key_release);
    j.key("pointer_move").number(pointer_move).key("wheel").number(wheel);
    j.key("control_press").number(control_press).key("control_release").number(control_release);
    j.key("frame_end").number(frame_end).key("wheel_steps_per_notch").number(wheel_steps_per_notch).close('}');
    j.key("modifiers").open('{').key("shift").number(modifier_shift).key("ctrl").number(modifier_ctrl).close('}');
    j.key("buttons").open('{').key("left").number(code_mouse_left).key("right").number(code_mouse_right);
    j.key("middle").number(code_mouse_middle).close('}');
    // every key of the table with the modifiers it takes, kept from the browser's own use
    j.key("keys").open('{').key("period").number(key_period).key("chords").open('[');
    for (const command& c : commands)
        for (const key_chord& k : c.keys)
            if (k.code != 0) j.open('[').number(k.code).number(k.modifiers).close(']');
    j.close(']').close('}');
    j.key("folder").text(document_folder);
    j.key("open_control").number(static_cast<double>(command_row(&app::open_command)));
    // the drawn menu's buttons, for a test to press them where they are;
    // each value row's controls
    menu& m = *a.menu;
    j.key("menu").open('{').key("commands").open('[');
    for (std::size_t i = 0; i < commands.size(); ++i) {
        if (commands[i].menu_top == no_menu_place) continue;
        j.open('{').key("control").number(static_cast<double>(i)).key("label").text(commands[i].label);
        box(j, "box", m.command_buttons[i]);
        j.close('}');
    }
    j.close(']').key("values").open('[');
    for (std::size_t k = 0; k < m.value_rows.size(); ++k) {
        j.open('{').key("minus").number(stepper_control(k, false)).key("plus").number(stepper_control(k, true));
        box(j, "minus_box", m.value_rows[k].minus);
        box(j, "plus_box", m.value_rows[k].plus);
        j.close('}');
    }
    return j.close(']').close('}').close('}').str();
}

std::string page_state(app& a) {
    json j;
    j.open('{').key("mode").text(a.mode == figure_mode::draw ? "draw" : "play").key("paused").boolean(a.loop.paused);
    j.key("commands").open('[');
    for (std::size_t i = 0; i < commands.size(); ++i) {
        const command& c = commands[i];
        if (!on_the_page(c) || !acts_in(c, a.mode)) continue;
        j.open('{').key("control").number(static_cast<double>(i)).key("label").text(touch_label(a, i));
        j.key("enabled").boolean(!c.enabled || c.enabled(a)).close('}');
    }
    j.close(']').key("values").open('[');
    for (const value_row& row : a.menu->value_rows) j.text(row.display.label);
    return j.close(']').close('}').str();
}

}  // namespace flopkin
