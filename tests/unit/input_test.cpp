#include <gtest/gtest.h>

#include <cstring>

#include "platform/graphics.hpp"
#include "platform/headless/headless_backend.hpp"

namespace flopkin {

class Input : public ::testing::Test {
protected:
    headless_backend be;
    void SetUp() override { use_backend(&be); }
    void TearDown() override { use_backend(nullptr); }
    void click(int code) {
        be.press(code);
        be.release(code);
    }
};

TEST_F(Input, HitIsReadOnceThenZero) {
    click(code_mouse_left);
    EXPECT_EQ(mouse_hit(1), 1);
    EXPECT_EQ(mouse_hit(1), 0);
}

TEST_F(Input, HoldingCountsOnePressAndRepeatsAddNothing) {
    be.press(code_mouse_left);
    be.press(code_mouse_left);  // no release between: still the same press
    EXPECT_EQ(mouse_down(1), 1);
    EXPECT_EQ(mouse_hit(1), 1);
    be.events.push_back({input_event::kind::repeat, 65});
    be.press(65);
    be.events.push_back({input_event::kind::repeat, 65});
    EXPECT_EQ(key_hit(65), 1);
    EXPECT_EQ(key_down(65), 1);
}

TEST_F(Input, TwoPressesBetweenQueriesCountTwo) {
    click(code_mouse_left);
    click(code_mouse_left);
    EXPECT_EQ(mouse_hit(1), 2);
    clear_screen();
    clear_screen();
    EXPECT_EQ(mouse_down(1), 0);
}

// a tap shorter than a frame reads as held by every query of one whole frame;
// pressed after the frame's first query, by every query of the next one too
TEST_F(Input, APressIsDownThroughAWholeFrameBeforeItsReleaseApplies) {
    clear_screen();
    click(code_mouse_left);
    EXPECT_EQ(mouse_down(1), 1);
    EXPECT_EQ(mouse_hit(1), 1);
    EXPECT_EQ(mouse_down(1), 1);
    clear_screen();
    EXPECT_EQ(mouse_down(1), 0);

    EXPECT_EQ(mouse_down(1), 0);  // this frame has read the state
    click(code_mouse_left);
    EXPECT_EQ(mouse_down(1), 1);
    clear_screen();
    EXPECT_EQ(mouse_down(1), 1);
    EXPECT_EQ(mouse_hit(1), 1);
    clear_screen();
    EXPECT_EQ(mouse_down(1), 0);

    // held over a frame already: the release applies at once
    clear_screen();
    be.press(key_escape);
    EXPECT_EQ(key_down(key_escape), 1);
    clear_screen();
    be.release(key_escape);
    EXPECT_EQ(key_down(key_escape), 0);
}

TEST_F(Input, FlushWhileHeldReadsUpUntilPressedAgain) {
    be.press(code_mouse_left);
    EXPECT_EQ(mouse_down(1), 1);
    flush_keys();
    EXPECT_EQ(mouse_down(1), 0);
    EXPECT_EQ(mouse_hit(1), 0);
    be.release(code_mouse_left);
    EXPECT_EQ(mouse_down(1), 0);
    be.press(code_mouse_left);
    EXPECT_EQ(mouse_down(1), 1);
    EXPECT_EQ(mouse_hit(1), 1);
}

TEST_F(Input, FlushClearsKeysAndHitsOfEveryCode) {
    be.press(key_escape);
    be.press(255);
    click(code_mouse_right);
    flush_keys();
    EXPECT_EQ(key_down(key_escape), 0);
    EXPECT_EQ(key_down(255), 0);
    EXPECT_EQ(key_hit(255), 0);
    EXPECT_EQ(mouse_hit(2), 0);
}

TEST_F(Input, MouseButtonsMapToTheirCodes) {
    be.press(code_mouse_middle);
    EXPECT_EQ(mouse_down(3), 1);  // the middle button reads code 4
    EXPECT_EQ(key_down(4), 1);
    EXPECT_EQ(mouse_down(2), 0);
    EXPECT_EQ(mouse_down(4), 0);  // not a button number
    EXPECT_EQ(mouse_down(0), 0);
    EXPECT_EQ(mouse_hit(-1), 0);
    be.press(code_mouse_right);
    EXPECT_EQ(mouse_down(2), 1);
    EXPECT_EQ(mouse_hit(2), 1);
    EXPECT_EQ(mouse_hit(3), 1);
}

TEST_F(Input, OutOfRangeCodesReadZeroAndAreIgnored) {
    be.press(0);
    be.press(256);
    be.press(-3);
    EXPECT_EQ(key_down(0), 0);
    EXPECT_EQ(key_down(256), 0);
    EXPECT_EQ(key_down(-3), 0);
    EXPECT_EQ(key_hit(256), 0);
    be.press(255);
    EXPECT_EQ(key_down(255), 1);

    // so are controls outside their numbers: nothing of the input state is
    // written, within its tables or past them
    input_state state;
    state.move(100, 100);
    unsigned char before[sizeof state];
    std::memcpy(before, &state, sizeof state);
    for (int control : {most_controls, most_controls + 1, -1}) {
        state.press_control(control);
        state.release_control(control);
    }
    EXPECT_EQ(std::memcmp(before, &state, sizeof state), 0);
}

TEST_F(Input, PointerIsSigned16Bit) {
    be.move(-5, 40000);
    EXPECT_EQ(mouse_x(), -5);
    EXPECT_EQ(mouse_y(), 40000 - 65536);
    be.move(1023, -32768);
    EXPECT_EQ(mouse_x(), 1023);
    EXPECT_EQ(mouse_y(), -32768);
}

TEST_F(Input, EveryQuerySeesEventsThatArrivedSinceTheLastOne) {
    EXPECT_EQ(key_down(key_escape), 0);
    be.press(key_escape);
    EXPECT_EQ(key_down(key_escape), 1);
    be.move(7, 8);
    EXPECT_EQ(mouse_x(), 7);
}

TEST_F(Input, RequesterAnswersAndClearsEveryKeyWhenItCloses) {
    be.press(code_mouse_left);
    be.press(key_escape);
    be.requester_answers.push_back("saved flopkins/a.fkn");
    EXPECT_EQ(request_file("Open file:", "All Files:*;Flopkin files (.fkn):fkn", false, "saved flopkins/"),
              "saved flopkins/a.fkn");
    EXPECT_EQ(mouse_down(1), 0);
    EXPECT_EQ(key_down(key_escape), 0);
    EXPECT_EQ(mouse_hit(1), 0);
    ASSERT_EQ(be.requester_calls.size(), 1u);
    EXPECT_EQ(be.requester_calls[0].prompt, "Open file:");
    EXPECT_FALSE(be.requester_calls[0].save);
    // a dry script cancels
    EXPECT_EQ(request_file("Save as:", "", true, ""), "");
}

}  // namespace flopkin
