#pragma once
// What must hold after every frame, whatever the user did: the figure only
// refers to balls it holds, every position is a number, every setting and
// the view stay within their limits.
#include <cmath>
#include <string>
#include <unordered_set>

#include "app/app.hpp"
#include "app/value_table.hpp"

namespace flopkin {

// "" when everything holds, else what does not
inline std::string broken_invariant(app& a) {
    std::unordered_set<const ball*> listed;
    for (ball_ref b : a.figure.balls.all()) {
        if (!b) return "an empty entry in balls";
        if (!std::isfinite(b->x) || !std::isfinite(b->y))
            return "ball " + std::to_string(b->number) + " is at a position that is not finite";
        listed.insert(b.get());
    }
    for (link_ref l : a.figure.links.all())
        if (!l || !listed.count(l->end_a.get()) || !listed.count(l->end_b.get()))
            return "a link ends at a ball that is not in balls";
    for (tension_ref t : a.figure.tensions.all())
        if (!t || !listed.count(t->end_a.get()) || !listed.count(t->vertex.get()) || !listed.count(t->end_b.get()))
            return "a tension names a ball that is not in balls";

    auto within = [](float v, float low, float high) { return v >= low && v <= high; };
    if (a.mode != figure_mode::draw && a.mode != figure_mode::play)
        return "mode is " + std::to_string(static_cast<int>(a.mode));
    for (const value_setting& row : value_settings)
        if (!within(row.value(a), row.lowest, row.highest)) return row.label + std::to_string(row.value(a));

    // The view: its centre inside the world limits and the view no larger
    // than the world (zoom 1/7). An edge may stand a little past a limit after
    // the view is rebuilt around its centre at the drawing area's shape; the
    // next frame clamps it again, so edges are not held to the limits here.
    std::string view = " (view " + std::to_string(a.view.view_left) + " " + std::to_string(a.view.view_top) + " " +
                       std::to_string(a.view.view_right) + " " + std::to_string(a.view.view_bottom) + ")";
    if (!within(a.view.view_cx, world_left, world_right) || !within(a.view.view_cy, world_top, world_bottom))
        return "the view's centre is outside the world" + view;
    if (!(a.view.zoom >= (1.0f / 7) * 0.9999f))
        return "the view is larger than the world: zoom " + std::to_string(a.view.zoom);
    float wide = a.view.area_width / a.view.zoom, high = static_cast<float>(a.view.screen_height) / a.view.zoom;
    if (std::abs((a.view.view_right - a.view.view_left) - wide) > 1e-3f * wide + 1e-3f ||
        std::abs((a.view.view_bottom - a.view.view_top) - high) > 1e-3f * high + 1e-3f)
        return "the view does not match the zoom" + view;
    return "";
}

}  // namespace flopkin
