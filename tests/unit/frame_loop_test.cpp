#include <gtest/gtest.h>

#include "app/app.hpp"
#include "platform/graphics.hpp"
#include "platform/headless/headless_backend.hpp"
#include "platform/base/random.hpp"
#include "ui/menu.hpp"

namespace flopkin {

class FrameLoop : public ::testing::Test {
protected:
    headless_backend be;
    void SetUp() override { use_backend(&be); }
    void TearDown() override { use_backend(nullptr); }

    int run_with_frames(app& a, long long frames) {
        run_options options;
        options.frames = frames;
        return a.run(options);
    }
};

TEST_F(FrameLoop, OpensTheWindowAndRunsTheAskedFrames) {
    app a;
    EXPECT_EQ(run_with_frames(a, 3), 0);
    EXPECT_EQ(be.opened_width, 1024);
    EXPECT_EQ(be.opened_height, 768);
    EXPECT_EQ(be.title, "Flopkin");
    EXPECT_EQ(a.loop.frames_run, 3);
}

TEST_F(FrameLoop, ZeroFramesIsStartUpOnly) {
    app a;
    EXPECT_EQ(run_with_frames(a, 0), 0);
    EXPECT_EQ(a.loop.frames_run, 0);
    EXPECT_TRUE(be.drawn.empty());
}

TEST_F(FrameLoop, AnEmptyFigureSwitchesToDrawMode) {
    app a;
    EXPECT_EQ(run_with_frames(a, 1), 0);
    EXPECT_EQ(a.mode, figure_mode::draw);
}

TEST_F(FrameLoop, EscapeEndsTheLoopAfterTheFrameIsShown) {
    app a;
    std::string why;
    ASSERT_TRUE(open_graphics(frame_width, frame_height, 0, frames_per_second, why));
    int shown = be.presents;
    EXPECT_TRUE(a.run_frame());
    EXPECT_EQ(be.presents, shown + 1);
    be.press(key_escape);
    EXPECT_FALSE(a.run_frame());
    EXPECT_EQ(be.presents, shown + 2);
    EXPECT_EQ(a.loop.frames_run, 2);
}

TEST_F(FrameLoop, EscapeHeldEndsARunWithoutAFrameCount) {
    app a;
    be.press(key_escape);
    EXPECT_EQ(run_with_frames(a, -1), 0);
    EXPECT_EQ(a.loop.frames_run, 1);
}

TEST_F(FrameLoop, AWindowThatCannotOpenStopsTheRun) {
    app a;
    be.fail_open = true;
    testing::internal::CaptureStderr();
    EXPECT_EQ(run_with_frames(a, 5), 1);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.rfind("Unable to set graphics mode\n", 0), 0u) << err;
    EXPECT_EQ(a.loop.frames_run, 0);
}

TEST_F(FrameLoop, TheFirstFrameClearsToBlackFirst) {
    app a;
    ASSERT_EQ(run_with_frames(a, 1), 0);
    ASSERT_FALSE(be.drawn.empty());
    EXPECT_EQ(be.drawn[0].kind, draw_record::shape::clear);
    EXPECT_EQ(be.drawn[0].colour, (rgb{0, 0, 0}));
}

TEST(PaletteDrift, AllTwoAfterTheFirstFrame) {
    app a;
    seed_rnd(99);
    a.drift_palette();
    for (auto& row : a.palette.colour)
        for (int value : row) EXPECT_EQ(value, 2);
}

TEST(PaletteDrift, ClimbsTwoPerFrameWithoutReversals) {
    app a;
    seed_rnd(13325);  // a seed whose first 900 draws hold no reversal
    for (int frame = 0; frame < 10; ++frame) a.drift_palette();
    for (auto& row : a.palette.colour)
        for (int value : row) EXPECT_EQ(value, 20);
}

TEST(PaletteDrift, StaysEvenAndInsideItsBounds) {
    app a;
    seed_rnd(4242);
    bool turned = false;
    for (int frame = 0; frame < 3000; ++frame) {
        a.drift_palette();
        for (int i = 0; i < a.palette.size; ++i)
            for (int j = 0; j < 3; ++j) {
                int value = a.palette.colour[i][j], step = a.palette.step[i][j];
                ASSERT_EQ(value % 2, 0);
                ASSERT_GE(value, 0);
                ASSERT_LE(value, 254);
                ASSERT_TRUE(step == 2 || step == -2);
                turned |= value > 4 && value < 250 && step < 0;
            }
    }
    EXPECT_TRUE(turned);  // random reversals do happen away from the bounds
}

}  // namespace flopkin
