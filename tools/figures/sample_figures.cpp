#include "sample_figures.hpp"

#include <cmath>
#include <vector>

#include "editing/figure_editing.hpp"
#include "platform/base/random.hpp"

namespace flopkin {

namespace {

ball_ref add_ball(figure& f, float x, float y, const figure_style& style) {
    auto b = std::make_shared<ball>(rand);
    b->x = b->old_x = x;
    b->y = b->old_y = y;
    b->radius = style.ball_size;
    f.balls.add_last(b);
    b->number = static_cast<int>(f.balls.count());
    return b;
}

void add_link(figure& f, const ball_ref& from, const ball_ref& to, const figure_style& style) {
    auto l = std::make_shared<link>(rand);
    l->end_a = from;
    l->end_b = to;
    l->rest_length = std::sqrt((to->x - from->x) * (to->x - from->x) + (to->y - from->y) * (to->y - from->y));
    l->width = style.link_width;
    f.links.add_last(std::move(l));
}

}  // namespace

void add_mesh(figure& f, int columns, int rows, float left, float top, const figure_style& style) {
    std::vector<ball_ref> grid;
    grid.reserve(static_cast<std::size_t>(columns) * rows);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) grid.push_back(add_ball(f, left + 30.0f * c, top + 30.0f * r, style));
    auto at = [&](int c, int r) { return grid[static_cast<std::size_t>(r) * columns + c]; };
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            if (c + 1 < columns) add_link(f, at(c, r), at(c + 1, r), style);
            if (r + 1 < rows) add_link(f, at(c, r), at(c, r + 1), style);
            if (c + 1 < columns && r + 1 < rows) add_link(f, at(c, r), at(c + 1, r + 1), style);
        }
    }
    build_tensions(f, style.angle_force);
}

void add_chain(figure& f, int count, int per_row, float left, float top, const figure_style& style) {
    ball_ref previous;
    for (int i = 0; i < count; ++i) {
        int row = i / per_row, at = i % per_row;
        int column = row % 2 == 0 ? at : per_row - 1 - at;
        ball_ref b = add_ball(f, left + 30.0f * column, top + 30.0f * row, style);
        if (previous) add_link(f, previous, b, style);
        previous = b;
    }
    build_tensions(f, style.angle_force);
}

bool add_sized_figure(figure& f, const std::string& kind, int balls, float left, float top, const figure_style& style) {
    if (kind == "mesh") {
        int side = static_cast<int>(std::lround(std::sqrt(static_cast<double>(balls))));
        add_mesh(f, side, side, left, top, style);
    } else if (kind == "chain") {
        add_chain(f, balls, 150, left, top, style);
    } else if (kind == "crowd") {
        add_crowd(f, balls / 6, 80, left, top, style);
    } else {
        return false;
    }
    return true;
}

void add_crowd(figure& f, int figures, int per_row, float left, float top, const figure_style& style) {
    for (int k = 0; k < figures; ++k) {
        float x = left + 60.0f * (k % per_row);
        float y = top + 100.0f * (k / per_row);
        ball_ref head = add_ball(f, x, y, style);
        ball_ref neck = add_ball(f, x, y + 20, style);
        ball_ref left_hand = add_ball(f, x - 20, y + 40, style);
        ball_ref right_hand = add_ball(f, x + 20, y + 40, style);
        ball_ref left_foot = add_ball(f, x - 12, y + 75, style);
        ball_ref right_foot = add_ball(f, x + 12, y + 75, style);
        add_link(f, head, neck, style);
        add_link(f, neck, left_hand, style);
        add_link(f, neck, right_hand, style);
        add_link(f, neck, left_foot, style);
        add_link(f, neck, right_foot, style);
        add_link(f, left_foot, right_foot, style);
    }
    build_tensions(f, style.angle_force);
}

void add_stick_figure(figure& f, float x, float y, const figure_style& style) {
    ball_ref head = add_ball(f, x, y - 100, style);
    ball_ref neck = add_ball(f, x, y - 65, style);
    ball_ref hip = add_ball(f, x, y, style);
    add_link(f, head, neck, style);
    add_link(f, neck, hip, style);
    for (float side : {-1.0f, 1.0f}) {
        ball_ref elbow = add_ball(f, x + 30 * side, y - 45, style);
        ball_ref hand = add_ball(f, x + 55 * side, y - 20, style);
        ball_ref knee = add_ball(f, x + 18 * side, y + 40, style);
        ball_ref foot = add_ball(f, x + 24 * side, y + 85, style);
        add_link(f, neck, elbow, style);
        add_link(f, elbow, hand, style);
        add_link(f, hip, knee, style);
        add_link(f, knee, foot, style);
    }
    build_tensions(f, style.angle_force);
}

void add_bridge(figure& f, int cells, float left, float top, const figure_style& style) {
    std::vector<ball_ref> upper, lower;
    for (int i = 0; i <= cells; ++i) {
        upper.push_back(add_ball(f, left + 40.0f * i, top, style));
        lower.push_back(add_ball(f, left + 40.0f * i, top + 40, style));
    }
    for (int i = 0; i <= cells; ++i) {
        add_link(f, upper[i], lower[i], style);
        if (i == cells) break;
        add_link(f, upper[i], upper[i + 1], style);
        add_link(f, lower[i], lower[i + 1], style);
        // diagonals lean in from both ends, so the deck sags the same either way
        if (i < cells / 2)
            add_link(f, lower[i], upper[i + 1], style);
        else
            add_link(f, upper[i], lower[i + 1], style);
    }
    build_tensions(f, style.angle_force);
}

}  // namespace flopkin
