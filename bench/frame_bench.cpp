// The frame's simulation step and tension building on generated figures.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "app/app.hpp"
#include "sample_figures.hpp"
#include "platform/graphics.hpp"
#include "platform/headless/headless_backend.hpp"
#include "physics/relaxation.hpp"

namespace flopkin {
namespace {

// an app whose view is the whole world, so large figures stand in it
struct bench_app {
    headless_backend backend{false};
    std::unique_ptr<app> a;
    bench_app() {
        use_backend(&backend);
        a = std::make_unique<app>();
        a->view.view_left = -2340;
        a->view.view_right = 3120;
        a->view.view_top = -2304;
        a->view.view_bottom = 3072;
        a->fit_view();
    }
    ~bench_app() {
        a.reset();
        use_backend(nullptr);
    }
};

void add_side_mesh(app& a, int balls) { add_sized_figure(a.figure, "mesh", balls, -2000, -2000); }

void add_sized_crowd(app& a, int balls) { add_sized_figure(a.figure, "crowd", balls, -2300, -2250); }

// range(0) balls, shared by `threads` threads
void run_frames(benchmark::State& state, void (*build)(app&, int), int threads = 1) {
    bench_app b;
    app& a = *b.a;
    build(a, static_cast<int>(state.range(0)));
    a.figure.relax->use_threads(threads);
    a.mode = figure_mode::play;
    a.simulation_step();  // the figure stands: arrays sized and indexed
    for (auto _ : state) a.simulation_step();
    double evaluations = static_cast<double>(relaxation_passes) * static_cast<double>(a.figure.links.count() + a.figure.tensions.count());
    state.counters["balls"] = static_cast<double>(a.figure.balls.count());
    state.counters["links"] = static_cast<double>(a.figure.links.count());
    state.counters["tensions"] = static_cast<double>(a.figure.tensions.count());
    state.counters["evals_per_s"] = benchmark::Counter(evaluations, benchmark::Counter::kIsIterationInvariantRate);
    // how a team that sizes itself spent the frames
    const relaxation::team_frames& team = a.figure.relax->frames_of_team();
    if (threads == 0) {
        state.counters["frames_shared"] = static_cast<double>(team.shared);
        state.counters["frames_alone"] = static_cast<double>(team.alone);
        state.counters["frames_changing"] = static_cast<double>(team.changing);
    }
}

void frame_step_mesh(benchmark::State& state) { run_frames(state, add_side_mesh); }
void frame_step_crowd(benchmark::State& state) { run_frames(state, add_sized_crowd); }
void frame_step_mesh_threads(benchmark::State& state) {
    run_frames(state, add_side_mesh, static_cast<int>(state.range(1)));
}

void build_tensions_mesh(benchmark::State& state) {
    bench_app b;
    app& a = *b.a;
    add_side_mesh(a, static_cast<int>(state.range(0)));
    for (auto _ : state) a.build_tensions();
    state.counters["tensions"] = static_cast<double>(a.figure.tensions.count());
}

BENCHMARK(frame_step_mesh)->Arg(1000)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);
// threads 0: the default, a team that sizes itself
BENCHMARK(frame_step_mesh_threads)
    ->Args({5000, 1})
    ->Args({5000, 2})
    ->Args({5000, 0})
    ->Args({10000, 1})
    ->Args({10000, 2})
    ->Args({20000, 1})
    ->Args({20000, 2})
    ->Args({20000, 0})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(frame_step_crowd)->Arg(1000)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(build_tensions_mesh)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace flopkin
