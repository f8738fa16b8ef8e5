#include "app/history.hpp"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <type_traits>
#include <utility>

#include "platform/base/random.hpp"

namespace flopkin {

// a ball is kept by copying it whole, so it must hold no references; links and
// tensions are kept field by field, so a field added to them needs its place here
static_assert(std::is_trivially_copyable_v<ball>, "a ball is kept in the history by plain copy");
namespace {
// the fields the history keeps, as links and tensions have them now
struct kept_link_fields {
    ball_ref end_a, end_b;
    float rest_length, width;
    int colour[3];
};
struct kept_tension_fields {
    ball_ref end_a, vertex, end_b;
    float rest_angle, strength;
};
}  // namespace
static_assert(sizeof(link) == sizeof(kept_link_fields) && sizeof(tension) == sizeof(kept_tension_fields),
              "every link and tension field needs its place in figure_state");
// records are compared byte for byte, so they must have no padding
static_assert(sizeof(figure_state::link_record) == 28 && sizeof(figure_state::tension_record) == 20);

namespace {

template <class record>
std::size_t bytes_of(const record_chunks<record>& r) {
    return r.count * sizeof(record) + r.chunks.size() * (sizeof(std::vector<record>) + 32);
}

// Fills the chunks of one list. A full chunk is built in a buffer that stays
// in the cache; when it equals the chunk at its place before, that chunk is
// shared, otherwise it is copied out to memory of its own.
template <class record>
class chunk_writer {
public:
    chunk_writer(record_chunks<record>& out, const record_chunks<record>& before) : out_(out), before_(before) {
        out_.chunks.clear();
        out_.count = 0;
        buffer_.reserve(record_chunks<record>::per_chunk);
    }
    ~chunk_writer() {
        if (!buffer_.empty()) close_chunk();
    }
    void add(const record& r) {
        buffer_.push_back(r);
        ++out_.count;
        if (buffer_.size() == record_chunks<record>::per_chunk) close_chunk();
    }

private:
    void close_chunk() {
        std::size_t at = out_.chunks.size();
        if (at < before_.chunks.size()) {
            const auto& old = before_.chunks[at];
            if (old->size() == buffer_.size() && std::memcmp(old->data(), buffer_.data(), buffer_.size() * sizeof(record)) == 0) {
                out_.chunks.push_back(old);
                buffer_.clear();
                return;
            }
        }
        out_.chunks.push_back(std::make_shared<const std::vector<record>>(buffer_));
        buffer_.clear();
    }

