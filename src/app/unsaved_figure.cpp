// The figure outlives the run: while it holds changes the user has not
// saved, it is kept as the run's recovery figure, written in the background
// shortly after the changes and once more as the program ends, and offered
// at the next start-up by a notice in the canvas and the key R.
#include <cstdio>
#include <memory>
#include <optional>

#include "app/app.hpp"
#include "editing/figure_editing.hpp"
#include "files/document_format.hpp"
#include "platform/graphics.hpp"
#include "platform/recovery_store.hpp"

namespace flopkin {

namespace {

// a change is kept once the figure has been still this long, and at the
// latest this long after the first change not kept while changes go on
constexpr int quiet_ms = 1000;
constexpr int longest_ms = 30000;
// earlier runs' figures named at start-up
constexpr std::size_t figures_named = 3;

}  // namespace

// The figure is captured here, on the frame's thread; the writer rebuilds
// it, with its tensions built as Save builds them when it is in draw mode,
// and encodes it wherever it runs.
std::function<void(stream&)> app::figure_writer() {
    auto kept = std::make_shared<const figure_state>(history.capture(*this));
    std::optional<link> blank;
    for (const auto& l : figure.links.all()) {
        blank = *l;
        break;
    }
    float strength = angle_force;
    return [kept, blank, strength](stream& out) {
        flopkin::figure copy;
        rebuild_figure(copy, *kept, blank ? &*blank : nullptr);
        if (kept->mode == draw_mode) flopkin::build_tensions(copy, strength);
        flopkin::number_balls(copy);
        write_figure(out, copy);
    };
}

bool app::figure_changed() const { return history.figure_id() != kept_figure || hand_moves != kept_hand_moves; }

void app::mark_figure_kept() {
    kept_figure = history.figure_id();
    kept_hand_moves = hand_moves;
}

void app::tell_earlier_figures() {
    if (!recovery) return;
    std::vector<earlier_figure> earlier = recovery->earlier_figures();
    for (std::size_t i = 0; recovery->named_on_stderr() && i < earlier.size() && i < figures_named; ++i)
        std::fprintf(stderr, "flopkin: an unsaved figure of an earlier run is kept in \"%s\"\n",
                     earlier[i].path.c_str());
    if (!earlier.empty())
        notice = "The unsaved figure of " + clock_time(earlier[0].kept_at) + " is kept: R restores it";
}

void app::show_notice() {
    if (notice.empty()) return;
    // any key, button or press takes it away
    for (int code = 1; code < 256; ++code)
        if (key_down(code)) {
            notice.clear();
            return;
        }
    int grey = grid_grey();
    set_color(grey, grey, grey);
    // below "Paused", and below "Collide" while figures collide
    draw_text(notice, 6, 4 + (glyph_height + 4) * (collide ? 2 : 1));
}

void app::keep_recovery_figure() {
    if (!recovery) return;
    int now = millisecs();
    if (history.figure_id() != seen_figure || hand_moves != seen_hand_moves) {
        seen_figure = history.figure_id();
        seen_hand_moves = hand_moves;
        last_change_ms = now;
        if (first_unkept_ms < 0) first_unkept_ms = now;
        // a store that must tell whether a change is not yet kept learns of it at once
        if (figure_changed()) recovery->changed();
    }
    // a figure that could not be kept is told of once, while it can still be saved
    std::string failed = recovery->failure();
    if (!failed.empty() && !told_failure) {
        std::fprintf(stderr, "flopkin: the unsaved figure cannot be kept in \"%s\": %s\n", recovery->place().c_str(),
                     failed.c_str());
        notice = "The unsaved figure cannot be kept: " + failed;
    }
    told_failure = !failed.empty();
    if (first_unkept_ms < 0 || (now - last_change_ms < quiet_ms && now - first_unkept_ms < longest_ms)) return;
    first_unkept_ms = -1;
    // a figure opened, saved or undone back to one of those is kept elsewhere
    if (figure_changed() && !figure.balls.is_empty()) recovery->keep(figure_writer());
}

void app::keep_unsaved_figure() {
    bool unsaved = figure_changed() && !figure.balls.is_empty();
    if (!recovery) {
        if (unsaved)
            std::fprintf(stderr, "flopkin: the unsaved figure is lost: neither XDG_STATE_HOME nor HOME names a folder\n");
        return;
    }
    // an emptied figure leaves the figure kept before it in place
    if (unsaved)
        recovery->keep(figure_writer());
    else if (!figure_changed())
        recovery->discard();
    std::string why;
    bool kept = recovery->settle(why);
    if (!unsaved) return;
    if (kept)
        std::fprintf(stderr, "flopkin: the unsaved figure was kept in \"%s\"\n", recovery->place().c_str());
    else
        std::fprintf(stderr, "flopkin: the unsaved figure is lost: cannot write \"%s\": %s\n",
                     recovery->place().c_str(), why.c_str());
}

}  // namespace flopkin
