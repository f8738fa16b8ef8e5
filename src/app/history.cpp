#include "app/history.hpp"

#include <type_traits>
#include <utility>

#include "app/app.hpp"

namespace flopkin {

// a ball is kept by copying it whole, so it must hold no references; links and
// tensions are kept field by field, so a field added to them needs its place here
static_assert(std::is_trivially_copyable_v<ball>, "a ball is kept in the history by plain copy");
static_assert(sizeof(link) == 64 && sizeof(tension) == 56, "every link and tension field needs its place in figure_state");

std::size_t figure_state::bytes() const {
    return sizeof(figure_state) + balls.capacity() * sizeof(ball) + link_ends.capacity() * sizeof(std::int32_t) +
           links.capacity() * sizeof(link_values) + tension_ends.capacity() * sizeof(std::int32_t) +
           tensions.capacity() * sizeof(tension_values);
}

void capture_figure(app& a, figure_state& s) {
    s.balls.clear();
    s.link_ends.clear();
    s.links.clear();
    s.tension_ends.clear();
    s.tensions.clear();
    // each listed ball's slot field names its place while the links and
    // tensions are read, and gets its own value back afterwards
    std::vector<ball*> placed;
    placed.reserve(a.balls.count());
    s.balls.reserve(a.balls.count());
    for (std::size_t i = 0; i < a.balls.slot_count(); ++i) {
        ball* b = a.balls.slot(i).get();
        if (!b) continue;
        s.balls.push_back(*b);
        b->slot = static_cast<int>(placed.size());
        placed.push_back(b);
    }
    auto place_of = [&](const ball* b) -> std::int32_t {
        if (!b || b->slot < 0 || static_cast<std::size_t>(b->slot) >= placed.size()) return -1;
        return placed[b->slot] == b ? b->slot : -1;
    };

    s.link_ends.reserve(2 * a.links.count());
    s.links.reserve(a.links.count());
    for (std::size_t i = 0; i < a.links.slot_count(); ++i) {
        const link* l = a.links.slot(i).get();
        if (!l) continue;
        s.link_ends.push_back(place_of(l->end_a.get()));
        s.link_ends.push_back(place_of(l->end_b.get()));
        s.links.push_back({l->rest_length, l->width, {l->colour[0], l->colour[1], l->colour[2]}});
    }
    s.tension_ends.reserve(3 * a.tensions.count());
    s.tensions.reserve(a.tensions.count());
    // each tension is three reads of balls far apart in memory: the tensions
    // ahead are asked for early, so the reads overlap instead of queueing
    constexpr std::size_t ahead = 8;
    for (std::size_t i = 0; i < a.tensions.slot_count(); ++i) {
        if (i + 2 * ahead < a.tensions.slot_count()) __builtin_prefetch(a.tensions.slot(i + 2 * ahead).get());
        if (i + ahead < a.tensions.slot_count())
            if (const tension* next = a.tensions.slot(i + ahead).get()) {
                __builtin_prefetch(&next->end_a->slot);
                __builtin_prefetch(&next->vertex->slot);
                __builtin_prefetch(&next->end_b->slot);
            }
        const tension* t = a.tensions.slot(i).get();
        if (!t) continue;
        s.tension_ends.push_back(place_of(t->end_a.get()));
        s.tension_ends.push_back(place_of(t->vertex.get()));
        s.tension_ends.push_back(place_of(t->end_b.get()));
        s.tensions.push_back({t->rest_angle, t->strength});
    }
    s.selected = place_of(a.selected.get());
    for (std::size_t i = 0; i < placed.size(); ++i) placed[i]->slot = s.balls[i].slot;

    s.mode = a.mode;
    s.view_left = a.view_left;
    s.view_right = a.view_right;
    s.view_top = a.view_top;
    s.view_bottom = a.view_bottom;
    s.view_cx = a.view_cx;
    s.view_cy = a.view_cy;
    s.zoom = a.zoom;
}

void restore_figure(app& a, const figure_state& s) {
    a.balls.clear();
    a.links.clear();
    a.tensions.clear();
    std::vector<ball_ref> made(s.balls.size());
    for (std::size_t i = 0; i < made.size(); ++i) {
        made[i] = std::make_shared<ball>(s.balls[i]);
        made[i]->owner = &a;
        a.balls.add_last(made[i]);
    }
    // an end that was not a listed ball when kept leaves its element out, so
    // every link and tension names listed balls
    auto ball_at = [&](std::int32_t place) { return place >= 0 ? made[place] : nullptr; };
    // links are copies of one blank link: a new link draws its colour from
    // the generator, and an undo is to cost it three numbers, not thousands
    link blank;
    blank.owner = &a;
    for (std::size_t i = 0; i < s.links.size(); ++i) {
        ball_ref end_a = ball_at(s.link_ends[2 * i]), end_b = ball_at(s.link_ends[2 * i + 1]);
        if (!end_a || !end_b) continue;
        auto l = std::make_shared<link>(blank);
        l->end_a = std::move(end_a);
        l->end_b = std::move(end_b);
        l->rest_length = s.links[i].rest_length;
        l->width = s.links[i].width;
        for (int c = 0; c < 3; ++c) l->colour[c] = s.links[i].colour[c];
        a.links.add_last(std::move(l));
    }
    for (std::size_t i = 0; i < s.tensions.size(); ++i) {
        ball_ref end_a = ball_at(s.tension_ends[3 * i]), vertex = ball_at(s.tension_ends[3 * i + 1]),
                 end_b = ball_at(s.tension_ends[3 * i + 2]);
        if (!end_a || !vertex || !end_b) continue;
        auto t = std::make_shared<tension>();
        t->end_a = std::move(end_a);
        t->vertex = std::move(vertex);
        t->end_b = std::move(end_b);
        t->rest_angle = s.tensions[i].rest_angle;
        t->strength = s.tensions[i].strength;
        a.tensions.add_last(std::move(t));
    }
    a.selected = ball_at(s.selected);
    a.dragged.reset();
    a.link_end_balls[0].reset();
    a.link_end_balls[1].reset();
    a.link_drag_active = 0;

    a.mode = s.mode;
    a.view_left = s.view_left;
    a.view_right = s.view_right;
    a.view_top = s.view_top;
    a.view_bottom = s.view_bottom;
    a.view_cx = s.view_cx;
    a.view_cy = s.view_cy;
    a.zoom = s.zoom;
}

figure_state figure_history::capture(app& a) {
    figure_state s = std::move(spare_);
    spare_ = figure_state{};
    capture_figure(a, s);
    return s;
}

void figure_history::keep(figure_state before) {
    while (!redo_.empty()) let_go(pop(redo_));
    before.id = figure_id_;
    push(undo_, std::move(before));
    figure_id_ = ++last_id_;
    trim();
}

bool figure_history::undo(app& a) {
    if (undo_.empty()) return false;
    figure_state now = capture(a);
    now.id = figure_id_;
    figure_state back = pop(undo_);
    restore_figure(a, back);
    figure_id_ = back.id;
    let_go(std::move(back));
    push(redo_, std::move(now));
    trim();
    return true;
}

bool figure_history::redo(app& a) {
    if (redo_.empty()) return false;
    figure_state now = capture(a);
    now.id = figure_id_;
    figure_state again = pop(redo_);
    restore_figure(a, again);
    figure_id_ = again.id;
    let_go(std::move(again));
    push(undo_, std::move(now));
    trim();
    return true;
}

void figure_history::push(std::deque<figure_state>& to, figure_state state) {
    bytes_ += state.bytes();
    to.push_back(std::move(state));
}

figure_state figure_history::pop(std::deque<figure_state>& from) {
    figure_state state = std::move(from.back());
    from.pop_back();
    bytes_ -= state.bytes();
    return state;
}

// the oldest steps go first: the bottom of the undo steps, then the redo
// step farthest from the figure shown
void figure_history::trim() {
    while (undo_.size() + redo_.size() > max_steps_ || bytes_ > max_bytes_) {
        std::deque<figure_state>& from = undo_.empty() ? redo_ : undo_;
        if (from.empty()) break;
        bytes_ -= from.front().bytes();
        let_go(std::move(from.front()));
        from.pop_front();
    }
}

// the largest buffers are the ones worth keeping
void figure_history::let_go(figure_state state) {
    if (state.bytes() > spare_.bytes()) spare_ = std::move(state);
}

}  // namespace flopkin
