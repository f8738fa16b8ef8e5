// Time to write and to read back a large document on disk: a chain of balls,
// each linked to the next, with a tension at every inner ball.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "app/app.hpp"
#include "platform/graphics.hpp"
#include "platform/headless/headless_backend.hpp"
#include "platform/base/random.hpp"

namespace flopkin {

namespace {

void build_chain(app& a, int count) {
    ball_ref previous, before;
    for (int i = 0; i < count; ++i) {
        auto b = std::make_shared<ball>(rand);
        b->x = b->old_x = static_cast<float>(i % 700);
        b->y = b->old_y = static_cast<float>(i / 700);
        a.figure.balls.add_last(b);
        if (previous) {
            auto l = std::make_shared<link>(rand);
            l->end_a = previous;
            l->end_b = b;
            l->rest_length = 1;
            a.figure.links.add_last(l);
        }
        if (before) {
            auto t = std::make_shared<tension>();
            t->end_a = before;
            t->vertex = previous;
            t->end_b = b;
            t->rest_angle = 180;
            a.figure.tensions.add_last(t);
        }
        before = previous;
        previous = b;
    }
    a.number_balls();
}

std::string bench_path() { return (std::filesystem::temp_directory_path() / "flopkin-bench.fkn").string(); }

void write_document_bench(benchmark::State& state) {
    headless_backend hb(false);
    use_backend(&hb);
    app a;
    build_chain(a, static_cast<int>(state.range(0)));
    std::string why;
    for (auto _ : state) benchmark::DoNotOptimize(a.write_document(bench_path(), why));
    state.SetItemsProcessed(state.iterations() * state.range(0));
    use_backend(nullptr);
}

void read_document_bench(benchmark::State& state) {
    headless_backend hb(false);
    use_backend(&hb);
    {
        app a;
        build_chain(a, static_cast<int>(state.range(0)));
        std::string why;
        a.write_document(bench_path(), why);
    }
    for (auto _ : state) {
        app a;
        a.load_document(1, bench_path());
        benchmark::DoNotOptimize(a.figure.balls.count());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    std::filesystem::remove(bench_path());
    use_backend(nullptr);
}

}  // namespace

BENCHMARK(write_document_bench)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(read_document_bench)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace flopkin
