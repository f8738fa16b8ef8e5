#pragma once
// Shapes of one primitive kind gathered into a client-side vertex array with a
// colour per vertex, drawn by one glDrawArrays. The array only ever grows, so
// once it has held a frame's shapes, gathering the next frame allocates nothing.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/backend.hpp"

namespace flopkin {

struct batch_vertex {
    float x, y;
    std::uint8_t rgba[4];
};

class vertex_batch {
public:
    // mode: the OpenGL primitive every vertex belongs to (GL_TRIANGLES, GL_LINES, GL_POINTS)
    explicit vertex_batch(unsigned mode) : mode_(mode) {}

    void add(float x, float y, rgb colour);
    // a convex polygon as triangles fanned from its first vertex: the
    // triangles OpenGL drivers draw a GL_POLYGON as, so the same pixels
    void add_fan(const float* xy, int points, rgb colour);

    // draws everything gathered; the vertex and colour arrays are enabled
    // only for the call
    void draw() const;
    void clear() { count_ = 0; }
    bool empty() const { return count_ == 0; }
    std::size_t count() const { return count_; }

private:
    // room for n more vertices; the first of them
    batch_vertex* grow(std::size_t n);

    unsigned mode_;
    std::vector<batch_vertex> vertices_;  // storage; only the first count_ are in use
    std::size_t count_ = 0;
};

}  // namespace flopkin
