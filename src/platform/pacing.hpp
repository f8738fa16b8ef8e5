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

// The page's frames, which the browser shows at its animation frames: the
// simulation steps 60 times a second of real time, whatever the display's
// rate. A frame that begins after the time it is due to be shown, but not so
// far behind that the schedule starts over, is made to catch up: it is
// neither drawn nor shown (the browser would fill its pixels for nothing, on
// a slow machine in the very core the page needs), at most
// most_frames_unshown in a row. The run's last frame is always drawn.
class page_schedule {
public:
    static constexpr double frame_ms = 1000.0 / 60;
    static constexpr int most_frames_unshown = 4;
    // further behind than this (a stalled or hidden page) the schedule starts over
    static constexpr double most_ms_behind = 250;

    // at the frame's start: whether it is drawn
    bool draws(double now_ms);
    // at its end: whether it is shown, at an animation frame near due()
    bool shows(double now_ms);
    void last_frame_begins() { last_frame_ = true; }
    // when the frame that ended last is due to be shown
    double due() const { return due_; }

private:
    double due_of_frame(double now) const;
    bool catching_up(double now, double due) const;

    double due_ = 0;
    int unshown_ = 0;
    bool drawing_ = true;
    bool last_frame_ = false;
};

}  // namespace flopkin
