// A long session of a random user on the headless platform. After every
// frame the figure's invariants are checked; at the end the memory in use
// must be within 10 % of what it was after three quarters of them. Any
// failure prints the seed and the frame, so that the run can be replayed
// with the same seed and that frame count.
//
// usage: random_session [--seed N] [--frames N]
#include <signal.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "invariants.hpp"
#include "memory_in_use.hpp"
#include "sample_figures.hpp"
#include "app/value_table.hpp"
#include "platform/graphics.hpp"
#include "platform/base/random.hpp"
#include "random_user.hpp"

namespace {

using namespace flopkin;

std::uint32_t seed = 1;
std::atomic<long long> frame{0};  // read by the hang handler
char hang_message[160];

// a frame that takes this long is a hang
constexpr unsigned frame_time_limit_s = 60;

void on_hang(int) {
    ssize_t n = std::snprintf(hang_message, sizeof hang_message,
                              "random session: seed %u frame %lld: the frame did not end within %us\n", seed, frame.load(),
                              frame_time_limit_s);
    if (n > 0) (void)!::write(2, hang_message, static_cast<std::size_t>(n));
    ::_exit(1);
}

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "random session: seed %u frame %lld: %s\n", seed, frame.load(), what.c_str());
    std::fprintf(stderr, "replay with: random_session --seed %u --frames %lld\n", seed, frame.load());
    std::exit(1);
}

bool parse(int argc, char** argv, long long& frames) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (i + 1 >= argc) return false;
        char* end = nullptr;
        long long value = std::strtoll(argv[++i], &end, 10);
        if (*end != '\0' || value < 0) return false;
        if (arg == "--seed")
            seed = static_cast<std::uint32_t>(value);
        else if (arg == "--frames")
            frames = value;
        else
            return false;
    }
    return true;
}

// What the program keeps besides the figure. Buffers sized to the largest
// figure so far stay as large as they grew, so before measuring, a figure
// larger than any the random user can make (it clears at 60 balls) is taken
// through one step; both measurements then see buffers of the same size.
std::size_t settled_memory(app& a) {
    a.clear_all();
    add_mesh(a.figure, 20, 20, 0, 0);
    a.build_tensions();
    a.simulation_step();
    a.clear_all();
    a.simulation_step();  // the step lets go of its copy of the figure
    // the history holds the last hundred figures, whatever their size; it
    // is bounded by itself and let go here
    a.history = figure_history{};
    return memory_in_use();
}

}  // namespace

int main(int argc, char** argv) {
    long long frames = 20000;
    if (!parse(argc, argv, frames)) {
        std::fprintf(stderr, "usage: random_session [--seed N] [--frames N]\n");
        return 2;
    }
    // a folder of its own: the session saves and opens documents
    char pattern[] = "/tmp/flopkin-session-XXXXXX";
    if (!::mkdtemp(pattern)) {
        std::perror("random session: mkdtemp");
        return 1;
    }
    std::filesystem::path folder = pattern, started_in = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    ::signal(SIGALRM, on_hang);

    // which limits the settings reached, and how far the zoom went each way
    struct limit {
        bool reached_low = false, reached_high = false;
    };
    std::array<limit, value_settings.size()> limits;
    float least_zoom = highest_zoom, most_zoom = 0;
    long long measured_at = -1;
    std::size_t early = 0, late = 0;
    user_tally tally;
    {
        headless_backend hb(false);
        use_backend(&hb);
        std::string why;
        if (!open_graphics(frame_width, frame_height, 0, frames_per_second, why)) fail("no headless window: " + why);
        unpace_frames();
        seed_rnd(static_cast<int>(seed));

        app a;
        random_user user(seed, a, hb);
        for (frame = 1; frame <= frames; ++frame) {
            bool escape = user.before_frame();
            ::alarm(frame_time_limit_s);
            bool goes_on = a.run_frame();
            ::alarm(0);
            if (a.loop.quit_requested) fail("the frame loop was told to quit");
            if (goes_on == escape) fail(escape ? "an Escape tap did not end the frame loop" : "the frame loop ended");
            std::string broken = broken_invariant(a);
            if (!broken.empty()) fail(broken);
            for (std::size_t k = 0; k < limits.size(); ++k) {
                const value_setting& row = value_settings[k];
                limits[k].reached_low = limits[k].reached_low || row.value(a) == row.lowest;
                limits[k].reached_high = limits[k].reached_high || row.value(a) == row.highest;
            }
            least_zoom = std::min(least_zoom, a.view.zoom);
            most_zoom = std::max(most_zoom, a.view.zoom);
            // The first measurement at three quarters of the run, once the
            // user has done most things at least once: buffers made the first
            // time a thing is done (the touching balls' of the first
            // collisions) stay, and are no growth. It waits for the user to be
            // between gestures.
            if (measured_at < 0 && frame >= frames / 4 * 3 && user.between_gestures()) {
                early = settled_memory(a);
                measured_at = frame;
            }
        }
        --frame;
        late = settled_memory(a);
        tally = user.tally();
        use_backend(nullptr);
    }
    std::filesystem::current_path(started_in);
    std::filesystem::remove_all(folder);

    std::printf("random session: seed %u, %lld frames: %lld clicks, %lld drags, %lld command presses, "
                "%lld stepper holds, %lld pauses, %lld escape taps, %lld other-button clicks, %lld shortcuts\n",
                seed, frames, tally.clicks, tally.drags, tally.commands, tally.holds, tally.idles, tally.escapes,
                tally.other_buttons, tally.shortcuts);
    std::printf("random session: limits reached:");
    for (std::size_t k = 0; k < limits.size(); ++k) {
        std::string name = value_settings[k].label;  // "Gravity= "
        name.resize(name.find('='));
        std::printf(" %s%s%s", name.c_str(), limits[k].reached_low ? " lowest" : "",
                    limits[k].reached_high ? " highest" : "");
    }
    std::printf("; zoom from %g to %g\n", least_zoom, most_zoom);
    std::printf("random session: memory in use %zu bytes after frame %lld, %zu at the end\n", early, measured_at,
                late);
    if (measured_at >= 0 && static_cast<double>(late) > 1.1 * static_cast<double>(early))
        fail("memory in use grew by more than 10 %: " + std::to_string(early) + " -> " + std::to_string(late));
    return 0;
}
