#pragma once
// Builders for figures and for document bytes in tests.
#include <cstring>
#include <sstream>
#include <string>

#include "files/document_format.hpp"
#include "physics/figure.hpp"
#include "memory_device.hpp"
#include "platform/base/random.hpp"

namespace flopkin {

// The one way tests put balls, links and tensions into a figure: appended to
// its lists as the editor and the document reader do, balls numbered by
// their count.
inline ball_ref put_ball(figure& f, float x, float y, float mass = 1, float radius = 13) {
    auto b = std::make_shared<ball>(rand);
    b->x = b->old_x = x;
    b->y = b->old_y = y;
    b->mass = mass;
    b->radius = radius;
    f.balls.add_last(b);
    b->number = static_cast<int>(f.balls.count());
    return b;
}

inline link_ref put_link(figure& f, ball_ref p, ball_ref q, float rest) {
    auto l = std::make_shared<link>(rand);
    l->end_a = std::move(p);
    l->end_b = std::move(q);
    l->rest_length = rest;
    f.links.add_last(l);
    return l;
}

inline tension_ref put_tension(figure& f, ball_ref p, ball_ref v, ball_ref q, float angle, float strength) {
    auto t = std::make_shared<tension>();
    t->end_a = std::move(p);
    t->vertex = std::move(v);
    t->end_b = std::move(q);
    t->rest_angle = angle;
    t->strength = strength;
    f.tensions.add_last(t);
    return t;
}

// Document bytes written by hand: doc("1").ball(1, 1, 5, 6).link(1, 2, 5).bytes
struct doc {
    bytes data;
    explicit doc(const std::string& header = "1") { line(header); }
    doc& line(const std::string& text) {
        for (char c : text + "\r\n") data.push_back(static_cast<std::uint8_t>(c));
        return *this;
    }
    doc& i(std::int32_t v) {
        for (int k = 0; k < 4; ++k) data.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * k)));
        return *this;
    }
    doc& f(float v) {
        std::int32_t bits;
        std::memcpy(&bits, &v, 4);
        return i(bits);
    }
    doc& ball(int number, float mass, float x, float y) {
        return line("New Ball").i(number).f(mass).f(x).f(y).f(13).i(1).i(2).i(3);
    }
    doc& link(int a, int b, float rest, float width = 2) { return line("New Link").i(a).i(b).f(rest).f(width).i(4).i(5).i(6); }
    doc& tension(int a, int v, int b, float angle, float strength) {
        return line("New Tension").i(a).i(v).i(b).f(angle).f(strength);
    }
};

// "4e 65 77" -> the bytes
inline bytes hex(const std::string& text) {
    std::istringstream in(text);
    bytes out;
    unsigned value;
    while (in >> std::hex >> value) out.push_back(static_cast<std::uint8_t>(value));
    return out;
}

inline bytes figure_bytes(const figure& f) {
    auto data = std::make_shared<bytes>();
    write_figure(*memory_stream(data), f);
    return *data;
}

}  // namespace flopkin
