#pragma once
// Undo and redo: whole figures kept as flat arrays, one for each user action
// that changed the figure. A step holds the figure as it stood just before
// the action; undoing puts it back and keeps the figure it replaced for redo.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "editing/figure_editing.hpp"
#include "physics/constants.hpp"
#include "physics/figure.hpp"
#include "physics/view.hpp"

namespace flopkin {

// What the history keeps of the app and gives back to it: the figure, and
// the mode, the gestures, the view and the document path that go with it.
struct figure_scene {
    flopkin::figure& figure;
    figure_mode& mode;
    editing_fields& editing;
    view_fields& view;
    std::string& document_path;
};

// A list's elements as records in chunks of a fixed count. A chunk that comes
// out the same as the one at its place in the step before is shared with it:
// between two steps of a big figure most of it stays as it was, and only what
// changed takes new memory.
template <class record>
struct record_chunks {
    static constexpr std::size_t per_chunk = 1024;
    std::vector<std::shared_ptr<const std::vector<record>>> chunks;
    std::size_t count = 0;
};

// One figure with everything undo gives back: every ball, link and tension
// with all their fields and their list order, the mode, the selection and
// the view. Links and tensions name their balls by place in `balls`.
struct figure_state {
    struct link_record {
        std::int32_t end_a, end_b;
        float rest_length, width;
        std::int32_t colour[3];
    };
    struct tension_record {
        std::int32_t end_a, vertex, end_b;
        float rest_angle, strength;
    };

    record_chunks<ball> balls;  // each ball whole, as it stood
    record_chunks<link_record> links;
    record_chunks<tension_record> tensions;
    int selected = -1;          // place in `balls`; -1 = none
    figure_mode mode = figure_mode::draw;
    view_fields view;           // its edges, centre and zoom
    std::string document_path;  // the document the figure belonged to
    // the step's action changed the document path (Open): undoing or redoing
    // it gives the path back too, which no other step touches
    bool changes_document = false;
    std::uint64_t id = 0;       // which figure of the history this is
    // the lists' stamps when captured: while a list keeps its stamp and the
    // balls before it are still first in the same order, its elements name
    // the same places as before
    std::uint64_t link_stamp = 0, tension_stamp = 0;

    // as if nothing were shared, so that the history never holds more than it counts
    std::size_t bytes() const;
};

// The kept figure's balls, links and tensions as new objects in `f`, in the
// kept order; the balls made, by place. Links are copies of `blank` with the
// kept fields (a new link would draw its colour from the generator, which
// belongs to the main thread); without one the links are left out. Touches
// nothing but `f`, so it may run on any thread.
std::vector<ball_ref> rebuild_figure(figure& f, const figure_state& s, const link* blank);

class figure_history {
public:
    static constexpr std::size_t default_steps = 100;
    static constexpr std::size_t default_bytes = std::size_t{256} << 20;

    explicit figure_history(std::size_t max_steps = default_steps, std::size_t max_bytes = default_bytes)
        : max_steps_(max_steps), max_bytes_(max_bytes) {}

    // the figure as it stands, sharing what did not change with the figure
    // captured before it
    figure_state capture(const figure_scene& a);
    // a new step: the figure as it stood before an action; the redo steps go
    void keep(figure_state before);
    // false, and nothing changes, when there is nothing to undo or redo
    bool undo(const figure_scene& a);
    bool redo(const figure_scene& a);

    // names the figure the app holds now: it changes with every new step
    // and comes back with the figure when an undo or redo returns to it
    std::uint64_t figure_id() const { return figure_id_; }
    std::size_t undo_steps() const { return undo_.size(); }
    std::size_t redo_steps() const { return redo_.size(); }
    std::size_t bytes() const { return bytes_; }

private:
    bool step_back_or_forth(std::deque<figure_state>& from, std::deque<figure_state>& to, const figure_scene& a);
    void push(std::deque<figure_state>& to, figure_state state);
    figure_state pop(std::deque<figure_state>& from);
    void trim();

    std::deque<figure_state> undo_, redo_;
    figure_state last_;              // the figure captured last, which the next capture shares from
    std::vector<ball*> last_order_;  // its balls, in list order
    std::size_t max_steps_, max_bytes_;
    std::size_t bytes_ = 0;
    std::uint64_t figure_id_ = 0;
    std::uint64_t last_id_ = 0;
};

}  // namespace flopkin
