// Prints where the program's menu puts its buttons, laid out by the app as a
// run lays it out, so that the desktop tests click a command by its name and
// read the panel back without a copy of the layout:
//
//   frame WIDTH HEIGHT CANVAS
//   MODE NAME X Y WIDTH HEIGHT NUDGE LABEL    each button drawn in draw, then play mode
//
// fields apart by tabs. A command is named by its label in draw mode (the
// mode button is "Play"); a value row by its label's name ("Zoom"), its
// steppers by that and "+" or "-".
#include <cstdio>
#include <string>

#include "app/command_table.hpp"
#include "platform/graphics.hpp"
#include "platform/headless/headless_backend.hpp"

namespace {

using namespace flopkin;

void print(const char* mode, const std::string& name, const button& b) {
    std::printf("%s\t%s\t%g\t%g\t%g\t%g\t%g\t%s\n", mode, name.c_str(), b.x, b.y, b.width, b.height, b.label_nudge_y,
                b.label.c_str());
}

void print_menu(app& a, const char* mode_name) {
    a.layout_menu();
    const menu& m = *a.menu;
    for (std::size_t i = 0; i < commands.size(); ++i)
        if (m.shows(i)) print(mode_name, commands[i].label, m.command_buttons[i]);
    for (const value_row& row : m.value_rows) {
        std::string name = row.display.label.substr(0, row.display.label.find('='));
        print(mode_name, name, row.display);
        print(mode_name, name + " +", row.plus);
        print(mode_name, name + " -", row.minus);
    }
}

}  // namespace

int main() {
    headless_backend hb(false);
    use_backend(&hb);
    std::string why;
    if (!open_graphics(frame_width, frame_height, 0, frames_per_second, why)) {
        std::fprintf(stderr, "menu_places: %s\n", why.c_str());
        return 1;
    }
    std::printf("frame\t%d\t%d\t%d\n", frame_width, frame_height, canvas_width);
    {
        app a;
        a.mode = figure_mode::draw;
        print_menu(a, "draw");
        a.mode = figure_mode::play;
        print_menu(a, "play");
    }
    use_backend(nullptr);
    return 0;
}
