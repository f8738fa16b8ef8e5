// The figure outlives the run: while it holds changes the user has not
// saved, it is kept as the run's recovery figure, written in the background
// shortly after the changes and once more as the program ends, and offered
// at the next start-up by a notice in the canvas and the key R.
#include <cstdio>
#include <memory>
#include <optional>

#include "app/app.hpp"
#include "app/command_table.hpp"
#include "app/page_description.hpp"
#include "editing/figure_editing.hpp"
#include "files/document_format.hpp"
#include "platform/graphics.hpp"
#include "platform/recovery/recovery_store.hpp"

namespace flopkin {

// The figure is captured here, on the frame's thread; the writer rebuilds
// it, with its tensions built as Save builds them when it is in draw mode,
// and encodes it wherever it runs.
std::function<void(stream&)> app::figure_writer() {
    auto kept = std::make_shared<const figure_state>(history.capture(scene()));
    std::optional<link> blank;
    for (const auto& l : figure.links.all()) {
        blank = *l;
        break;
    }
    float strength = settings.angle_force;
    return [kept, blank, strength](stream& out) {
        flopkin::figure copy;
        rebuild_figure(copy, *kept, blank ? &*blank : nullptr);
        if (kept->mode == figure_mode::draw) flopkin::build_tensions(copy, strength);
        flopkin::number_balls(copy);
        write_figure(out, copy);
    };
}

bool app::figure_changed() const {
    return history.figure_id() != document.kept_figure || editing.hand_moves != document.kept_hand_moves;
}

void app::mark_figure_kept() {
    document.kept_figure = history.figure_id();
    document.kept_hand_moves = editing.hand_moves;
}

void unsaved_figure::tell_earlier_figures(notice_line& notice) {
    if (!recovery) return;
    std::vector<earlier_figure> earlier = recovery->earlier_figures();
    for (std::size_t i = 0; recovery->named_on_stderr() && i < earlier.size() && i < recovery_named_runs; ++i)
        std::fprintf(stderr, "flopkin: an unsaved figure of an earlier run is kept in \"%s\"\n",
                     earlier[i].path.c_str());
    // a start-up document that could not be read is told first
    if (!earlier.empty() && notice.text.empty()) notice.say("The unsaved figure of " + clock_time(earlier[0].kept_at) + " is kept", true);
}

// the key that restores, or in the page's touch layout the control, by its own label
std::string app::restore_by() {
    std::size_t row = command_row(&app::restore_command);
    if (loop.touch_layout) return "the " + touch_label(*this, row) + " button";
    return std::string(1, static_cast<char>(commands[row].keys[0].code));
}

bool unsaved_figure::saw_change(std::uint64_t figure_id, long long hand_moves, int now) {
    if (figure_id == seen_figure && hand_moves == seen_hand_moves) return false;
    seen_figure = figure_id;
    seen_hand_moves = hand_moves;
    last_change_ms = now;
    if (first_unkept_ms < 0) first_unkept_ms = now;
    return true;
}

// a figure that could not be kept is told of once, while it can still be saved
void unsaved_figure::tell_failure(notice_line& notice) {
    std::string failed = recovery->failure();
    if (!failed.empty() && !told_failure) {
        std::fprintf(stderr, "flopkin: the unsaved figure cannot be kept in \"%s\": %s\n", recovery->place().c_str(),
                     failed.c_str());
        notice.say("The unsaved figure cannot be kept: " + failed);
    }
    told_failure = !failed.empty();
}

bool unsaved_figure::due(int now) {
    if (first_unkept_ms < 0 ||
        (now - last_change_ms < recovery_quiet_ms && now - first_unkept_ms < recovery_longest_ms))
        return false;
    first_unkept_ms = -1;
    return true;
}

void app::keep_recovery_figure() {
    if (!unsaved.recovery) return;
    int now = millisecs();
    // a store that must tell whether a change is not yet kept learns of it at once
    if (unsaved.saw_change(history.figure_id(), editing.hand_moves, now) && figure_changed())
        unsaved.recovery->changed();
    unsaved.tell_failure(notice);
    // a figure opened, saved or undone back to one of those is kept elsewhere
    if (unsaved.due(now) && figure_changed() && !figure.balls.is_empty()) unsaved.recovery->keep(figure_writer());
}

void app::keep_unsaved_figure() {
    bool not_saved = figure_changed() && !figure.balls.is_empty();
    if (!unsaved.recovery) {
        if (not_saved)
            std::fprintf(stderr, "flopkin: the unsaved figure is lost: neither XDG_STATE_HOME nor HOME names a folder\n");
        return;
    }
    // an emptied figure leaves the figure kept before it in place
    if (not_saved)
        unsaved.recovery->keep(figure_writer());
    else if (!figure_changed())
        unsaved.recovery->discard();
    std::string why;
    bool kept = unsaved.recovery->settle(why);
    if (!not_saved) return;
    if (kept)
        std::fprintf(stderr, "flopkin: the unsaved figure was kept in \"%s\"\n", unsaved.recovery->place().c_str());
    else
        std::fprintf(stderr, "flopkin: the unsaved figure is lost: cannot write \"%s\": %s\n",
                     unsaved.recovery->place().c_str(), why.c_str());
}

}  // namespace flopkin
