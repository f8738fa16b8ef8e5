#pragma once
// Frame pacing for a requested rate: first try the display's vertical blank,
// and when presentations do not come at that rate, pace by the clock.
namespace flopkin {

class backend;

class frame_pacer {
public:
    // Turns on vertical-blank waiting and times up to `hertz` presentations;
    // three in a row within 1 ms of the frame time mean the display already
    // paces. Otherwise the clock paces from now on.
    void start(backend& be, int hertz);
    // waits as pacing requires, then presents
    void flip(backend& be);
    // presents frames back to back from now on, not waiting for the
    // vertical blank either
    void unpace(backend& be);

    bool clock_paced() const { return clock_paced_; }

private:
    int hertz_ = 0;
    bool clock_paced_ = false;
    int t0_ = 0;
    long long k_ = 0;
};

}  // namespace flopkin
