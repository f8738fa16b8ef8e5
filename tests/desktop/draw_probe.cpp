// A small program on the real backend for the desktop tests.
//
//   draw_probe shapes            draws the reference shapes every frame until
//                                Escape; first prints the glyph mask of the
//                                reference text, one row per line
//   draw_probe order             draws overlapping fills, lines and text
//                                every frame until Escape, each over the
//                                ones before it
//   draw_probe mask TEXT         prints the glyph mask of TEXT and ends,
//                                without a window
//   draw_probe pointer           prints "x y down" for the left button
//                                whenever it changes, until Escape
//   draw_probe open|save PATH    shows one frame, asks for a file with the
//                                requester (initial path PATH), prints
//                                "chosen=[...]", whether Escape reads as
//                                pressed in the second after it and where
//                                the pointer is then, and ends
#include <cstdio>
#include <string>

#include "platform/base/font.hpp"
#include "platform/base/frame.hpp"
#include "platform/graphics.hpp"
#include "platform/sdl/sdl_backend.hpp"

namespace {

using namespace flopkin;

const char* reference_text = "Flopkin 8x16!";

void draw_shapes() {
    clear_screen();
    set_color(255, 255, 255);
    draw_line(780, 0, 780, 767, 1);
    draw_line(10, 700, 109, 700, 1);
    set_color(255, 0, 0);
    draw_rect(100, 100, 50, 30);
    set_color(0, 255, 0);
    draw_oval(300, 100, 100, 60);
    set_color(255, 255, 0);
    draw_poly({600, 400, 700, 400, 650, 450});
    // text over a grey patch: the cells' empty pixels must leave it showing
    set_color(64, 64, 64);
    draw_rect(496, 296, 120, 24);
    set_color(0, 128, 255);
    draw_text(reference_text, 500, 300);
    // and twice as large: every glyph pixel a 2 x 2 block
    set_color(64, 64, 64);
    draw_rect(96, 496, 216, 40);
    set_color(0, 128, 255);
    set_scale(2, 2);
    draw_text(reference_text, 100, 500);
    set_scale(1, 1);
}

// each shape over the ones drawn before it: fills over lines, lines over
// fills, a line over the end pixel of a line of another colour, a fill over
// text, a huge oval over a line
void draw_overlaps() {
    clear_screen();
    set_color(255, 0, 0);
    draw_rect(100, 100, 200, 100);
    set_color(255, 255, 255);
    draw_line(80, 150, 319, 150, 1);
    set_color(0, 255, 0);
    draw_rect(180, 120, 40, 60);
    set_color(0, 0, 255);
    draw_line(200, 90, 200, 209, 1);
    // white then red, meeting at (500, 300): the red line comes last
    set_color(255, 255, 255);
    draw_line(400, 300, 500, 300, 1);
    set_color(255, 0, 0);
    draw_line(500, 300, 500, 400, 1);
    // a line whose end pixel a fill then covers
    set_color(255, 255, 255);
    draw_line(600, 100, 600, 150, 1);
    set_color(255, 255, 0);
    draw_rect(590, 140, 20, 20);
    // text over a grey patch, its right part covered by a fill
    set_color(64, 64, 64);
    draw_rect(400, 100, 120, 24);
    set_color(0, 128, 255);
    draw_text(reference_text, 404, 104);
    set_color(255, 0, 255);
    draw_rect(420, 100, 20, 24);
    // an oval far larger than the window, of more points than are gathered,
    // between two lines: centre (2800, 600), radius 2100
    set_color(255, 255, 255);
    draw_line(720, 240, 720, 650, 1);
    set_color(0, 255, 255);
    draw_oval(700, -1500, 4200, 4200);
    set_color(0, 0, 255);
    draw_line(690, 600, 760, 600, 1);
}

void print_text_mask(const std::string& text) {
    for (int y = 0; y < glyph_height; ++y) {
        std::string row;
        for (char c : text)
            for (int x = 0; x < glyph_width; ++x) row += glyph_pixel(c, x, y) ? '#' : '.';
        std::printf("%s\n", row.c_str());
    }
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    std::string what = argc > 1 ? argv[1] : "shapes";
    if (what == "mask" && argc > 2) {
        print_text_mask(argv[2]);
        return 0;
    }
    auto be = make_sdl_backend();
    use_backend(be.get());
    std::string why;
    if (!open_graphics(frame_width, frame_height, 0, frames_per_second, why)) {
        std::fprintf(stderr, "Unable to set graphics mode\n%s\n", why.c_str());
        return 1;
    }
    set_window_title("Flopkin probe");
    if (what == "shapes") {
        print_text_mask(reference_text);
        do {
            draw_shapes();
            flip();
        } while (!key_down(key_escape));
    } else if (what == "order") {
        do {
            draw_overlaps();
            flip();
        } while (!key_down(key_escape));
    } else if (what == "pointer") {
        int last[3] = {-99999, -99999, -1};
        do {
            draw_shapes();
            flip();
            int now[3] = {mouse_x(), mouse_y(), mouse_down(1)};
            if (now[0] != last[0] || now[1] != last[1] || now[2] != last[2]) {
                std::printf("%d %d %d\n", now[0], now[1], now[2]);
                std::fflush(stdout);
                for (int i = 0; i < 3; ++i) last[i] = now[i];
            }
        } while (!key_down(key_escape));
    } else if (what == "open" || what == "save") {
        draw_shapes();
        flip();
        std::string chosen = request_file("Probe file:", "All Files:*;Flopkin files (.fkn):fkn", what == "save",
                                          argc > 2 ? argv[2] : "");
        std::printf("chosen=[%s]\n", chosen.c_str());
        // a second of frames after the dialog, long enough for a key held
        // through it to repeat: nothing pressed in the dialog may arrive here
        int escape_seen = 0;
        for (int i = 0; i < 60; ++i) {
            draw_shapes();
            flip();
            escape_seen |= key_down(key_escape) | key_hit(key_escape);
        }
        std::printf("escape_after=%d\npointer_after=%d %d\n", escape_seen, mouse_x(), mouse_y());
    } else {
        std::fprintf(stderr, "draw_probe: unknown mode '%s'\n", what.c_str());
        return 2;
    }
    use_backend(nullptr);
    return 0;
}
