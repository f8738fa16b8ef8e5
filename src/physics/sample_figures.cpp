#include "physics/sample_figures.hpp"

#include <cmath>
#include <vector>

namespace flopkin {

namespace {

ball_ref add_ball(app& a, float x, float y) {
    auto b = std::make_shared<ball>();
    b->x = b->old_x = x;
    b->y = b->old_y = y;
    b->owner = &a;
    b->radius = a.ball_size;
    a.balls.add_last(b);
    b->number = static_cast<int>(a.balls.count());
    return b;
}

void add_link(app& a, const ball_ref& from, const ball_ref& to) {
    auto l = std::make_shared<link>();
    l->owner = &a;
    l->end_a = from;
    l->end_b = to;
    l->rest_length = std::sqrt((to->x - from->x) * (to->x - from->x) + (to->y - from->y) * (to->y - from->y));
    l->width = a.link_width;
    a.links.add_last(std::move(l));
}

}  // namespace

void add_mesh(app& a, int columns, int rows, float left, float top) {
    std::vector<ball_ref> grid;
    grid.reserve(static_cast<std::size_t>(columns) * rows);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) grid.push_back(add_ball(a, left + 30.0f * c, top + 30.0f * r));
    auto at = [&](int c, int r) { return grid[static_cast<std::size_t>(r) * columns + c]; };
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            if (c + 1 < columns) add_link(a, at(c, r), at(c + 1, r));
            if (r + 1 < rows) add_link(a, at(c, r), at(c, r + 1));
            if (c + 1 < columns && r + 1 < rows) add_link(a, at(c, r), at(c + 1, r + 1));
        }
    }
    a.build_tensions();
}

void add_chain(app& a, int count, int per_row, float left, float top) {
    ball_ref previous;
    for (int i = 0; i < count; ++i) {
        int row = i / per_row, at = i % per_row;
        int column = row % 2 == 0 ? at : per_row - 1 - at;
        ball_ref b = add_ball(a, left + 30.0f * column, top + 30.0f * row);
        if (previous) add_link(a, previous, b);
        previous = b;
    }
    a.build_tensions();
}

bool add_sized_figure(app& a, const std::string& kind, int balls, float left, float top) {
    if (kind == "mesh") {
        int side = static_cast<int>(std::lround(std::sqrt(static_cast<double>(balls))));
        add_mesh(a, side, side, left, top);
    } else if (kind == "chain") {
        add_chain(a, balls, 150, left, top);
    } else if (kind == "crowd") {
        add_crowd(a, balls / 6, 80, left, top);
    } else {
        return false;
    }
    return true;
}

void add_crowd(app& a, int figures, int per_row, float left, float top) {
    for (int f = 0; f < figures; ++f) {
        float x = left + 60.0f * (f % per_row);
        float y = top + 100.0f * (f / per_row);
        ball_ref head = add_ball(a, x, y);
        ball_ref neck = add_ball(a, x, y + 20);
        ball_ref left_hand = add_ball(a, x - 20, y + 40);
        ball_ref right_hand = add_ball(a, x + 20, y + 40);
        ball_ref left_foot = add_ball(a, x - 12, y + 75);
        ball_ref right_foot = add_ball(a, x + 12, y + 75);
        add_link(a, head, neck);
        add_link(a, neck, left_hand);
        add_link(a, neck, right_hand);
        add_link(a, neck, left_foot);
        add_link(a, neck, right_foot);
        add_link(a, left_foot, right_foot);
    }
    a.build_tensions();
}

void add_stick_figure(app& a, float x, float y) {
    ball_ref head = add_ball(a, x, y - 100);
    ball_ref neck = add_ball(a, x, y - 65);
    ball_ref hip = add_ball(a, x, y);
    add_link(a, head, neck);
    add_link(a, neck, hip);
    for (float side : {-1.0f, 1.0f}) {
        ball_ref elbow = add_ball(a, x + 30 * side, y - 45);
        ball_ref hand = add_ball(a, x + 55 * side, y - 20);
        ball_ref knee = add_ball(a, x + 18 * side, y + 40);
        ball_ref foot = add_ball(a, x + 24 * side, y + 85);
        add_link(a, neck, elbow);
        add_link(a, elbow, hand);
        add_link(a, hip, knee);
        add_link(a, knee, foot);
    }
    a.build_tensions();
}

void add_bridge(app& a, int cells, float left, float top) {
    std::vector<ball_ref> upper, lower;
    for (int i = 0; i <= cells; ++i) {
        upper.push_back(add_ball(a, left + 40.0f * i, top));
        lower.push_back(add_ball(a, left + 40.0f * i, top + 40));
    }
    for (int i = 0; i <= cells; ++i) {
        add_link(a, upper[i], lower[i]);
        if (i == cells) break;
        add_link(a, upper[i], upper[i + 1]);
        add_link(a, lower[i], lower[i + 1]);
        // diagonals lean in from both ends, so the deck sags the same either way
        if (i < cells / 2)
            add_link(a, lower[i], upper[i + 1]);
        else
            add_link(a, upper[i], lower[i + 1]);
    }
    a.build_tensions();
}

}  // namespace flopkin
