#include "platform/gl/vertex_batch.hpp"

#include <GL/gl.h>

#include <algorithm>

namespace flopkin {
namespace {

void put(batch_vertex& v, float x, float y, rgb c) {
    v.x = x;
    v.y = y;
    v.rgba[0] = static_cast<std::uint8_t>(c.r);
    v.rgba[1] = static_cast<std::uint8_t>(c.g);
    v.rgba[2] = static_cast<std::uint8_t>(c.b);
    v.rgba[3] = 255;
}

}  // namespace

batch_vertex* vertex_batch::grow(std::size_t n) {
    if (count_ + n > vertices_.size()) vertices_.resize(std::max(count_ + n, 2 * vertices_.size()));
    batch_vertex* first = vertices_.data() + count_;
    count_ += n;
    return first;
}

void vertex_batch::add(float x, float y, rgb colour) { put(*grow(1), x, y, colour); }

void vertex_batch::add_fan(const float* xy, int points, rgb colour) {
    if (points < 3) return;
    batch_vertex* v = grow(3 * static_cast<std::size_t>(points - 2));
    for (int i = 1; i + 1 < points; ++i) {
        put(*v++, xy[0], xy[1], colour);
        put(*v++, xy[2 * i], xy[2 * i + 1], colour);
        put(*v++, xy[2 * i + 2], xy[2 * i + 3], colour);
    }
}

void vertex_batch::draw() const {
    if (count_ == 0) return;
    const batch_vertex* v = vertices_.data();
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(2, GL_FLOAT, sizeof(batch_vertex), &v->x);
    glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(batch_vertex), v->rgba);
    glDrawArrays(mode_, 0, static_cast<GLsizei>(count_));
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

}  // namespace flopkin
