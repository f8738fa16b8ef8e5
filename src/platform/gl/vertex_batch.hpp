#pragma once
// Shapes of one primitive kind gathered into one array with a colour per
// vertex, for the canvas to draw with one call. Polygons keep each corner once
// and name their triangles' corners in a list of indices: the triangles drawn
// are the same, but a renderer that works out each vertex in software does it
// once per corner rather than once per triangle that uses it. The arrays only
// ever grow, so once they have held a frame's shapes, gathering the next frame
// allocates nothing.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/backend.hpp"

namespace flopkin {

struct batch_vertex {
    float x, y;
    std::uint8_t rgba[4];
};

// what every vertex of a batch belongs to, as the primitive's code in
// OpenGL, which WebGL shares
enum class primitive : unsigned { points = 0x0000, lines = 0x0001, triangles = 0x0004 };

class vertex_batch {
public:
    explicit vertex_batch(primitive kind) : kind_(kind) {}

    // a vertex of its own (lines, points)
    void add(float x, float y, rgb colour);
    // a convex polygon as triangles fanned from its first vertex: the
    // triangles OpenGL drivers draw a GL_POLYGON as, so the same pixels
    void add_fan(const float* xy, int points, rgb colour);

    void clear() {
        count_ = 0;
        index_count_ = 0;
    }
    bool empty() const { return count_ == 0; }
    std::size_t count() const { return count_; }
    const batch_vertex* vertices() const { return vertices_.data(); }
    // with polygons: three per triangle, in drawing order; none otherwise,
    // and the vertices are drawn in their own order
    std::size_t index_count() const { return index_count_; }
    const std::uint32_t* indices() const { return indices_.data(); }
    primitive kind() const { return kind_; }

private:
    primitive kind_;
    // storage; only the first count_ and index_count_ are in use
    std::vector<batch_vertex> vertices_;
    std::vector<std::uint32_t> indices_;
    std::size_t count_ = 0, index_count_ = 0;
};

}  // namespace flopkin
