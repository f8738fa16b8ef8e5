#include "platform/pacing.hpp"

#include "platform/backend.hpp"

namespace flopkin {

void frame_pacer::start(backend& be, int hertz) {
    hertz_ = hertz;
    clock_paced_ = false;
    be.set_swap_interval(1);
    if (hertz <= 0) return;
    // a successful swap-interval call proves nothing: time the presentations
    int frame_ms = 1000 / hertz;
    int on_time = 0;
    for (int i = 0; i < hertz; ++i) {
        int before = be.millisecs();
        be.present();
        int late = be.millisecs() - before - frame_ms;
        on_time = (late >= -1 && late <= 1) ? on_time + 1 : 0;
        if (on_time == 3) return;
    }
    t0_ = be.millisecs();
    k_ = 0;
    clock_paced_ = true;
    be.set_swap_interval(0);
}

void frame_pacer::unpace(backend& be) {
    clock_paced_ = false;
    be.set_swap_interval(0);
}

void frame_pacer::flip(backend& be) {
    if (clock_paced_) {
        int now = be.millisecs();
        k_ += 1000;
        long long elapsed = static_cast<long long>(now) - t0_;
        long long wait = k_ / hertz_ - elapsed;
        if (wait >= 1 && wait <= 999) {
            be.sleep_ms(static_cast<int>(wait));
        } else {
            // the target has passed or is absurdly far: restart the schedule from now
            k_ = elapsed * hertz_;
        }
    }
    be.present();
}

bool page_schedule::draws(double now_ms) {
    drawing_ = last_frame_ || !catching_up(now_ms, due_of_frame(now_ms));
    return drawing_;
}

bool page_schedule::shows(double now_ms) {
    due_ = due_of_frame(now_ms);
    // a frame left undrawn is never shown
    if (!drawing_ || catching_up(now_ms, due_)) {
        ++unshown_;
        return false;
    }
    unshown_ = 0;
    return true;
}

// a frame after the one before, or one from now where the schedule starts,
// or starts over
double page_schedule::due_of_frame(double now) const {
    double due = due_ == 0 ? now + frame_ms : due_ + frame_ms;
    return now > due + most_ms_behind ? now + frame_ms : due;
}

bool page_schedule::catching_up(double now, double due) const {
    return now >= due && unshown_ < most_frames_unshown;
}

}  // namespace flopkin
