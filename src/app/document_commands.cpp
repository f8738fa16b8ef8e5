// The document commands as the user meets them: the start-up document, Open,
// Add, Save and Save as, and the --output document at the end of a run. The
// format itself is in document_format.cpp.
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "app/app.hpp"
#include "files/document_folder.hpp"
#include "files/document_format.hpp"
#include "platform/files/file_system.hpp"
#include "platform/graphics.hpp"
#include "platform/base/random.hpp"
#include "platform/recovery/recovery_store.hpp"
#include "ui/menu.hpp"

namespace flopkin {

namespace {

// Grows the view so that it takes in every ball with a margin of the ball
// size plus 100 world units; the view never shrinks here.
void widen_view_to_balls(app& a) {
    float max_x = -9999999, min_x = 9999999, max_y = -9999999, min_y = 9999999;
    float margin = a.settings.ball_size + 100;  // the app's ball size, not each ball's radius
    for (ball_ref b : a.figure.balls.all()) {
        max_x = std::max(max_x, b->x + margin);
        min_x = std::min(min_x, b->x - margin);
        max_y = std::max(max_y, b->y + margin);
        min_y = std::min(min_y, b->y - margin);
    }
    a.view.view_right = std::max(a.view.view_right, max_x);
    a.view.view_left = std::min(a.view.view_left, min_x);
    a.view.view_top = std::min(a.view.view_top, min_y);
    a.view.view_bottom = std::max(a.view.view_bottom, max_y);
}

// The Save button reads "Saved!" or "Save failed!" for 60 frames; why a
// save failed (a full disk, a read-only folder) is told until the next press.
void show_save_result(app& a, bool saved, const std::string& path, const std::string& why) {
    a.menu->save_label = saved ? "Saved!" : "Save failed!";
    a.menu->save_message_frames = 60;
    if (!saved) a.tell("cannot save \"" + path + "\": " + why);
}

}  // namespace

void app::tell(const std::string& words) {
    notice.say(words);
    std::fprintf(stderr, "flopkin: %s\n", words.c_str());
}

bool app::start_up(std::string& error) {
    seed_rnd(loop.options.seed >= 0 ? static_cast<int>(loop.options.seed) : millisecs());
    // A document named on the command line opens as Open would, and the run
    // stops when it cannot be read or holds no figure. Otherwise the figure
    // the run was given to start with (the page's link), else the default
    // document, is added; either may well not exist, and one that cannot be
    // read says why and the next is tried. No window is open yet, so there
    // are no keys to flush.
    std::string said;
    if (!loop.options.document.empty()) {
        if (!read_document(true, loop.options.document, said)) {
            error = said;
            return false;
        }
        if (!said.empty()) tell(said);
    } else {
        for (const std::string& path : {loop.options.start_up_figure, default_document}) {
            std::error_code ignored;
            if (path.empty() || !std::filesystem::exists(path, ignored)) continue;
            bool added = read_document(false, path, said);
            if (!said.empty()) tell(said);
            if (added) break;
        }
    }
    number_balls();
    return true;
}

bool app::shut_down() {
    bool kept = true;
    std::string why;
    if (!loop.options.screenshot.empty() && !save_shown_frame(loop.options.screenshot, why)) {
        std::fprintf(stderr, "flopkin: cannot write \"%s\": %s\n", loop.options.screenshot.c_str(), why.c_str());
        kept = false;
    }
    recording_stats recorded;
    if (!stop_recording(why, recorded)) {
        std::fprintf(stderr, "flopkin: cannot write \"%s\": %s\n", loop.options.record.c_str(), why.c_str());
        kept = false;
    }
    // how long the frame loop waited for the clip's encoder
    if (loop.options.stats && !loop.options.record.empty())
        std::fprintf(stderr, "record_frames=%lld record_waits=%lld record_wait_ms=%.3f\n", recorded.frames,
                     recorded.waits, recorded.waited_ms);
    if (loop.options.output.empty()) return kept;
    number_balls();
    if (write_document(loop.options.output, why)) return kept;
    std::fprintf(stderr, "flopkin: cannot write \"%s\": %s\n", loop.options.output.c_str(), why.c_str());
    return false;
}

void app::load_document(bool replace, const std::string& path) {
    number_balls();  // the balls already here carry 1 to m, which Add's records build on
    std::string chosen = path;
    if (chosen.empty()) chosen = request_file("Open file:", "All Files:*;Flopkin files (.fkn):fkn", false, "");
    // a cancelled requester changes nothing; a file that cannot be read
    // changes nothing either, and says why
    std::string said;
    if (!chosen.empty()) read_document(replace, chosen, said);
    if (!said.empty()) tell(said);
    flush_keys();
    number_balls();
}

// The whole file is read before the figure is touched, so a file that
// fails half-way, or is no figure, leaves the figure and the document path
// as they were.
bool app::read_document(bool replace, const std::string& path, std::string& said) {
    ball_numbers numbers;
    int base = 0;
    if (!replace) {
        for (ball_ref b : figure.balls.all()) numbers[b->number] = b;
        base = static_cast<int>(figure.balls.count());
    }
    figure_records records;
    read_outcome outcome = read_figure_file(path, path, base, std::move(numbers), records, said);
    if (outcome == read_outcome::failed || outcome == read_outcome::not_a_figure) return false;
    bool cut_short = outcome == read_outcome::cut_short;

    if (replace) {
        // an unsaved figure of some run is no document, and a damaged file is
        // not to be written over: Save asks for a name
        bool no_name = cut_short || (unsaved.recovery && unsaved.recovery->holds(path));
        document.path = no_name ? "" : path;
        document.restored_from.clear();
        figure.clear();
    }
    for (ball_ref& b : records.balls) figure.balls.add_last(std::move(b));
    for (link_ref& l : records.links) figure.links.add_last(std::move(l));
    for (tension_ref& t : records.tensions) figure.tensions.add_last(std::move(t));

    widen_view_to_balls(*this);
    fit_view();
    fit_view();
    label_figures();
    return true;
}

void app::save_document() {
    number_balls();
    if (mode == figure_mode::draw) build_tensions();  // the saved tensions match the drawn links
    if (document.path.empty()) {
        save_document_as();
        return;
    }
    std::string why;
    show_save_result(*this, write_document(document.path, why), document.path, why);
    number_balls();
}

void app::save_document_as() {
    number_balls();
    if (mode == figure_mode::draw) build_tensions();
    flush_keys();
    create_folder(document_folder);  // only the last element; a failure shows when writing
    std::string chosen =
        request_file("Save as:", "", true, document.path.empty() ? untitled_document : document.path);
    // cancelling is no failure; a chosen name that cannot be written is
    std::string why;
    if (!chosen.empty() && !write_document(chosen, why)) show_save_result(*this, false, chosen, why);
    flush_keys();
    number_balls();
}

// The old file stays whole until the new content is complete on disk; the
// document path follows only a write that succeeded.
bool app::write_document(const std::string& path, std::string& why) {
    // the runs' unsaved figures there are removed as newer ones come
    if (unsaved.recovery && unsaved.recovery->holds(path)) {
        why = "the folder of unsaved figures keeps no documents: choose another folder";
        return false;
    }
    if (!replace_file(path, [this](stream& out) { write_figure(out, figure); }, why)) return false;
    if (!keep_file(path, why)) return false;
    document.path = path;
    // this figure is safe now: it needs no recovery figure, and the ended
    // run's figure it was restored from is saved too
    mark_figure_kept();
    if (unsaved.recovery) {
        unsaved.recovery->discard();
        if (!document.restored_from.empty()) unsaved.recovery->forget(document.restored_from);
    }
    document.restored_from.clear();
    return true;
}

}  // namespace flopkin
