#include <gtest/gtest.h>

#include <algorithm>
#include <deque>

#include "platform/headless/headless_backend.hpp"
#include "platform/pacing.hpp"

namespace flopkin {

// a display whose presentations take the scripted times, one per present
class timed_display : public headless_backend {
public:
    std::deque<int> costs;
    void present() override {
        present_cost_ms = costs.empty() ? present_cost_ms : costs.front();
        if (!costs.empty()) costs.pop_front();
        headless_backend::present();
    }
};

class Pacing : public ::testing::Test {
protected:
    timed_display display;
    frame_pacer pacer;
    void SetUp() override { display.clock_ms = 5000; }
};

TEST_F(Pacing, ADisplayAtTheRateKeepsTheVerticalBlank) {
    display.present_cost_ms = 16;  // 1000 / 60 in whole ms
    pacer.start(display, 60);
    EXPECT_FALSE(pacer.clock_paced());
    EXPECT_EQ(display.presents, 3);
    EXPECT_EQ(display.swap_interval, 1);
    int before = display.clock_ms;
    pacer.flip(display);
    EXPECT_EQ(display.clock_ms - before, 16);  // only the presentation's own wait
}

TEST_F(Pacing, OnTimeMeansWithinOneMillisecond) {
    for (int cost : {15, 17}) {
        timed_display d;
        d.present_cost_ms = cost;
        frame_pacer p;
        p.start(d, 60);
        EXPECT_FALSE(p.clock_paced()) << cost;
    }
    for (int cost : {14, 18, 0}) {
        timed_display d;
        d.present_cost_ms = cost;
        frame_pacer p;
        p.start(d, 60);
        EXPECT_TRUE(p.clock_paced()) << cost;
        EXPECT_EQ(d.presents, 60) << cost;
        EXPECT_EQ(d.swap_interval, 0) << cost;
    }
}

TEST_F(Pacing, NeedsThreeOnTimeInARow) {
    display.costs = {16, 16, 0, 16, 16, 16, 0};
    pacer.start(display, 60);
    EXPECT_FALSE(pacer.clock_paced());
    EXPECT_EQ(display.presents, 6);

    timed_display broken;
    for (int i = 0; i < 30; ++i) broken.costs.insert(broken.costs.end(), {16, 16, 0});
    frame_pacer p;
    p.start(broken, 60);
    EXPECT_TRUE(p.clock_paced());
}

TEST_F(Pacing, NoRateMeansNoTimingAtAll) {
    pacer.start(display, 0);
    EXPECT_FALSE(pacer.clock_paced());
    EXPECT_EQ(display.presents, 0);
    EXPECT_EQ(display.swap_interval, 1);
}

TEST_F(Pacing, TheClockHoldsSixtyFramesASecond) {
    pacer.start(display, 60);  // instant presentations: no vertical blank
    ASSERT_TRUE(pacer.clock_paced());
    int t0 = display.clock_ms;
    for (int frame = 1; frame <= 120; ++frame) {
        display.clock_ms += 3;  // the frame's own work
        pacer.flip(display);
        ASSERT_EQ(display.clock_ms - t0, frame * 1000 / 60) << frame;
    }
}

TEST_F(Pacing, ALateFrameRestartsTheScheduleFromNow) {
    pacer.start(display, 60);
    int t0 = display.clock_ms;
    pacer.flip(display);
    EXPECT_EQ(display.clock_ms - t0, 16);
    display.clock_ms += 2000;  // a long stall: no catching up afterwards
    int stalled = display.clock_ms;
    pacer.flip(display);
    EXPECT_EQ(display.clock_ms, stalled);
    pacer.flip(display);
    EXPECT_EQ(display.clock_ms - stalled, 16);
    pacer.flip(display);
    EXPECT_EQ(display.clock_ms - stalled, 33);
}

TEST_F(Pacing, ClockGoingBackwardsDoesNotSleepForAges) {
    pacer.start(display, 60);
    display.clock_ms -= 3000;
    int now = display.clock_ms;
    pacer.flip(display);
    EXPECT_EQ(display.clock_ms, now);
    pacer.flip(display);
    // one frame's wait again (the schedule's division rounds toward zero)
    EXPECT_GE(display.clock_ms - now, 16);
    EXPECT_LE(display.clock_ms - now, 17);
}

TEST_F(Pacing, UnpacedFramesNeverWait) {
    pacer.start(display, 60);
    pacer.unpace(display);
    int before = display.clock_ms;
    for (int i = 0; i < 10; ++i) pacer.flip(display);
    EXPECT_EQ(display.clock_ms, before);
    EXPECT_EQ(display.presents, 70);
}

TEST_F(Pacing, UnpacedFramesLeaveTheVerticalBlankToo) {
    display.present_cost_ms = 16;
    pacer.start(display, 60);
    ASSERT_EQ(display.swap_interval, 1);
    pacer.unpace(display);
    EXPECT_EQ(display.swap_interval, 0);
}

// The page on a machine too slow for 60 frames a second (a drawn frame takes
// 30 ms, one made to catch up and left undrawn 20 ms): the frames made to
// catch up are left unshown, never more than four in a row, and the run's
// last frame is drawn even when it begins behind, after a stall.
TEST(PageSchedule, LeavesAtMostFourFramesUnshownAndAlwaysDrawsTheLast) {
    page_schedule schedule;
    double now = 1000;
    int in_a_row = 0, most_in_a_row = 0;
    for (int frame = 0; frame < 100; ++frame) {
        now += schedule.draws(now) ? 30 : 20;
        bool shown = schedule.shows(now);
        in_a_row = shown ? 0 : in_a_row + 1;
        most_in_a_row = std::max(most_in_a_row, in_a_row);
        // a frame shown waits for its animation frame
        if (shown) now = std::max(now, schedule.due());
    }
    EXPECT_EQ(most_in_a_row, page_schedule::most_frames_unshown);
    page_schedule stalled;
    ASSERT_TRUE(stalled.draws(0) && stalled.shows(10));
    ASSERT_FALSE(stalled.draws(150));
    stalled.last_frame_begins();
    EXPECT_TRUE(stalled.draws(150));
}

}  // namespace flopkin
