// Gives every connected group of balls its own figure number: 1, 2, 3 ... in
// the list order of each group's first ball; a ball without links is a figure
// of its own. Groups are found by union-find over list positions, so loading a
// document of thousands of small figures stays quick. The balls' numbers,
// which documents name them by, are here too.
#include <vector>

#include "editing/figure_editing.hpp"
#include "physics/figure.hpp"

namespace flopkin {

namespace {

int root_of(std::vector<int>& parent, int i) {
    while (parent[i] != i) {
        parent[i] = parent[parent[i]];
        i = parent[i];
    }
    return i;
}

}  // namespace

void label_figures(figure& f) {
    // each ball's list position, kept in `figure` until the labels are known
    std::vector<ball*> order;
    order.reserve(f.balls.count());
    for (const auto& b : f.balls.all()) {
        b->figure = static_cast<int>(order.size());
        order.push_back(b.get());
    }
    auto position = [&](const ball* b) {
        int i = b ? b->figure : -1;
        bool ok = i >= 0 && i < static_cast<int>(order.size()) && order[i] == b;
        return ok ? i : -1;
    };

    std::vector<int> parent(order.size());
    for (std::size_t i = 0; i < parent.size(); ++i) parent[i] = static_cast<int>(i);
    for (const auto& l : f.links.all()) {
        int a = position(l->end_a.get());
        int b = position(l->end_b.get());
        if (a < 0 || b < 0) continue;  // a link to a ball outside the figure joins nothing
        a = root_of(parent, a);
        b = root_of(parent, b);
        if (a < b) parent[b] = a; else parent[a] = b;
    }

    int counter = 0;
    std::vector<int> label(order.size(), 0);
    for (std::size_t i = 0; i < order.size(); ++i) {
        int r = root_of(parent, static_cast<int>(i));
        if (label[r] == 0) label[r] = ++counter;
        order[i]->figure = label[r];
    }
}

// documents name balls by these numbers: 1, 2, 3 ... in list order
void number_balls(figure& f) {
    int number = 0;
    for (ball_ref b : f.balls.all()) b->number = ++number;
}

}  // namespace flopkin
