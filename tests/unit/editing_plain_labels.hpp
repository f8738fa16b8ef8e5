#pragma once
// Figure labels computed the plain way, as the reference the fast labelling
// must match: seed each unlabelled ball with a new number and spread it over
// the links as many times as there are balls.
#include "app/app.hpp"

namespace flopkin {

inline void plain_label_figures(app& a) {
    for (ball_ref b : a.figure.balls.all()) b->figure = 0;
    int counter = 0;
    std::size_t n = a.figure.balls.count();
    for (ball_ref b : a.figure.balls.all()) {
        if (b->figure != 0) continue;
        b->figure = ++counter;
        for (std::size_t k = 0; k < n; ++k)
            for (const auto& l : a.figure.links.all()) {
                if (l->end_a->figure != 0) l->end_b->figure = l->end_a->figure;
                if (l->end_b->figure != 0) l->end_a->figure = l->end_b->figure;
            }
    }
}

}  // namespace flopkin
