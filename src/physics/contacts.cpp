#include "physics/contacts.hpp"

#include <algorithm>
#include <cmath>

#include "physics/constants.hpp"
#include "physics/pass_loops.hpp"

namespace flopkin {

namespace {

// A ball collides when its radius is a positive number below the far limit:
// a wider one stands beyond it once the walls have set it back, and leaves
// the figure at the next frame's start; its centre's distance to any other
// ball would be rounded by more than the balls' own size.
bool collides(float radius) { return radius > 0 && radius < far_limit; }

// [0, count) cut into `parts` runs of about equal length
void cut_into(std::size_t count, int parts, std::vector<int>& cut) {
    cut.resize(static_cast<std::size_t>(parts) + 1);
    for (int p = 0; p <= parts; ++p)
        cut[static_cast<std::size_t>(p)] = static_cast<int>(count * static_cast<std::size_t>(p) / static_cast<std::size_t>(parts));
}

}  // namespace

void ball_contacts::size_for(int balls) {
    const auto n = static_cast<std::size_t>(balls);
    most_pairs_ = static_cast<std::size_t>(pairs_per_ball) * n + static_cast<std::size_t>(pairs_per_wide_ball) * 64;
    for (auto* column : {&cell_of_, &wide_, &pushes_of_ball_, &sorted_ball_, &sorted_figure_, &by_pushes_, &touching_})
        column->reserve(n);
    by_count_.reserve(n + 2);
    for (auto* column : {&diameter_, &sorted_x_, &sorted_y_, &sorted_radius_}) column->reserve(n);
    // at most two cells a ball, and a few for a figure of one
    cell_first_.reserve(2 * n + 17);
    push_first_.reserve(n + 1);
    for (auto* column : {&pair_a_, &pair_b_}) column->reserve(most_pairs_);
    push_slot_.reserve(2 * most_pairs_);
    for (auto* column : {&reach_, &part_a_}) column->reserve(most_pairs_);
    push_.reserve(2 * most_pairs_);
    // the most parts a team cuts a step into
    for (auto* column : {&scan_cut_, &found_, &pair_cut_, &touching_cut_}) column->reserve(4097);
}

void ball_contacts::begin_find(const xy* position, const float* radius, const int* figure, const float* mass,
                               int count, int held, int parts) {
    mass_ = mass;
    held_ = held;
    parts_ = parts;
    sort_into_cells(position, radius, figure, count);
    // every part's pairs fit where it writes them, and the wide balls' after
    // them: a ball keeps at most pairs_per_ball of those it finds, a wide
    // one pairs_per_wide_ball
    const std::size_t extent = std::min(static_cast<std::size_t>(pairs_per_ball) * sorted_ball_.size() +
                                            static_cast<std::size_t>(pairs_per_wide_ball) * wide_.size(),
                                        most_pairs_);
    if (pair_a_.size() < extent)
        for (auto* column : {&pair_a_, &pair_b_}) column->resize(extent);
    if (reach_.size() < extent)
        for (auto* column : {&reach_, &part_a_}) column->resize(extent);
    cut_into(sorted_ball_.size(), parts, scan_cut_);
    found_.resize(static_cast<std::size_t>(parts));
}

// each ball of the part with those after it in its own cell and the next
// one of its row, and with the three cells below: every nearby pair once
void ball_contacts::find_part(int part) {
    const auto p = static_cast<std::size_t>(part);
    const std::size_t first = static_cast<std::size_t>(pairs_per_ball) * static_cast<std::size_t>(scan_cut_[p]);
    std::size_t at = first;
    const int from = scan_cut_[p], to = scan_cut_[p + 1];
    // the balls come in cell order: the cell, its row and column follow along
    int cell = from < to ? cell_of_[static_cast<std::size_t>(sorted_ball_[from])] : 0;
    int row = cell / columns_, column = cell % columns_;
    for (int s = from; s < to; ++s) {
        for (; cell_first_[cell + 1] <= s; ++cell)
            if (++column == columns_) {
                column = 0;
                ++row;
            }
        const int right = std::min(column + 1, columns_ - 1);
        int kept = 0, looks = 0;
        pair_with_range(s, s + 1, cell_first_[row * columns_ + right + 1], kept, looks, at);
        if (row + 1 < rows_)
            pair_with_range(s, cell_first_[(row + 1) * columns_ + std::max(column - 1, 0)],
                            cell_first_[(row + 1) * columns_ + right + 1], kept, looks, at);
    }
    share_pushes(first, at);
    found_[p] = static_cast<int>(at - first);
}

void ball_contacts::end_find(const xy* position, const float* radius, const int* figure, int count) {
    // the parts' pairs one after another, in the order of the parts
    pairs_ = 0;
    for (int part = 0; part < parts_; ++part) {
        const auto p = static_cast<std::size_t>(part);
        const auto from = static_cast<std::ptrdiff_t>(pairs_per_ball) * scan_cut_[p];
        const std::ptrdiff_t found = found_[p];
        const auto to = static_cast<std::ptrdiff_t>(pairs_);
        if (from != to) {
            for (auto* column : {&pair_a_, &pair_b_})
                std::copy(column->begin() + from, column->begin() + from + found, column->begin() + to);
            for (auto* column : {&reach_, &part_a_})
                std::copy(column->begin() + from, column->begin() + from + found, column->begin() + to);
        }
        pairs_ += static_cast<std::size_t>(found);
    }
    const std::size_t grid_pairs = pairs_;
    pair_wide_balls(position, radius, figure);
    share_pushes(grid_pairs, pairs_);
    list_pushes_by_ball(count);
}

// Each wide ball with the grid's balls its reach covers, then with the wide
// balls after it.
void ball_contacts::pair_wide_balls(const xy* position, const float* radius, const int* figure) {
    const int balls = static_cast<int>(sorted_ball_.size());
    float widest = 0;
    for (float r : sorted_radius_) widest = std::max(widest, r);
    auto keep_wide = [&](int a, int b, float reach) {
        if (pairs_ < most_pairs_) keep_pair(a, b, reach, pairs_++);
    };
    for (std::size_t k = 0; k < wide_.size(); ++k) {
        const int w = wide_[k];
        const xy p = position[w];
        const float r = radius[w];
        const float reach = (r + widest) * reach_margin;
        auto column_of = [&](float x) {
            return static_cast<int>(std::clamp((x - left_) / cell_, 0.0f, static_cast<float>(columns_ - 1)));
        };
        auto row_of = [&](float y) {
            return static_cast<int>(std::clamp((y - top_) / cell_, 0.0f, static_cast<float>(rows_ - 1)));
        };
        int kept = 0, looks = 0;
        if (balls > 0 && p.x + reach >= left_ && p.y + reach >= top_ && p.x - reach <= left_ + cell_ * columns_ &&
            p.y - reach <= top_ + cell_ * rows_) {
            const int c0 = column_of(p.x - reach), c1 = column_of(p.x + reach);
            for (int row = row_of(p.y - reach); row <= row_of(p.y + reach); ++row)
                for (int s = cell_first_[row * columns_ + c0]; s < cell_first_[row * columns_ + c1 + 1]; ++s) {
                    if (kept == pairs_per_wide_ball || looks == looks_per_wide_ball) break;
                    ++looks;
                    const int b = sorted_ball_[s];
                    if (figure[b] == figure[w]) continue;
                    const float dx = sorted_x_[s] - p.x, dy = sorted_y_[s] - p.y;
                    const float near = (r + sorted_radius_[s]) * reach_margin;
                    if (dx * dx + dy * dy < near * near && (++kept, true)) keep_wide(w, b, r + sorted_radius_[s]);
                }
        }
        for (std::size_t j = k + 1; j < wide_.size(); ++j) {
            if (kept == pairs_per_wide_ball || looks == looks_per_wide_ball) break;
            ++looks;
            const int b = wide_[j];
            if (figure[b] == figure[w]) continue;
            const float dx = position[b].x - p.x, dy = position[b].y - p.y;
            const float near = (r + radius[b]) * reach_margin;
            if (dx * dx + dy * dy < near * near && (++kept, true)) keep_wide(w, b, r + radius[b]);
        }
    }
}

// The colliding balls no wider than a cell, sorted by cell, rows of cells
// one after another; the wider ones listed apart.
void ball_contacts::sort_into_cells(const xy* position, const float* radius, const int* figure, int count) {
    diameter_.clear();
    for (int i = 0; i < count; ++i)
        if (collides(radius[i])) diameter_.push_back(2 * radius[i]);
    sorted_ball_.clear();
    wide_.clear();
    cell_of_.resize(static_cast<std::size_t>(count));
    columns_ = rows_ = 1;
    cell_first_.assign(2, 0);
    if (diameter_.empty()) return;
    auto middle = diameter_.begin() + static_cast<std::ptrdiff_t>(diameter_.size() / 2);
    std::nth_element(diameter_.begin(), middle, diameter_.end());
    cell_ = 2 * *middle;

    float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool any = false;
    for (int i = 0; i < count; ++i) {
        cell_of_[static_cast<std::size_t>(i)] = -1;
        if (!collides(radius[i])) continue;
        if (2 * radius[i] > cell_) {
            wide_.push_back(i);
            continue;
        }
        const xy p = position[i];
        x0 = any ? std::min(x0, p.x) : p.x;
        x1 = any ? std::max(x1, p.x) : p.x;
        y0 = any ? std::min(y0, p.y) : p.y;
        y1 = any ? std::max(y1, p.y) : p.y;
        any = true;
        cell_of_[static_cast<std::size_t>(i)] = 0;
    }
    if (!any) return;
    // balls spread far apart for their size take wider cells, so that the
    // grid never has more than two cells a ball
    const double most_cells = 2.0 * count + 16;
    double width = static_cast<double>(x1) - x0, height = static_cast<double>(y1) - y0;
    double cell = cell_;
    while ((std::floor(width / cell) + 1) * (std::floor(height / cell) + 1) > most_cells) cell *= 2;
    cell_ = static_cast<float>(cell);
    left_ = x0;
    top_ = y0;
    columns_ = static_cast<int>(std::floor(width / cell)) + 1;
    rows_ = static_cast<int>(std::floor(height / cell)) + 1;
    fill_cells(position, radius, figure, count);
}

// Each ball of the grid into its cell, by a counting sort, with what the
// scans read beside it.
void ball_contacts::fill_cells(const xy* position, const float* radius, const int* figure, int count) {
    const std::size_t cells = static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_);
    cell_first_.assign(cells + 1, 0);
    for (int i = 0; i < count; ++i) {
        int& c = cell_of_[static_cast<std::size_t>(i)];
        if (c < 0) continue;
        const int column = std::min(static_cast<int>((position[i].x - left_) / cell_), columns_ - 1);
        const int row = std::min(static_cast<int>((position[i].y - top_) / cell_), rows_ - 1);
        c = row * columns_ + column;
        ++cell_first_[static_cast<std::size_t>(c) + 1];
    }
    for (std::size_t c = 0; c < cells; ++c) cell_first_[c + 1] += cell_first_[c];
    const auto sorted = static_cast<std::size_t>(cell_first_[cells]);
    sorted_ball_.resize(sorted);
    sorted_figure_.resize(sorted);
    sorted_x_.resize(sorted);
    sorted_y_.resize(sorted);
    sorted_radius_.resize(sorted);
    // the counts become each cell's next place, then are put back
    for (int i = 0; i < count; ++i) {
        const int c = cell_of_[static_cast<std::size_t>(i)];
        if (c < 0) continue;
        const auto s = static_cast<std::size_t>(cell_first_[static_cast<std::size_t>(c)]++);
        sorted_ball_[s] = i;
        sorted_x_[s] = position[i].x;
        sorted_y_[s] = position[i].y;
        sorted_radius_[s] = radius[i];
        sorted_figure_[s] = figure[i];
    }
    for (std::size_t c = cells; c > 0; --c) cell_first_[c] = cell_first_[c - 1];
    cell_first_[0] = 0;
}

