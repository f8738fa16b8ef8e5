#include "files/document_format.hpp"

#include <cmath>
#include <cstdint>

#include "physics/each.hpp"
#include "platform/base/random.hpp"

namespace flopkin {

void write_figure(stream& out, const figure& f) {
    out.write_line(document_header);
    for_each_listed(f.balls, [&](const ball& b) {
        out.write_line(ball_marker);
        out.write_int(b.number);
        out.write_float(b.mass);
        out.write_float(b.x);
        out.write_float(b.y);
        out.write_float(b.radius);
        for (int c : b.colour) out.write_int(c);
    });
    for_each_listed(f.links, [&](const link& l) {
        if (!l.end_a || !l.end_b) return;  // an unset end has no number to write
        out.write_line(link_marker);
        out.write_int(l.end_a->number);
        out.write_int(l.end_b->number);
        out.write_float(l.rest_length);
        out.write_float(l.width);
        for (int c : l.colour) out.write_int(c);
    });
    for_each_listed(f.tensions, [&](const tension& t) {
        if (!t.end_a || !t.vertex || !t.end_b) return;
        out.write_line(tension_marker);
        out.write_int(t.end_a->number);
        out.write_int(t.vertex->number);
        out.write_int(t.end_b->number);
        out.write_float(t.rest_angle);
        out.write_float(t.strength);
    });
}

namespace {

// numbers wrap instead of overflowing: any int in the file is a valid number
int shifted(std::int32_t number, int base) {
    return static_cast<int>(static_cast<std::uint32_t>(number) + static_cast<std::uint32_t>(base));
}

ball_ref find(const ball_numbers& numbers, std::int32_t number, int base) {
    auto found = numbers.find(shifted(number, base));
    return found == numbers.end() ? nullptr : found->second;
}

// a ball record's fields, in the order they are written
struct ball_fields {
    std::int32_t number;
    float mass, x, y, radius;
    int colour[3];
};

// false when the record is cut short or its place is not finite: no ball stands
bool read_ball_fields(stream& in, ball_fields& f) {
    f.number = in.read_int();
    f.mass = in.read_float();
    f.x = in.read_float();
    f.y = in.read_float();
    f.radius = in.read_float();
    for (int& c : f.colour) c = in.read_int();
    return !in.ran_short() && std::isfinite(f.x) && std::isfinite(f.y);
}

void read_ball(stream& in, int base, ball_numbers& numbers, figure_records& records) {
    ball_fields f;
    if (!read_ball_fields(in, f)) return;

    int number = shifted(f.number, base);
    auto b = std::make_shared<ball>(rand);
    b->number = number;
    b->mass = std::isfinite(f.mass) && f.mass > 0 ? f.mass : 1.0f;
    b->x = b->old_x = f.x;
    b->y = b->old_y = f.y;
    b->radius = f.radius;
    for (int i = 0; i < 3; ++i) b->colour[i] = f.colour[i];
    numbers[number] = b;
    records.balls.push_back(std::move(b));
}

void read_link(stream& in, int base, const ball_numbers& numbers, figure_records& records) {
    ball_ref a = find(numbers, in.read_int(), base);
    ball_ref b = find(numbers, in.read_int(), base);
    float rest_length = in.read_float();
    float width = in.read_float();
    int colour[3];
    for (int& c : colour) c = in.read_int();
    if (in.ran_short() || !a || !b || !std::isfinite(rest_length)) return;

    auto l = std::make_shared<link>(rand);
    l->end_a = std::move(a);
    l->end_b = std::move(b);
    l->rest_length = rest_length;
    l->width = width;
    for (int i = 0; i < 3; ++i) l->colour[i] = colour[i];
    records.links.push_back(std::move(l));
}

void read_tension(stream& in, int base, const ball_numbers& numbers, figure_records& records) {
    ball_ref a = find(numbers, in.read_int(), base);
    ball_ref vertex = find(numbers, in.read_int(), base);
    ball_ref b = find(numbers, in.read_int(), base);
    float rest_angle = in.read_float();
    float strength = in.read_float();
    if (in.ran_short() || !a || !vertex || !b || !std::isfinite(rest_angle)) return;

    auto t = std::make_shared<tension>();
    t->end_a = std::move(a);
    t->vertex = std::move(vertex);
    t->end_b = std::move(b);
    t->rest_angle = rest_angle;
    t->strength = strength;
    records.tensions.push_back(std::move(t));
}

// Every record after the header, each read by the reader of its marker;
// whether the file is a document: it holds a record, or it is empty or the
// header alone (an empty figure). Any other file without a record is
// something else than a figure.
template <class Ball, class Link, class Tension>
bool read_records(stream& in, Ball on_ball, Link on_link, Tension on_tension) {
    const bool empty_file = in.at_end();
    const std::string header = in.read_line();  // whatever it holds, when records follow
    const bool header_alone = in.at_end() && header == document_header;
    bool any_record = false;
    // at least one pass, as an empty file still counts as read; a failed
    // stream reports itself at its end, so this cannot spin
    do {
        std::string line = in.read_line();
        if (line == ball_marker)
            on_ball();
        else if (line == link_marker)
            on_link();
        else if (line == tension_marker)
            on_tension();
        else
            continue;
        any_record = true;
    } while (!in.at_end());
    return any_record || empty_file || header_alone;
}

}  // namespace

read_outcome read_figure(stream& in, int base, ball_numbers numbers, figure_records& records) {
    const bool document =
        read_records(in, [&] { read_ball(in, base, numbers, records); }, [&] { read_link(in, base, numbers, records); },
                     [&] { read_tension(in, base, numbers, records); });
    if (in.failed()) return read_outcome::failed;
    if (in.ran_short()) return read_outcome::cut_short;
    return document ? read_outcome::whole : read_outcome::not_a_figure;
}

read_outcome read_figure_file(const std::string& path, const std::string& name, int base, ball_numbers numbers,
                              figure_records& records, std::string& said) {
    const std::string quoted = "\"" + name + "\"";
    std::string why;
    std::unique_ptr<stream> in = open_stream(path, file_access::read, why);
    read_outcome outcome = in ? read_figure(*in, base, std::move(numbers), records) : read_outcome::failed;
    std::size_t balls = records.balls.size();
    switch (outcome) {
        case read_outcome::whole: said.clear(); break;
        case read_outcome::cut_short:
            said = quoted + " is cut short: " + std::to_string(balls) + (balls == 1 ? " ball read" : " balls read");
            break;
        case read_outcome::not_a_figure: said = quoted + " is not a Flopkin figure"; break;
        case read_outcome::failed: said = "cannot read " + quoted + ": " + (in ? in->error() : why); break;
    }
    return outcome;
}

std::size_t count_balls(stream& in) {
    std::size_t balls = 0;
    auto count = [&] {
        ball_fields f;
        if (read_ball_fields(in, f)) ++balls;
    };
    // links and tensions are read past: naming no ball known here, none is built
    const ball_numbers none;
    figure_records unbuilt;
    read_records(in, count, [&] { read_link(in, 0, none, unbuilt); }, [&] { read_tension(in, 0, none, unbuilt); });
    return balls;
}

}  // namespace flopkin
