#pragma once
// Small builders for figures and document bytes in tests.
#include <cstring>
#include <sstream>
#include <string>

#include "app/app.hpp"
#include "files/document_format.hpp"
#include "memory_device.hpp"

namespace flopkin {

inline ball_ref put_ball(app& a, float x, float y, float mass = 1, float radius = 13, int red = 0, int green = 0,
                         int blue = 0) {
    auto b = std::make_shared<ball>();
    b->owner = &a;
    b->x = b->old_x = x;
    b->y = b->old_y = y;
    b->mass = mass;
    b->radius = radius;
    b->colour[0] = red;
    b->colour[1] = green;
    b->colour[2] = blue;
    a.balls.add_last(b);
    b->number = static_cast<int>(a.balls.count());
    return b;
}

inline link_ref put_link(app& a, ball_ref p, ball_ref q, float rest, float width = 2, int red = 0, int green = 0,
                         int blue = 0) {
    auto l = std::make_shared<link>();
    l->owner = &a;
    l->end_a = std::move(p);
    l->end_b = std::move(q);
    l->rest_length = rest;
    l->width = width;
    l->colour[0] = red;
    l->colour[1] = green;
    l->colour[2] = blue;
    a.links.add_last(l);
    return l;
}

inline tension_ref put_tension(app& a, ball_ref p, ball_ref v, ball_ref q, float angle, float strength) {
    auto t = std::make_shared<tension>();
    t->end_a = std::move(p);
    t->vertex = std::move(v);
    t->end_b = std::move(q);
    t->rest_angle = angle;
    t->strength = strength;
    a.tensions.add_last(t);
    return t;
}

// "4e 65 77" -> the bytes
inline bytes hex(const std::string& text) {
    std::istringstream in(text);
    bytes out;
    unsigned value;
    while (in >> std::hex >> value) out.push_back(static_cast<std::uint8_t>(value));
    return out;
}

inline void append(bytes& out, const std::string& text) { out.insert(out.end(), text.begin(), text.end()); }
inline void append_int(bytes& out, std::int32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i)));
}
inline void append_float(bytes& out, float f) {
    std::int32_t bits;
    std::memcpy(&bits, &f, 4);
    append_int(out, bits);
}

// a marker line to start a record with
inline bytes marker_line(const std::string& marker) {
    std::string line = marker + "\r\n";
    return bytes(line.begin(), line.end());
}

inline bytes ball_record(int number, float mass, float x, float y, float radius = 13) {
    bytes out = marker_line("New Ball");
    append_int(out, number);
    for (float f : {mass, x, y, radius}) append_float(out, f);
    for (int c : {1, 2, 3}) append_int(out, c);
    return out;
}

inline bytes link_record(int a, int b, float rest, float width = 2) {
    bytes out = marker_line("New Link");
    append_int(out, a);
    append_int(out, b);
    append_float(out, rest);
    append_float(out, width);
    for (int c : {4, 5, 6}) append_int(out, c);
    return out;
}

inline bytes tension_record(int a, int v, int b, float angle, float strength) {
    bytes out = marker_line("New Tension");
    for (int n : {a, v, b}) append_int(out, n);
    append_float(out, angle);
    append_float(out, strength);
    return out;
}

// a document: the header line, then the records in order
inline bytes document(std::initializer_list<bytes> records, const std::string& header = "1") {
    bytes out = marker_line(header);
    for (const bytes& r : records) out.insert(out.end(), r.begin(), r.end());
    return out;
}

inline bytes figure_bytes(app& a) {
    auto data = std::make_shared<bytes>();
    write_figure(*memory_stream(data), a);
    return *data;
}

}  // namespace flopkin
