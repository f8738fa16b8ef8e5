#include "app/app.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "platform/graphics.hpp"
#include "platform/base/random.hpp"
#include "platform/termination.hpp"
#include "ui/menu.hpp"
#include "physics/relaxation.hpp"

namespace flopkin {

app::app() : menu(std::make_unique<flopkin::menu>()) {
    // the buttons stand from the start, to be found and polled before the first frame
    layout_menu();
    loop.frame_ms.reserve(1 << 16);
}

app::~app() = default;

namespace {

// with a team that sizes itself, how many frames ran on how many threads
void print_team_frames(const relaxation::team_frames& f) {
    if (f.shared + f.changing == 0) return;
    std::fprintf(stderr, "frames_on_1_thread=%ld frames_on_%d_threads=%ld frames_changing=%ld\n", f.alone, f.members,
                 f.shared, f.changing);
}

void print_stats(std::vector<double> ms) {
    if (ms.empty()) {
        std::fprintf(stderr, "frames=0 mean_ms=0 median_ms=0 p99_ms=0 max_ms=0\n");
        return;
    }
    double sum = 0;
    for (double m : ms) sum += m;
    std::sort(ms.begin(), ms.end());
    auto at = [&](double q) { return ms[std::min(ms.size() - 1, static_cast<std::size_t>(q * (ms.size() - 1) + 0.5))]; };
    std::fprintf(stderr, "frames=%zu mean_ms=%.3f median_ms=%.3f p99_ms=%.3f max_ms=%.3f\n", ms.size(),
                 sum / ms.size(), at(0.5), at(0.99), ms.back());
}

}  // namespace

int app::run(const run_options& opts) {
    loop.options = opts;
    figure.relax->use_threads(loop.options.threads);
    loop.collide = loop.options.collide;
    // frame times kept for --stats take no allocation in the frames
    if (loop.options.stats && loop.options.frames > 0)
        loop.frame_ms.reserve(static_cast<std::size_t>(loop.options.frames));
    // a run in a window until the person or the session ends it keeps its
    // unsaved figure; a batch run keeps none
    bool keeps_figure = !loop.options.headless && loop.options.frames < 0;
    if (keeps_figure) unsaved.recovery = current_backend().recovery();
    std::string error;
    if (!start_up(error)) {
        std::fprintf(stderr, "flopkin: %s\n", error.c_str());
        return 2;
    }
    std::string why;
    // kept from the first frame on, so even a run of no frames has one to write
    if (!loop.options.screenshot.empty()) keep_shown_frames();
    if (!loop.options.record.empty() &&
        !start_recording(loop.options.record, loop.options.record_every, view.screen_width, view.screen_height, why)) {
        std::fprintf(stderr, "flopkin: cannot write \"%s\": %s\n", loop.options.record.c_str(), why.c_str());
        return 1;
    }
    if (!open_graphics(view.screen_width, view.screen_height, 0, frames_per_second, why)) {
        std::fprintf(stderr, "Unable to set graphics mode\n%s\n", why.c_str());
        return 1;
    }
    if (loop.options.unpaced) unpace_frames();
    set_window_title("Flopkin");
    if (!loop.options.headless) catch_terminate_signal();
    unsaved.tell_earlier_figures(notice);
    if (loop.options.frames != 0)
        while (run_frame()) {
        }
    // the --output document first: a figure written there is saved
    bool kept = shut_down();
    if (keeps_figure) keep_unsaved_figure();
    if (loop.options.stats) {
        print_stats(loop.frame_ms);
        print_team_frames(figure.relax->frames_of_team());
    }
    return kept ? 0 : 1;
}

bool app::run_frame() {
    double started = fine_seconds();
    if (loop.options.frames > 0 && loop.frames_run + 1 == loop.options.frames) last_frame_begins();
    clear_screen();
    force_draw_mode_if_empty();
    fit_view();
    drop_far_balls();
    draw_grid();
    handle_commands();
    if (loop.quit_requested) return false;
    // the top of the frame or the commands' end may have forced draw mode
    if (mode == figure_mode::draw) loop.paused = false;
    drift_palette();
    // read in either mode, so that no press of play mode is left to act in draw mode
    flopkin::note_presses(editing, mode == figure_mode::draw);
    if (mode == figure_mode::draw) flopkin::move_ball_step(figure, view, editing, [this] { before_edit(); });
    if (mode == figure_mode::draw) place_ball_step();
    // a ball being moved is no link's start
    if (mode == figure_mode::draw && !editing.moved) link_step();
    // paused: no step, but a grabbed ball still follows the pointer
    if (loop.paused && !loop.step_once)
        drag_step();
    else
        simulation_step();
    loop.step_once = false;
    // a figure whose constraints blew up within the step is dropped now, as it
    // would be at the next frame's start, so that no position that is not a
    // number is drawn, picked or left in the figure between frames; far but
    // finite balls wait for the next frame's check
    drop_lost_balls();
    keep_recovery_figure();
    draw_figure();
    if (loop.paused) {
        int grey = grid_grey();
        set_color(grey, grey, grey);
        draw_text("Paused", 6, 4);
    }
    if (loop.collide) {
        int grey = grid_grey();
        set_color(grey, grey, grey);
        draw_text("Collide", 6, loop.paused ? 4 + glyph_height + 4 : 4);
    }
    // the notice takes the line below "Paused", and below "Collide" while figures collide
    notice.show(grid_grey(), loop.collide ? 2 : 1, restore_by());
    layout_menu();
    menu->draw();
    if (loop.options.stats) loop.frame_ms.push_back((fine_seconds() - started) * 1000.0);
    flip();
    if (!loop.options.record.empty()) record_shown_frame();
    ++loop.frames_run;
    // a tap of Escape that began and ended within the frame counts as held
    // (the presses are read first, so that none is left for the next frame)
    if (key_hit(key_escape) > 0 || key_down(key_escape)) return false;
    if (terminate_requested()) return false;
    return loop.options.frames < 0 || loop.frames_run < loop.options.frames;
}

void app::force_draw_mode_if_empty() {
    if (figure.balls.is_empty()) mode = figure_mode::draw;
}

void app::drop_far_balls() { figure.remove_beyond(far_limit); }

void app::drop_lost_balls() { figure.remove_beyond(std::numeric_limits<float>::max()); }

void app::drift_palette() {
    for (int i = 0; i < palette.size; ++i) {
        for (int j = 0; j < 3; ++j) {
            int& step = palette.step[i][j];
            int& value = palette.colour[i][j];
            if (rnd(0, 1000) > 990) step = -step;
            if (value >= 253) step = -2;
            if (value <= 3) step = 2;
            value += step;
        }
    }
}

}  // namespace flopkin
