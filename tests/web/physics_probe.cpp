// The simulation as the page runs it, built both for the machine and for the
// browser so the browser test can compare the two in one run: the golden
// figure's hash after its frames, and the time of one step of a 5,041-ball
// mesh on one thread. Prints one line of JSON.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "app/app.hpp"
#include "golden_figure.hpp"
#include "platform/graphics.hpp"
#include "platform/headless/headless_backend.hpp"
#include "physics/relaxation.hpp"

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
// the page waits like this between frames; waiting at all makes the probe
// carry the same instrumentation for waiting as the page
inline void probe_pause() { emscripten_sleep(0); }
#else
inline void probe_pause() {}
#endif

int main() {
    using namespace flopkin;
    headless_backend screen(false);
    use_backend(&screen);
    std::uint64_t hash;
    {
        app a;
        add_golden_figure(a.figure);
        for (int frame = 0; frame < golden_frames; ++frame) a.simulation_step();
        hash = state_hash(a.figure);
    }
    // the fastest of many short blocks of steps: what a step costs when the
    // machine's other work leaves it alone
    std::vector<double> block_ms;
    std::size_t balls;
    {
        app a;
        add_sized_figure(a.figure, "mesh", 5041, -2000, -2000);
        balls = a.figure.balls.count();
        a.figure.relax->use_threads(1);
        a.mode = figure_mode::play;
        for (int warm = 0; warm < 10; ++warm) a.simulation_step();
        constexpr int blocks = 20, steps = 5;
        for (int b = 0; b < blocks; ++b) {
            auto start = std::chrono::steady_clock::now();
            for (int s = 0; s < steps; ++s) a.simulation_step();
            block_ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / steps);
            probe_pause();
        }
    }
    use_backend(nullptr);
    std::printf("{\"golden\":\"%llu\",\"mesh_balls\":%zu,\"mesh_step_ms\":%.4f}\n", static_cast<unsigned long long>(hash),
                balls, *std::min_element(block_ms.begin(), block_ms.end()));
    return 0;
}
