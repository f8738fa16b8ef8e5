#pragma once
// A generated figure whose every state bit after many frames is pinned: any
// change to the order or the arithmetic of the step shows in its hash. The
// unit tests hold the desktop to it, the browser test the page.
#include <cstdint>
#include <cstring>

#include "physics/figure.hpp"
#include "sample_figures.hpp"

namespace flopkin {

inline constexpr int golden_frames = 200;

// a mesh and a crowd, with a kick so the figures tumble into the walls and each other
inline void add_golden_figure(figure& f) {
    add_mesh(f, 9, 7, 100, 100);
    add_crowd(f, 6, 3, 450, 120);
    for (std::size_t i = 0; i < f.balls.slot_count(); i += 5) f.balls.slot(i)->vx = 6;
}

inline std::uint64_t state_hash(const figure& f) {
    std::uint64_t h = 1469598103934665603ull;
    auto mix = [&](float v) {
        std::uint32_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        h = (h ^ bits) * 1099511628211ull;
    };
    for (std::size_t i = 0; i < f.balls.slot_count(); ++i) {
        const ball& b = *f.balls.slot(i);
        mix(b.x);
        mix(b.y);
        mix(b.vx);
        mix(b.vy);
    }
    return h;
}

}  // namespace flopkin
