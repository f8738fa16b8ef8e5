#include "random_user.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "sample_figures.hpp"
#include "app/command_table.hpp"
#include "ui/menu.hpp"

namespace flopkin {

namespace {

// files the requester's answers name, laid out in the session's folder
const char* const good_document = "good.fkn";
const char* const garbage_document = "garbage.fkn";
const char* const saved_document = "saved flopkins/session.fkn";

void write_bytes(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

}  // namespace

random_user::random_user(std::uint32_t seed, app& a, headless_backend& hb) : random_(seed), a_(a), hb_(hb) {
    lay_out_files();
}

int random_user::pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

bool random_user::chance(double p) { return std::uniform_real_distribution<double>(0, 1)(random_) < p; }

void random_user::lay_out_files() {
    std::filesystem::create_directory("saved flopkins");
    std::filesystem::create_directory("folder.fkn");
    ::mkfifo("fifo.fkn", 0644);
    write_bytes("locked.fkn", "1\r\n");
    ::chmod("locked.fkn", 0);
    // a document written by the program itself: some stick figures and a mesh
    app maker;
    add_crowd(maker.figure, 6, 3, 100, 100);
    add_mesh(maker.figure, 5, 4, 400, 300);
    std::string why;
    maker.write_document(good_document, why);
}

bool random_user::before_frame() {
    if (steps_.empty()) plan();
    step s = steps_.front();
    steps_.pop_front();
    // Quit ends the program, which is not what a long session is after: a
    // press that would land on it lands on the button above instead
    const button& quit = a_.button_of(&app::quit_command);
    if (s.press == code_mouse_left && s.x > quit.x && s.x < quit.x + quit.width && s.y > quit.y &&
        s.y < quit.y + quit.height)
        s.y -= 40;
    if (s.move) hb_.move(s.x, s.y);
    if (s.press) hb_.press(s.press, s.modifiers);
    if (s.release) hb_.release(s.release, s.modifiers);
    // whichever requester the frame may show gets a fresh answer
    hb_.requester_answers.assign(1, requester_answer());
    hb_.requester_calls.clear();
    return s.press == key_escape;
}

void random_user::plan() {
    // a person clears a crowded canvas now and then; it keeps the figure, and
    // so what the program must hold for it, within bounds
    if (a_.figure.balls.count() > 60 || a_.figure.links.count() > 120 || a_.figure.tensions.count() > 240) {
        plan_button(a_.button_of(&app::clear_all_command), 2);
        return;
    }
    menu& m = *a_.menu;
    auto any_row = [&]() -> value_row& {
        return m.value_rows[static_cast<std::size_t>(pick(0, static_cast<int>(m.value_rows.size()) - 1))];
    };
    int roll = pick(0, 999);
    if (roll < 300) {
        plan_click(target(), code_mouse_left);
    } else if (roll < 520) {
        plan_drag(target(), target());
    } else if (roll < 640) {
        // a command button of the table, the mode button a third of the time
        std::size_t row = command_row(&app::mode_command);
        if (chance(0.7)) do
                row = static_cast<std::size_t>(pick(0, static_cast<int>(commands.size()) - 1));
            while (commands[row].menu_top == no_menu_place);
        plan_button(m.command_buttons[row], pick(1, 4));
        ++tally_.commands;
    } else if (roll < 740) {
        // a stepper, often held long enough to reach its limit
        value_row& row = any_row();
        plan_button(chance(0.5) ? row.plus : row.minus, chance(0.3) ? pick(200, 800) : pick(1, 60));
        ++tally_.holds;
    } else if (roll < 800) {
        plan_shortcut();
        ++tally_.shortcuts;
    } else if (roll < 900) {
        idle(pick(1, 90));
        ++tally_.idles;
    } else if (roll < 980) {
        // pressing on a row's display field, or pressing elsewhere and sliding onto a button
        if (chance(0.5))
            plan_click(inside(any_row().display), code_mouse_left);
        else
            plan_drag(anywhere(), inside(chance(0.5) ? a_.row_of(setting_value<&settings::gravity>).plus
                                                     : a_.button_of(&app::mode_command)));
    } else if (roll < 995) {
        plan_click(target(), chance(0.5) ? code_mouse_right : code_mouse_middle);
        ++tally_.other_buttons;
    } else {
        step tap;
        tap.press = tap.release = key_escape;
        steps_.push_back(tap);
        ++tally_.escapes;
    }
}

void random_user::plan_click(point at, int code) {
    step s;
    s.move = true;
    s.x = at.x;
    s.y = at.y;
    s.press = code;
    steps_.push_back(s);
    int held = pick(0, 3);
    for (int i = 0; i < held; ++i) steps_.push_back({});
    step up;
    up.release = code;
    steps_.push_back(up);
    if (code == code_mouse_left) ++tally_.clicks;
}

void random_user::plan_drag(point from, point to) {
    step s;
    s.move = true;
    s.x = from.x;
    s.y = from.y;
    s.press = code_mouse_left;
    steps_.push_back(s);
    int frames = pick(1, 40);
    for (int i = 1; i <= frames; ++i) {
        step m;
        m.move = true;
        m.x = from.x + (to.x - from.x) * i / frames;
        m.y = from.y + (to.y - from.y) * i / frames;
        steps_.push_back(m);
    }
    step up;
    up.release = code_mouse_left;
    steps_.push_back(up);
    ++tally_.drags;
}

void random_user::plan_button(const button& b, int frames) {
    point at = inside(b);
    step s;
    s.move = true;
    s.x = at.x;
    s.y = at.y;
    s.press = code_mouse_left;
    steps_.push_back(s);
    for (int i = 1; i < frames; ++i) steps_.push_back({});
    step up;
    up.release = code_mouse_left;
    steps_.push_back(up);
}

// a key typed with its modifiers, within one frame or held over two; now and
// then in the middle of a drag on the canvas, where it must do nothing
void random_user::plan_shortcut() {
    // a key of the table's, undo a third of the time
    std::size_t row = command_row(&app::undo);
    if (chance(0.7)) do
            row = static_cast<std::size_t>(pick(0, static_cast<int>(commands.size()) - 1));
        while (commands[row].keys[0].code == 0);
    const key_chord& key = commands[row].keys[commands[row].keys[1].code != 0 ? pick(0, 1) : 0];
    step down{.press = key.code, .modifiers = key.modifiers};
    std::size_t at = steps_.size();
    if (chance(0.1)) {
        plan_drag(target(), target());
        at += 2;  // after the press and the first move
    }
    step up = down;
    up.release = down.press;
    up.press = 0;
    if (chance(0.5)) {
        steps_.insert(steps_.begin() + static_cast<long>(at), up);
        steps_.insert(steps_.begin() + static_cast<long>(at), down);
    } else {
        down.release = down.press;
        steps_.insert(steps_.begin() + static_cast<long>(at), down);
    }
}

void random_user::idle(int frames) {
    for (int i = 0; i < frames; ++i) steps_.push_back({});
}

random_user::point random_user::anywhere() {
    switch (pick(0, 9)) {
        case 0:  // on or next to an edge of the window or of the canvas
        {
            const int xs[] = {-1, 0, 1, 779, 780, 781, 1022, 1023, 1024};
            const int ys[] = {-1, 0, 1, 766, 767, 768};
            return {xs[pick(0, 8)], ys[pick(0, 5)]};
        }
        case 1:  // far outside, as a held pointer can go
            return {pick(-32768, 32767), pick(-32768, 32767)};
        case 2:
        case 3: return {pick(-300, 1300), pick(-300, 1000)};
        default: return {pick(0, 779), pick(0, 767)};
    }
}

random_user::point random_user::target() {
    if (a_.figure.balls.is_empty() || chance(0.4)) return anywhere();
    const ball& b = *a_.figure.balls.slot(static_cast<std::size_t>(pick(0, static_cast<int>(a_.figure.balls.slot_count()) - 1)));
    if (chance(0.5)) return {static_cast<int>(b.screen_x), static_cast<int>(b.screen_y)};
    // on the rim, give or take a pixel
    double angle = std::uniform_real_distribution<double>(0, 6.283185307179586)(random_);
    double r = b.screen_radius + pick(-1, 1);
    return {static_cast<int>(std::lround(b.screen_x + r * std::cos(angle))),
            static_cast<int>(std::lround(b.screen_y + r * std::sin(angle)))};
}

random_user::point random_user::inside(const button& b) {
    int left = static_cast<int>(b.x), top = static_cast<int>(b.y);
    int w = std::max(2, static_cast<int>(b.width)), h = std::max(2, static_cast<int>(b.height));
    return {left + pick(1, w - 1), top + pick(1, h - 1)};
}

std::string random_user::requester_answer() {
    switch (pick(0, 11)) {
        case 0: return good_document;
        case 1: return saved_document;
        case 2: return "missing.fkn";
        case 3: return "folder.fkn";
        case 4: return "fifo.fkn";
        case 5: return "locked.fkn";
        case 6: {
            // garbage, now and then with record markers among the noise
            std::string noise;
            int n = pick(0, 3000);
            for (int i = 0; i < n; ++i) {
                if (chance(0.01)) noise += chance(0.5) ? "\r\nNew Ball\r\n" : "\nNew Link\n";
                noise.push_back(static_cast<char>(pick(0, 255)));
            }
            write_bytes(garbage_document, noise);
            return garbage_document;
        }
        case 7: return "/proc/flopkin-session.fkn";   // a place nothing can be written
        case 8: return "good.fkn/inside.fkn";         // a folder that is a file
        case 9: return "mine.fkn";
        default: return "";                            // cancelled
    }
}

}  // namespace flopkin
