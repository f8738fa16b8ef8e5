// Labelling the figures of large documents: many small figures, where the
// plain spreading costs figures x balls x links, and one long chain.
#include <benchmark/benchmark.h>

#include "../tests/unit/editing_plain_labels.hpp"
#include "app/app.hpp"
#include "platform/base/random.hpp"

namespace flopkin {
namespace {

// `balls` balls in figures of `size` balls each, every figure a chain
void make_figures(app& a, int balls, int size) {
    ball_ref previous;
    for (int i = 0; i < balls; ++i) {
        auto b = std::make_shared<ball>(rand);
        a.figure.balls.add_last(b);
        if (i % size != 0) {
            auto l = std::make_shared<link>(rand);
            l->end_a = previous;
            l->end_b = b;
            a.figure.links.add_last(l);
        }
        previous = b;
    }
}

void label_small_figures(benchmark::State& state) {
    app a;
    make_figures(a, static_cast<int>(state.range(0)), 4);
    for (auto _ : state) a.label_figures();
    state.counters["balls"] = static_cast<double>(a.figure.balls.count());
}
BENCHMARK(label_small_figures)->Arg(1000)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);

void label_one_chain(benchmark::State& state) {
    app a;
    make_figures(a, static_cast<int>(state.range(0)), static_cast<int>(state.range(0)));
    for (auto _ : state) a.label_figures();
}
BENCHMARK(label_one_chain)->Arg(20000)->Unit(benchmark::kMillisecond);

// the plain way, for scale: already slow at a twentieth of the size
void label_small_figures_plainly(benchmark::State& state) {
    app a;
    make_figures(a, static_cast<int>(state.range(0)), 4);
    for (auto _ : state) plain_label_figures(a);
}
BENCHMARK(label_small_figures_plainly)->Arg(250)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace flopkin