// First which of the balls looked at are near, side by side in vector
// lanes; then the places of the near ones, written one after another with
// no branch the processor could mispredict; then the first of them kept.
void ball_contacts::pair_with_range(int s, int from, int to, int& kept, int& looks, std::size_t& at) {
    const int a = sorted_ball_[static_cast<std::size_t>(s)];
    const float x = sorted_x_[s], y = sorted_y_[s], r = sorted_radius_[s];
    const int f = sorted_figure_[s];
    to = std::min(to, from + (looks_per_ball - looks));
    const int n = std::max(to - from, 0);
    looks += n;
    const float *sx = sorted_x_.data() + from, *sy = sorted_y_.data() + from, *sr = sorted_radius_.data() + from;
    const int* sf = sorted_figure_.data() + from;
    unsigned char near[looks_per_ball];
    for (int i = 0; i < n; ++i) {
        const float dx = sx[i] - x, dy = sy[i] - y;
        const float reach = (r + sr[i]) * reach_margin;
        near[i] = (sf[i] != f) & (dx * dx + dy * dy < reach * reach);
    }
    int place[looks_per_ball];
    int found = 0;
    for (int i = 0; i < n; ++i) {
        place[found] = i;
        found += near[i];
    }
    found = std::min(found, pairs_per_ball - kept);
    for (int k = 0; k < found; ++k) keep_pair(a, sorted_ball_[from + place[k]], r + sr[place[k]], at++);
    kept += found;
}

