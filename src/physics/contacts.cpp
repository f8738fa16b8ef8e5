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

void ball_contacts::size_for(int balls, int parts) {
    const auto n = static_cast<std::size_t>(balls);
    const auto cuts = static_cast<std::size_t>(parts) + 1;
    constexpr auto lanes = static_cast<std::size_t>(contact_group_job::lanes);
    most_pairs_ = static_cast<std::size_t>(pairs_per_ball) * n + static_cast<std::size_t>(pairs_per_wide_ball) * 64;
    for (auto* column : {&cell_of_, &wide_, &pairs_of_ball_, &next_entry_, &sorted_ball_, &sorted_figure_,
                         &crowded_ball_, &crowded_first_})
        column->reserve(n);
    diameter_.reserve(n);
    // the scans read a few places past the grid's last ball
    sorted_figure_.reserve(n + scan_lanes);
    for (auto* column : {&sorted_x_, &sorted_y_, &sorted_radius_}) column->reserve(n + scan_lanes);
    // at most two cells a ball, and a few for a figure of one
    cell_first_.reserve(2 * n + 17);
    for (auto* column : {&pair_a_, &pair_b_}) column->reserve(most_pairs_);
    for (auto* column : {&reach_, &part_a_}) column->reserve(most_pairs_);
    // each part fills its groups but the last of each number of pairs, and
    // leaves at most lanes - 1 lanes of that one to repeat its first ball
    const std::size_t groups = n / lanes + (most_grouped + 1) * static_cast<std::size_t>(parts);
    for (auto* column : {&group_pairs_, &group_entry_}) column->reserve(groups);
    group_ball_.reserve(groups * lanes);
    const std::size_t entries = 2 * most_pairs_ + (lanes - 1) * static_cast<std::size_t>(parts) *
                                                      (most_grouped * (most_grouped + 1) / 2);
    entry_other_.reserve(entries);
    for (auto* column : {&entry_reach_, &entry_part_}) column->reserve(entries);
    for (auto* column : {&scan_cut_, &found_, &group_cut_, &crowded_cut_}) column->reserve(cuts);
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
        const int below = (row + 1) * columns_;
        if (row + 1 < rows_)
            pair_with_ranges(s, cell_first_[row * columns_ + right + 1], cell_first_[below + std::max(column - 1, 0)],
                             cell_first_[below + right + 1], at);
        else
            pair_with_ranges(s, cell_first_[row * columns_ + right + 1], 0, 0, at);
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
    list_pairs_by_ball(count);
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
    sorted_figure_.resize(sorted + scan_lanes);
    sorted_x_.resize(sorted + scan_lanes);
    sorted_y_.resize(sorted + scan_lanes);
    sorted_radius_.resize(sorted + scan_lanes);
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

// Ball s (in cell order) with those after it up to `to`, then with those
// in [from_below, to_below): first which of the balls looked at are near,
// side by side in vector lanes, a few at a time (past the end of a range
// the lanes are masked off); then the places of the near ones, written
// one after another with no branch the processor could mispredict; then
// the first of them kept.
void ball_contacts::pair_with_ranges(int s, int to, int from_below, int to_below, std::size_t& at) {
    const int a = sorted_ball_[static_cast<std::size_t>(s)];
    const float x = sorted_x_[s], y = sorted_y_[s], r = sorted_radius_[s];
    const int f = sorted_figure_[s];
    const float *sx = sorted_x_.data(), *sy = sorted_y_.data(), *sr = sorted_radius_.data();
    const int* sf = sorted_figure_.data();
    int place[looks_per_ball + scan_lanes];
    // a place for every pair it may keep, so that all are written
    std::fill_n(place, pairs_per_ball, s);
    int found = 0, looks = 0;
    auto scan = [&](int from, int end) {
        end = std::min(end, from + (looks_per_ball - looks));
        const int n = std::max(end - from, 0);
        looks += n;
        for (int c = 0; c < n; c += scan_lanes) {
            unsigned char near[scan_lanes];
            for (int i = 0; i < scan_lanes; ++i) {
                const int k = from + c + i;
                const float dx = sx[k] - x, dy = sy[k] - y;
                const float reach = (r + sr[k]) * reach_margin;
                near[i] = (c + i < n) & (sf[k] != f) & (dx * dx + dy * dy < reach * reach);
            }
            for (int i = 0; i < scan_lanes; ++i) {
                place[found] = from + c + i;
                found += near[i];
            }
        }
    };
    scan(s + 1, to);
    scan(from_below, to_below);
    // As many pairs written each time, the kept ones first: the part's
    // place has room for them, and the next ball writes over the others.
    // A place past the kept ones may be a masked lane's, beyond the last
    // ball: those read the padding, and name the last ball.
    const int last = static_cast<int>(sorted_ball_.size()) - 1;
    for (int k = 0; k < pairs_per_ball; ++k)
        keep_pair(a, sorted_ball_[static_cast<std::size_t>(std::min(place[k], last))], r + sr[place[k]], at + k);
    at += static_cast<std::size_t>(std::min(found, pairs_per_ball));
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

// Each pair handed to both its balls, ball by ball in groups (see the
// header), each ball's pairs in pair order.
void ball_contacts::list_pairs_by_ball(int count) {
    std::vector<int>& pairs_of = pairs_of_ball_;
    pairs_of.assign(static_cast<std::size_t>(count), 0);
    for (std::size_t k = 0; k < pairs_; ++k) {
        ++pairs_of[static_cast<std::size_t>(pair_a_[k])];
        ++pairs_of[static_cast<std::size_t>(pair_b_[k])];
    }
    next_entry_.resize(static_cast<std::size_t>(count));
    for (auto* column : {&group_pairs_, &group_entry_, &group_ball_, &crowded_ball_, &crowded_first_}) column->clear();
    group_cut_.resize(static_cast<std::size_t>(parts_) + 1);
    crowded_cut_.resize(static_cast<std::size_t>(parts_) + 1);
    std::size_t entries = 0;
    for (int part = 0; part < parts_; ++part) group_part(part, count, entries);
    entry_other_.resize(entries);
    entry_reach_.resize(entries);
    entry_part_.resize(entries);
    for (std::size_t k = 0; k < pairs_; ++k) {
        const int a = pair_a_[k], b = pair_b_[k];
        hand_pair_to(a, b, reach_[k], part_a_[k]);
        hand_pair_to(b, a, -reach_[k], contact_stiffness - part_a_[k]);
    }
    // lanes with no ball of their own repeat the first lane's pairs
    constexpr int lanes = contact_group_job::lanes;
    for (std::size_t g = 0; g < group_pairs_.size(); ++g) {
        const int* ball = group_ball_.data() + g * lanes;
        if (ball[lanes - 1] != ball[0] || group_pairs_[g] == 0) continue;
        for (int j = 0; j < group_pairs_[g]; ++j) {
            const auto e = static_cast<std::size_t>(group_entry_[g] + j * lanes);
            for (int i = 1; i < lanes; ++i) {
                if (ball[i] != ball[0]) continue;
                entry_other_[e + i] = entry_other_[e];
                entry_reach_[e + i] = entry_reach_[e];
                entry_part_[e + i] = entry_part_[e];
            }
        }
    }
}

// The balls of one part by their number of pairs, fewest first and in
// list order among equals, in groups; then the crowded ones. Each ball's
// first entry goes to next_entry_, and `entries` grows by the part's.
void ball_contacts::group_part(int part, int count, std::size_t& entries) {
    constexpr int lanes = contact_group_job::lanes;
    const auto p = static_cast<std::size_t>(part);
    const int from = static_cast<int>(static_cast<long long>(count) * part / parts_);
    const int to = static_cast<int>(static_cast<long long>(count) * (part + 1) / parts_);
    group_cut_[p] = static_cast<int>(group_pairs_.size());
    crowded_cut_[p] = static_cast<int>(crowded_ball_.size());
    int with[most_grouped + 1] = {}, first_group[most_grouped + 1], seen[most_grouped + 1] = {};
    for (int i = from; i < to; ++i) {
        const int c = pairs_of_ball_[static_cast<std::size_t>(i)];
        if (c <= most_grouped) ++with[c];
    }
    for (int c = 0; c <= most_grouped; ++c) {
        first_group[c] = static_cast<int>(group_pairs_.size());
        for (int n = 0; n < with[c]; n += lanes) {
            group_pairs_.push_back(c);
            group_entry_.push_back(static_cast<int>(entries));
            entries += static_cast<std::size_t>(c) * lanes;
        }
    }
    group_ball_.resize(group_pairs_.size() * lanes);
    for (int i = from; i < to; ++i) {
        const int c = pairs_of_ball_[static_cast<std::size_t>(i)];
        if (c > most_grouped) {
            crowded_ball_.push_back(i);
            crowded_first_.push_back(static_cast<int>(entries));
            next_entry_[static_cast<std::size_t>(i)] = static_cast<int>(entries);
            entries += static_cast<std::size_t>(c);
            continue;
        }
        const int rank = seen[c]++;
        const int g = first_group[c] + rank / lanes;
        group_ball_[static_cast<std::size_t>(g * lanes + rank % lanes)] = i;
        next_entry_[static_cast<std::size_t>(i)] = group_entry_[static_cast<std::size_t>(g)] + rank % lanes;
    }
    for (int c = 0; c <= most_grouped; ++c) {
        if (with[c] % lanes == 0) continue;
        int* ball = group_ball_.data() + static_cast<std::ptrdiff_t>(first_group[c] + with[c] / lanes) * lanes;
        for (int i = with[c] % lanes; i < lanes; ++i) ball[i] = ball[0];
    }
    group_cut_[p + 1] = static_cast<int>(group_pairs_.size());
    crowded_cut_[p + 1] = static_cast<int>(crowded_ball_.size());
}

void ball_contacts::hand_pair_to(int ball, int other, float reach, float part) {
    const auto b = static_cast<std::size_t>(ball);
    int& at = next_entry_[b];
    const auto e = static_cast<std::size_t>(at);
    at += pairs_of_ball_[b] > most_grouped ? 1 : contact_group_job::lanes;
    entry_other_[e] = other;
    entry_reach_[e] = reach;
    entry_part_[e] = part;
}

void ball_contacts::move_part(const pass_loops& loops, const xy* position, xy* moved, int part) const {
    constexpr int lanes = contact_group_job::lanes;
    const auto p = static_cast<std::size_t>(part);
    for (int g = group_cut_[p]; g < group_cut_[p + 1]; ++g) {
        const auto at = static_cast<std::size_t>(group_entry_[static_cast<std::size_t>(g)]);
        const contact_group_job job{group_ball_.data() + static_cast<std::ptrdiff_t>(g) * lanes,
                                    entry_other_.data() + at, entry_reach_.data() + at, entry_part_.data() + at,
                                    group_pairs_[static_cast<std::size_t>(g)]};
        if (job.pairs > 0)
            loops.contact_moves(position, job, moved);
        else
            for (int i = 0; i < lanes; ++i) moved[job.ball[i]] = position[job.ball[i]];
    }
    for (int c = crowded_cut_[p]; c < crowded_cut_[p + 1]; ++c) {
        const int b = crowded_ball_[static_cast<std::size_t>(c)];
        const xy own = position[b];
        float sx = 0, sy = 0;
        const int first = crowded_first_[static_cast<std::size_t>(c)];
        for (int e = first; e < first + pairs_of_ball_[static_cast<std::size_t>(b)]; ++e) {
            const xy at = position[entry_other_[static_cast<std::size_t>(e)]];
            add_contact_push(at.x - own.x, at.y - own.y, entry_reach_[static_cast<std::size_t>(e)],
                             entry_part_[static_cast<std::size_t>(e)], sx, sy);
        }
        moved[b] = {own.x + sx, own.y + sy};
    }
}

}  // namespace flopkin
