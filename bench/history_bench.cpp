// Taking a step of history and undoing it on the 19,881-ball mesh (59,080
// links, 235,196 tensions): both happen within a frame, so they must not
// stall it (a step at most 5 ms, an undo at most 50 ms).
#include <benchmark/benchmark.h>

#include <memory>

#include "app/app.hpp"
#include "sample_figures.hpp"
#include "platform/graphics.hpp"
#include "platform/headless/headless_backend.hpp"
#include "platform/base/random.hpp"

namespace flopkin {
namespace {

struct mesh_app {
    headless_backend backend{false};
    std::unique_ptr<app> a;
    mesh_app() {
        use_backend(&backend);
        a = std::make_unique<app>();
        add_mesh(a->figure, 141, 141, -2000, -2000);
        a->build_tensions();
    }
    ~mesh_app() {
        a.reset();
        use_backend(nullptr);
    }
};

void count_figure(benchmark::State& state, app& a) {
    state.counters["balls"] = static_cast<double>(a.figure.balls.count());
    state.counters["links"] = static_cast<double>(a.figure.links.count());
    state.counters["tensions"] = static_cast<double>(a.figure.tensions.count());
    state.counters["step_MB"] = static_cast<double>(a.history.capture(a.scene()).bytes()) / (1 << 20);
}

// as the mode button takes it: the history stays full, so the oldest step
// is let go as each new one comes
void history_take_step_mesh(benchmark::State& state) {
    mesh_app m;
    for (auto _ : state) m.a->history.keep(m.a->history.capture(m.a->scene()));
    count_figure(state, *m.a);
}

// as the drawing takes it, with a ball more each time, or with every ball
// moved as in play mode
void history_take_step_mesh_changed(benchmark::State& state) {
    mesh_app m;
    app& a = *m.a;
    bool moved = state.range(0) == 1;
    for (auto _ : state) {
        state.PauseTiming();
        if (moved)
            for (ball_ref b : a.figure.balls.all()) b->y += 0.5f;
        else
            a.figure.balls.add_last(std::make_shared<ball>(rand));
        state.ResumeTiming();
        a.history.keep(a.history.capture(a.scene()));
    }
    count_figure(state, a);
}

// Ctrl+Z: the figure shown kept for redo, the step's figure rebuilt in its place
void history_undo_mesh(benchmark::State& state) {
    mesh_app m;
    app& a = *m.a;
    a.history.keep(a.history.capture(a.scene()));
    for (auto _ : state) {
        a.undo();
        state.PauseTiming();
        a.redo();
        state.ResumeTiming();
    }
    count_figure(state, a);
}

BENCHMARK(history_take_step_mesh)->Unit(benchmark::kMillisecond);
BENCHMARK(history_take_step_mesh_changed)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(history_undo_mesh)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace flopkin