    record_chunks<record>& out_;
    const record_chunks<record>& before_;
    std::vector<record> buffer_;
};

template <class record>
const record& record_at(const record_chunks<record>& r, std::size_t i) {
    return (*r.chunks[i / record_chunks<record>::per_chunk])[i % record_chunks<record>::per_chunk];
}

template <class record, class each>
void for_each_record(const record_chunks<record>& r, each act) {
    for (const auto& chunk : r.chunks)
        for (const record& x : *chunk) act(x);
}

// Walks a list in order and adds each element's record to `out`; ahead(i)
// asks early for what the walk will read at i and after.
template <class element, class record, class look_ahead, class make_record>
void capture_list(const object_list<element>& list, record_chunks<record>& out, const record_chunks<record>& before,
                  look_ahead ahead, make_record make) {
    chunk_writer<record> writer(out, before);
    for (std::size_t i = 0; i < list.slot_count(); ++i) {
        ahead(i);
        element* e = list.slot(i).get();
        if (e) writer.add(make(*e));
    }
}

// The listed balls in list order. While the links and tensions are read,
// each one's slot field names its place; it gets its own value back after.
class ball_places {
public:
    explicit ball_places(std::size_t count) {
        placed_.reserve(count);
        slots_.reserve(count);
    }
    void place(ball& b) {
        slots_.push_back(b.slot);
        b.slot = static_cast<int>(placed_.size());
        placed_.push_back(&b);
    }
    std::int32_t of(const ball* b) const {
        if (!b || b->slot < 0 || static_cast<std::size_t>(b->slot) >= placed_.size()) return -1;
        return placed_[b->slot] == b ? b->slot : -1;
    }
    const std::vector<ball*>& order() const { return placed_; }
    // every ball's own slot back; the balls in list order
    std::vector<ball*> give_back() {
        for (std::size_t i = 0; i < placed_.size(); ++i) placed_[i]->slot = slots_[i];
        return std::move(placed_);
    }

private:
    std::vector<ball*> placed_;
    std::vector<int> slots_;
};

// The records of a list as the step before kept them, handed out in order
// while the list holds the same elements; otherwise fresh ones, whose ends
// name_ends fills in.
template <class record>
class records_before {
public:
    records_before(const record_chunks<record>& before, bool same) : before_(before), same_(same) {}
    template <class name_ends>
    record next(name_ends ends) {
        if (!same_) {
            record r;
            ends(r);
            return r;
        }
        assert(next_ < before_.count);
        return record_at(before_, next_++);
    }
    bool all_read() const { return !same_ || next_ == before_.count; }

private:
    const record_chunks<record>& before_;
    bool same_;
    std::size_t next_ = 0;
};

// With the balls of the step before still first in the same order and a
// list's stamp unchanged, its elements are the same as before: their ends are
// read from the step before instead of from every end ball in memory (balls
// only added, as drawing adds them, or only moved, as play mode moves them).
void capture_links(const figure& f, figure_state& s, const figure_state& before, const ball_places& places, bool same) {
    const object_list<link>& links = f.links;
    auto ahead = [&](std::size_t i) {
        if (i + 64 < links.slot_count()) __builtin_prefetch(links.slot(i + 64).get());
    };
    records_before<figure_state::link_record> kept(before.links, same);
    capture_list(links, s.links, before.links, ahead, [&](const link& l) {
        figure_state::link_record r = kept.next([&](figure_state::link_record& fresh) {
            fresh.end_a = places.of(l.end_a.get());
            fresh.end_b = places.of(l.end_b.get());
        });
        r.rest_length = l.rest_length;
        r.width = l.width;
        for (int c = 0; c < 3; ++c) r.colour[c] = l.colour[c];
        return r;
    });
    assert(kept.all_read());
}

void capture_tensions(const figure& f, figure_state& s, const figure_state& before, const ball_places& places,
                      bool same) {
    const object_list<tension>& tensions = f.tensions;
    // each tension is three reads of balls far apart in memory: the tensions
    // ahead are asked for early, so the reads overlap instead of queueing
    constexpr std::size_t ahead = 16;
    const std::size_t n = tensions.slot_count();
    auto look_ahead = [&](std::size_t i) {
        if (same) {
            if (i + 4 * ahead < n) __builtin_prefetch(tensions.slot(i + 4 * ahead).get());
            return;
        }
        if (i + 2 * ahead < n) __builtin_prefetch(tensions.slot(i + 2 * ahead).get());
        if (i + ahead < n)
            if (const tension* next = tensions.slot(i + ahead).get()) {
                __builtin_prefetch(&next->end_a->slot);
                __builtin_prefetch(&next->vertex->slot);
                __builtin_prefetch(&next->end_b->slot);
            }
    };
    records_before<figure_state::tension_record> kept(before.tensions, same);
    capture_list(tensions, s.tensions, before.tensions, look_ahead, [&](const tension& t) {
        figure_state::tension_record r = kept.next([&](figure_state::tension_record& fresh) {
            fresh.end_a = places.of(t.end_a.get());
            fresh.vertex = places.of(t.vertex.get());
            fresh.end_b = places.of(t.end_b.get());
        });
        r.rest_angle = t.rest_angle;
        r.strength = t.strength;
        return r;
    });
    assert(kept.all_read());
}

// `order` holds the balls of `before` in list order, and is given the new ones
void capture_figure(const figure_scene& a, figure_state& s, const figure_state& before, std::vector<ball*>& order) {
    const object_list<ball>& balls = a.figure.balls;
    ball_places places(balls.count());
    auto ahead = [&](std::size_t i) {
        if (i + 16 < balls.slot_count()) __builtin_prefetch(balls.slot(i + 16).get());
    };
    capture_list(balls, s.balls, before.balls, ahead, [&](ball& b) {
        const ball kept = b;
        places.place(b);
        return kept;
    });
    s.link_stamp = a.figure.links.stamp();
    s.tension_stamp = a.figure.tensions.stamp();
    const std::vector<ball*>& placed = places.order();
    bool same_balls = order.size() <= placed.size() && std::equal(order.begin(), order.end(), placed.begin());
    capture_links(a.figure, s, before, places, same_balls && before.link_stamp == s.link_stamp);
    capture_tensions(a.figure, s, before, places, same_balls && before.tension_stamp == s.tension_stamp);
    s.selected = places.of(a.editing.selected.get());
    assert(s.balls.count == placed.size());
    order = places.give_back();

    s.mode = a.mode;
    s.view = a.view;
    s.document_path = a.document_path;
}

// makes the app's figure the kept one: new objects in the kept order; the
// pointer state (a link or a grab in progress) is let go
void restore_figure(const figure_scene& a, const figure_state& s) {
    // links are copies of one blank link: a new link draws its colour from
    // the generator, and an undo is to cost it three numbers, not thousands
    link blank(rand);
    std::vector<ball_ref> made = rebuild_figure(a.figure, s, &blank);
    a.editing.selected = s.selected >= 0 ? made[s.selected] : nullptr;
    a.editing.dragged.reset();
    a.editing.link_start.reset();
    a.editing.link_drag_active = false;
    a.editing.moved.reset();

    a.mode = s.mode;
    a.view = s.view;
    if (s.changes_document) a.document_path = s.document_path;
}

}  // namespace

std::vector<ball_ref> rebuild_figure(figure& f, const figure_state& s, const link* blank) {
    f.balls.clear();
    f.links.clear();
    f.tensions.clear();
    std::vector<ball_ref> made;
    made.reserve(s.balls.count);
    for_each_record(s.balls, [&](const ball& kept) {
        made.push_back(std::make_shared<ball>(kept));
        f.balls.add_last(made.back());
    });
    // an end that was not a listed ball when kept leaves its element out, so
    // every link and tension names listed balls
    for_each_record(s.links, [&](const figure_state::link_record& r) {
        if (r.end_a < 0 || r.end_b < 0 || !blank) return;
        auto l = std::make_shared<link>(*blank);
        l->end_a = made[r.end_a];
        l->end_b = made[r.end_b];
        l->rest_length = r.rest_length;
        l->width = r.width;
        for (int c = 0; c < 3; ++c) l->colour[c] = r.colour[c];
        f.links.add_last(std::move(l));
    });
    for_each_record(s.tensions, [&](const figure_state::tension_record& r) {
        if (r.end_a < 0 || r.vertex < 0 || r.end_b < 0) return;
        auto t = std::make_shared<tension>();
        t->end_a = made[r.end_a];
        t->vertex = made[r.vertex];
        t->end_b = made[r.end_b];
        t->rest_angle = r.rest_angle;
        t->strength = r.strength;
        f.tensions.add_last(std::move(t));
    });
    return made;
}

std::size_t figure_state::bytes() const {
    return sizeof(figure_state) + document_path.size() + bytes_of(balls) + bytes_of(links) + bytes_of(tensions);
}

figure_state figure_history::capture(const figure_scene& a) {
    figure_state s;
    capture_figure(a, s, last_, last_order_);
    last_ = s;
    return s;
}

void figure_history::keep(figure_state before) {
    while (!redo_.empty()) pop(redo_);
    before.id = figure_id_;
    push(undo_, std::move(before));
    figure_id_ = ++last_id_;
    trim();
}

bool figure_history::undo(const figure_scene& a) { return step_back_or_forth(undo_, redo_, a); }

bool figure_history::redo(const figure_scene& a) { return step_back_or_forth(redo_, undo_, a); }

// the figure as it stands goes onto `to`, the last step of `from` becomes it
bool figure_history::step_back_or_forth(std::deque<figure_state>& from, std::deque<figure_state>& to,
                                        const figure_scene& a) {
    if (from.empty()) return false;
    figure_state now = capture(a);
    now.id = figure_id_;
    figure_state then = pop(from);
    now.changes_document = then.changes_document;
    restore_figure(a, then);
    figure_id_ = then.id;
    push(to, std::move(now));
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
        from.pop_front();
    }
}

}  // namespace flopkin
