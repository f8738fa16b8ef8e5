#include "physics/pass_team.hpp"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace flopkin {

namespace {

inline void pause() {
#if defined(__x86_64__)
    _mm_pause();
#endif
}

// Waits until `moved` says so: spinning first, because the parts of a pass
// take microseconds; then giving the core away, since the machine may have
// fewer free cores than the team has members.
template <class F>
void wait_until(F moved) {
    for (int spin = 0; spin < 4000; ++spin) {
        if (moved()) return;
        pause();
    }
    while (!moved()) std::this_thread::yield();
}

}  // namespace

int cores_for_passes() {
    unsigned n = std::thread::hardware_concurrency();
    return n == 0 ? 1 : static_cast<int>(n);
}

pass_team::pass_team(int members) {
    for (int part = 1; part < members; ++part) threads_.emplace_back([this, part] { serve(part); });
}

pass_team::~pass_team() {
    closing_.store(true);
    round_.fetch_add(1);
    round_.notify_all();
    for (std::thread& t : threads_) t.join();
}

void pass_team::run(job work, void* context) {
    if (threads_.empty()) {
        work(context, 0, 1);
        return;
    }
    work_ = work;
    context_ = context;
    busy_.store(static_cast<int>(threads_.size()));
    round_.fetch_add(1, std::memory_order_release);
    round_.notify_all();
    work(context, 0, members());
    wait_until([&] { return busy_.load(std::memory_order_acquire) == 0; });
}

void pass_team::serve(int part) {
    unsigned seen = 0;
    for (;;) {
        // parts follow each other within microseconds inside a step; between
        // frames the team sleeps rather than burn a core
        int spins = 0;
        while (round_.load(std::memory_order_acquire) == seen) {
            if (++spins < 4000) {
                pause();
            } else if (spins < 4200) {
                std::this_thread::yield();
            } else {
                round_.wait(seen);
            }
        }
        seen = round_.load(std::memory_order_acquire);
        if (closing_.load()) return;
        work_(context_, part, members());
        busy_.fetch_sub(1, std::memory_order_release);
    }
}

}  // namespace flopkin
