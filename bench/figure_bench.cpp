// Loading a big document, pressing Play on a big figure, a whole frame of a
// big document without a window, and what a standing figure's frame
// allocates.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "allocation_count.hpp"
#include "app/app.hpp"
#include "sample_figures.hpp"
#include "platform/graphics.hpp"
#include "platform/headless/headless_backend.hpp"
#include "physics/relaxation.hpp"

namespace flopkin {
namespace {

struct headless {
    headless_backend backend{false};
    headless() { use_backend(&backend); }
    ~headless() { use_backend(nullptr); }
};

std::string crowd_path() { return (std::filesystem::temp_directory_path() / "flopkin-bench-crowd.fkn").string(); }

// Open of a crowd document: read, widen the view, label the figures
void load_crowd_document(benchmark::State& state) {
    headless h;
    {
        app a;
        add_sized_figure(a.figure, "crowd", static_cast<int>(state.range(0)), 20, 20);
        a.number_balls();
        std::string why;
        if (!a.write_document(crowd_path(), why)) state.SkipWithError(why.c_str());
    }
    for (auto _ : state) {
        state.PauseTiming();
        auto a = std::make_unique<app>();
        state.ResumeTiming();
        a->load_document(1, crowd_path());
        benchmark::DoNotOptimize(a->figure.balls.count());
        state.PauseTiming();
        a.reset();
        state.ResumeTiming();
    }
    std::filesystem::remove(crowd_path());
}

// the mode button in draw mode: tensions rebuilt, figures labelled, and the
// new tensions gathered into the relaxation arrays (done by the first play
// frame)
void press_play(benchmark::State& state) {
    headless h;
    app a;
    add_sized_figure(a.figure, state.range(1) ? "crowd" : "mesh", static_cast<int>(state.range(0)), -2000, -2000);
    a.view.view_left = -2340;
    a.view.view_right = 3120;
    a.fit_view();
    for (auto _ : state) {
        a.mode = figure_mode::draw;
        a.build_tensions();
        a.editing.selected.reset();
        a.label_figures();
        a.mode = figure_mode::play;
        a.figure.relax->gather(a.figure);
    }
    state.counters["tensions"] = static_cast<double>(a.figure.tensions.count());
}

// Every step of the frame loop on an opened mesh document, drawing into the
// headless backend (which keeps nothing), frames back to back: what
// `flopkin --headless --unpaced --stats` times. range(1) threads, 0 for the
// program's own choice.
void headless_frame(benchmark::State& state) {
    headless h;
    const std::string path = (std::filesystem::temp_directory_path() / "flopkin-bench-mesh.fkn").string();
    {
        app maker;
        add_sized_figure(maker.figure, "mesh", static_cast<int>(state.range(0)), 20, 20);
        maker.number_balls();
        std::string why;
        if (!maker.write_document(path, why)) state.SkipWithError(why.c_str());
    }
    app a;
    std::string why;
    if (!open_graphics(a.view.screen_width, a.view.screen_height, 0, 60, why)) state.SkipWithError(why.c_str());
    unpace_frames();
    a.figure.relax->use_threads(static_cast<int>(state.range(1)));
    a.load_document(1, path);
    a.run_frame();  // the figure stands: arrays sized and indexed
    for (auto _ : state) a.run_frame();
    state.counters["balls"] = static_cast<double>(a.figure.balls.count());
    std::filesystem::remove(path);
}

void allocations_per_frame(benchmark::State& state) {
    headless h;
    app a;
    add_sized_figure(a.figure, "mesh", static_cast<int>(state.range(0)), -2000, -2000);
    a.figure.relax->use_threads(static_cast<int>(state.range(1)));
    a.mode = figure_mode::play;
    a.simulation_step();
    long before = allocations_so_far();
    long frames = 0;
    for (auto _ : state) {
        a.simulation_step();
        ++frames;
    }
    state.counters["allocations_per_frame"] = static_cast<double>(allocations_so_far() - before) / frames;
}

BENCHMARK(load_crowd_document)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(press_play)->Args({20000, 0})->Args({20000, 1})->Unit(benchmark::kMillisecond);
BENCHMARK(headless_frame)->Args({5000, 0})->Args({5000, 1})->Args({20000, 0})->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(allocations_per_frame)->Args({5000, 1})->Args({5000, 2})->Iterations(20)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace flopkin