void ball_contacts::keep_pair(int a, int b, float reach, std::size_t at) {
    pair_a_[at] = a;
    pair_b_[at] = b;
    reach_[at] = reach;
}

// the held ball follows the pointer: the other takes the whole push
void ball_contacts::share_pushes(std::size_t from, std::size_t to) {
    for (std::size_t k = from; k < to; ++k) {
        const int a = pair_a_[k], b = pair_b_[k];
        part_a_[k] = a == held_ ? 0.0f : b == held_ ? contact_stiffness : contact_stiffness / (1 + mass_[a] / mass_[b]);
    }
}

void ball_contacts::list_pushes_by_ball(int count) {
    const std::size_t pairs = pairs_;
    push_.resize(2 * pairs);
    // each ball's pushes in pair order, found by a counting sort
    std::vector<int>& next = pushes_of_ball_;
    next.assign(static_cast<std::size_t>(count), 0);
    for (std::size_t k = 0; k < pairs; ++k) {
        ++next[static_cast<std::size_t>(pair_a_[k])];
        ++next[static_cast<std::size_t>(pair_b_[k])];
    }
    // The touching balls by their number of pushes, fewest first, in the
    // grid's order among equals: the loop that adds up a ball's pushes then
    // runs as many times for ball after ball, and the processor foresees its
    // end; and the balls after each other lie near each other, so their
    // pushes, in pair order, lie near each other too.
    int most = 0;
    for (int i = 0; i < count; ++i) most = std::max(most, next[static_cast<std::size_t>(i)]);
    by_count_.assign(static_cast<std::size_t>(most) + 2, 0);
    for (int i = 0; i < count; ++i)
        if (next[static_cast<std::size_t>(i)] > 0) ++by_count_[static_cast<std::size_t>(next[static_cast<std::size_t>(i)]) + 1];
    for (int c = 0; c <= most; ++c) by_count_[static_cast<std::size_t>(c) + 1] += by_count_[static_cast<std::size_t>(c)];
    by_pushes_.resize(static_cast<std::size_t>(by_count_[static_cast<std::size_t>(most) + 1]));
    auto place = [&](int i) {
        if (next[static_cast<std::size_t>(i)] > 0)
            by_pushes_[static_cast<std::size_t>(by_count_[static_cast<std::size_t>(next[static_cast<std::size_t>(i)])]++)] = i;
    };
    for (int i : sorted_ball_) place(i);
    for (int i : wide_) place(i);
    // Then by the part of the list each lies in, in that order within a
    // part: each part moves the balls of its own stretch of the list, so the
    // team's members never write to the same few bytes of positions.
    touching_cut_.assign(static_cast<std::size_t>(parts_) + 1, 0);
    auto part_of = [&](int i) {
        return static_cast<std::size_t>(static_cast<long long>(i) * parts_ / count);
    };
    for (int i : by_pushes_) ++touching_cut_[part_of(i) + 1];
    for (std::size_t p = 0; p < static_cast<std::size_t>(parts_); ++p) touching_cut_[p + 1] += touching_cut_[p];
    touching_.resize(by_pushes_.size());
    // the cuts become each part's next place, then are put back
    for (int i : by_pushes_) touching_[static_cast<std::size_t>(touching_cut_[part_of(i)]++)] = i;
    for (std::size_t p = static_cast<std::size_t>(parts_); p > 0; --p) touching_cut_[p] = touching_cut_[p - 1];
    touching_cut_[0] = 0;
    push_first_.resize(touching_.size() + 1);
    push_first_[0] = 0;
    for (std::size_t t = 0; t < touching_.size(); ++t) {
        int& n = next[static_cast<std::size_t>(touching_[t])];
        push_first_[t + 1] = push_first_[t] + n;
        n = push_first_[t];
    }
    push_slot_.resize(2 * pairs);
    for (std::size_t k = 0; k < pairs; ++k) {
        push_slot_[static_cast<std::size_t>(next[static_cast<std::size_t>(pair_a_[k])]++)] = static_cast<int>(2 * k);
        push_slot_[static_cast<std::size_t>(next[static_cast<std::size_t>(pair_b_[k])]++)] = static_cast<int>(2 * k + 1);
    }
    cut_into(pairs, parts_, pair_cut_);
}

void ball_contacts::push_part(const pass_loops& loops, const xy* position, int part) {
    const int from = pair_cut_[static_cast<std::size_t>(part)], to = pair_cut_[static_cast<std::size_t>(part) + 1];
    loops.contact_pushes(position, pair_a_.data() + from, pair_b_.data() + from, reach_.data() + from,
                         part_a_.data() + from, to - from, push_.data() + 2 * static_cast<std::ptrdiff_t>(from));
}

void ball_contacts::move_part(xy* position, int part) const {
    for (int t = touching_cut_[static_cast<std::size_t>(part)]; t < touching_cut_[static_cast<std::size_t>(part) + 1];
         ++t) {
        float sx = 0, sy = 0;
        for (int k = push_first_[static_cast<std::size_t>(t)]; k < push_first_[static_cast<std::size_t>(t) + 1]; ++k) {
            const xy& push = push_[static_cast<std::size_t>(push_slot_[static_cast<std::size_t>(k)])];
            sx += push.x;
            sy += push.y;
        }
        xy& at = position[touching_[static_cast<std::size_t>(t)]];
        at.x += sx;
        at.y += sy;
    }
}

}  // namespace flopkin
