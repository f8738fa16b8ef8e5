#include "platform/gl/vertex_batch.hpp"

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

// room for n more elements in one of the batch's arrays; the first of them
template <class T>
T* grow(std::vector<T>& storage, std::size_t& used, std::size_t n) {
    if (used + n > storage.size()) storage.resize(std::max(used + n, 2 * storage.size()));
    T* first = storage.data() + used;
    used += n;
    return first;
}

}  // namespace

void vertex_batch::add(float x, float y, rgb colour) { put(*grow(vertices_, count_, 1), x, y, colour); }

void vertex_batch::add_fan(const float* xy, int points, rgb colour) {
    if (points < 3) return;
    auto first = static_cast<std::uint32_t>(count_);
    batch_vertex* v = grow(vertices_, count_, static_cast<std::size_t>(points));
    for (int i = 0; i < points; ++i) put(v[i], xy[2 * i], xy[2 * i + 1], colour);
    std::uint32_t* corner = grow(indices_, index_count_, 3 * static_cast<std::size_t>(points - 2));
    for (std::uint32_t i = 1; i + 1 < static_cast<std::uint32_t>(points); ++i) {
        *corner++ = first;
        *corner++ = first + i;
        *corner++ = first + i + 1;
    }
}

}  // namespace flopkin
