// Building figures with the mouse in draw mode, frame by frame.
#include <gtest/gtest.h>

#include "editing_harness.hpp"

namespace flopkin::testing {
namespace {

TEST(EditingPlace, ClickPlacesOneSelectedBallAtThePointer) {
    harness h;
    h.click(200, 300);
    ASSERT_EQ(h.a.figure.balls.count(), 1u);
    ball_ref b = h.ball_list()[0];
    EXPECT_FLOAT_EQ(b->x, 200);
    EXPECT_FLOAT_EQ(b->y, 300);
    EXPECT_EQ(b->number, 1);
    EXPECT_EQ(h.a.editing.selected, b);
    EXPECT_EQ(h.a.figure.links.count(), 0u);
}

TEST(EditingPlace, PointerIsConvertedThroughTheView) {
    harness h;
    h.a.view.zoom = 2;
    h.a.view.view_cx = 100;
    h.a.view.view_cy = 50;
    // drive the step directly: the frame's view fitting would reset the view
    h.hb.move(490, 484);
    h.hb.press(1);
    note_presses(h.a.editing, true);
    h.a.place_ball_step();
    ASSERT_EQ(h.a.figure.balls.count(), 1u);
    ball_ref b = h.ball_list()[0];
    EXPECT_FLOAT_EQ(b->x, 150);  // (490 - 390) / 2 + 100
    EXPECT_FLOAT_EQ(b->y, 100);  // (484 - 384) / 2 + 50
    EXPECT_FLOAT_EQ(b->screen_x, 490);
    EXPECT_FLOAT_EQ(b->screen_radius, 2 * h.a.settings.ball_size);
}

TEST(EditingPlace, OnlyTheMenuEdgeStopsPlacement) {
    harness h;
    h.click(779, 400);
    EXPECT_EQ(h.a.figure.balls.count(), 1u);
    h.click(780, 100);
    EXPECT_EQ(h.a.figure.balls.count(), 1u);
    // left of the window and below it still count as canvas
    h.press_at(200, 200);
    h.move_to(-40, 900);
    h.release_at(-40, 900);
    EXPECT_EQ(h.a.figure.balls.count(), 3u);
    EXPECT_EQ(h.a.figure.links.count(), 1u);
}

TEST(EditingPlace, NoBallOnTopOfAnotherButTheRimIsEmptyCanvas) {
    harness h;
    h.click(300, 300);
    h.click(305, 300);
    EXPECT_EQ(h.a.figure.balls.count(), 1u);
    // squared distance exactly the squared radius (13 * 13) is outside
    h.click(313, 300);
    ASSERT_EQ(h.a.figure.balls.count(), 2u);
    EXPECT_EQ(h.a.editing.selected, h.ball_list()[1]);
    EXPECT_EQ(h.ball_list()[1]->number, 2);
}

TEST(EditingLink, PressOnBallReleaseOnAnotherLinksThem) {
    harness h;
    h.click(100, 100);
    h.click(300, 100);
    auto balls = h.ball_list();
    h.press_at(100, 100);
    EXPECT_EQ(h.a.editing.selected, balls[0]);
    EXPECT_TRUE(h.a.editing.link_drag_active);
    h.move_to(200, 150);
    h.release_at(300, 100);
    ASSERT_EQ(h.a.figure.links.count(), 1u);
    const auto& l = *h.a.figure.links.slot(0);
    EXPECT_EQ(l.end_a, balls[0]);
    EXPECT_EQ(l.end_b, balls[1]);
    EXPECT_FLOAT_EQ(l.rest_length, 200);
    EXPECT_EQ(h.a.figure.balls.count(), 2u);
    EXPECT_FALSE(h.a.editing.link_drag_active);
}

TEST(EditingLink, ReleaseOnEmptyCanvasPlacesTheEndBall) {
    harness h;
    h.click(100, 100);
    h.press_at(100, 100);
    h.release_at(400, 500);
    ASSERT_EQ(h.a.figure.balls.count(), 2u);
    auto balls = h.ball_list();
    EXPECT_FLOAT_EQ(balls[1]->x, 400);
    EXPECT_FLOAT_EQ(balls[1]->y, 500);
    EXPECT_EQ(h.links_between(balls[0], balls[1]), 1);
    EXPECT_FLOAT_EQ(h.a.figure.links.slot(0)->rest_length, 500);
    EXPECT_EQ(h.a.editing.selected, balls[1]);
}

TEST(EditingLink, DragFromEmptyToEmptyGivesTwoBallsAndALink) {
    harness h;
    h.press_at(100, 600);
    h.move_to(150, 600);
    h.release_at(200, 600);
    ASSERT_EQ(h.a.figure.balls.count(), 2u);
    auto balls = h.ball_list();
    EXPECT_EQ(h.a.figure.links.slot(0)->end_a, balls[0]);
    EXPECT_EQ(h.a.figure.links.slot(0)->end_b, balls[1]);
    EXPECT_FLOAT_EQ(h.a.figure.links.slot(0)->rest_length, 100);
}

TEST(EditingLink, ReleaseOnTheStartBallOnlySelectsIt) {
    harness h;
    h.click(100, 100);
    h.click(300, 100);
    h.press_at(100, 100);
    h.move_to(250, 250);
    h.release_at(104, 96);
    EXPECT_EQ(h.a.figure.links.count(), 0u);
    EXPECT_EQ(h.a.figure.balls.count(), 2u);
    EXPECT_EQ(h.a.editing.selected, h.ball_list()[0]);
}

TEST(EditingLink, ReleaseOverTheMenuPlacesNothing) {
    harness h;
    h.click(100, 100);
    h.press_at(100, 100);
    h.release_at(900, 100);
    EXPECT_EQ(h.a.figure.balls.count(), 1u);
    EXPECT_EQ(h.a.figure.links.count(), 0u);
    EXPECT_FALSE(h.a.editing.link_drag_active);
}

TEST(EditingLink, ReleaseOverTheMenuStillLinksABallReachingUnderIt) {
    harness h;
    auto balls = std::vector{h.add_ball(100, 300), h.add_ball(775, 300)};
    h.hb.move(100, 300);
    h.hb.press(1);
    note_presses(h.a.editing, true);
    h.a.place_ball_step();
    h.a.link_step();
    clear_screen();  // the next frame
    h.hb.move(785, 300);
    h.hb.release(1);
    note_presses(h.a.editing, true);
    h.a.place_ball_step();
    h.a.link_step();
    EXPECT_EQ(h.a.figure.balls.count(), 2u);
    EXPECT_EQ(h.links_between(balls[0], balls[1]), 1);
}

TEST(EditingLink, NoDuplicateLinkInEitherDirection) {
    harness h;
    h.click(100, 100);
    h.click(300, 100);
    for (int i = 0; i < 2; ++i) {
        h.press_at(100, 100);
        h.release_at(300, 100);
    }
    h.press_at(300, 100);
    h.release_at(100, 100);
    auto balls = h.ball_list();
    EXPECT_EQ(h.a.figure.links.count(), 1u);
    EXPECT_EQ(h.links_between(balls[0], balls[1]), 1);
}

TEST(EditingLink, OverlappingBallsTheLaterOneStartsAndBothEnd) {
    harness h;
    h.click(100, 100);
    h.click(120, 100);  // overlaps the first; both contain x = 110
    h.click(400, 400);
    h.click(600, 600);
    auto balls = h.ball_list();
    h.press_at(110, 100);
    EXPECT_EQ(h.a.editing.link_start, balls[1]);
    EXPECT_EQ(h.a.editing.selected, balls[1]);
    h.release_at(400, 400);
    EXPECT_EQ(h.links_between(balls[1], balls[2]), 1);
    EXPECT_EQ(h.links_between(balls[0], balls[2]), 0);

    // a release over the pair links the start to both of them
    h.press_at(600, 600);
    h.release_at(110, 100);
    EXPECT_EQ(h.links_between(balls[3], balls[0]), 1);
    EXPECT_EQ(h.links_between(balls[3], balls[1]), 1);
    EXPECT_EQ(h.a.figure.links.count(), 3u);
}

TEST(EditingLink, SlidingTheHeldPointerOntoABallStartsTheDrag) {
    harness h;
    h.click(300, 300);
    // pressed on a bare part of the panel, so nothing is placed at the press
    h.press_at(900, 100);
    EXPECT_FALSE(h.a.editing.link_drag_active);
    h.move_to(500, 200);
    EXPECT_FALSE(h.a.editing.link_drag_active);
    h.move_to(302, 301);
    EXPECT_TRUE(h.a.editing.link_drag_active);
    EXPECT_EQ(h.a.editing.selected, h.ball_list()[0]);
    h.release_at(500, 500);
    ASSERT_EQ(h.a.figure.balls.count(), 2u);
    EXPECT_EQ(h.links_between(h.ball_list()[0], h.ball_list()[1]), 1);
}

TEST(EditingLink, WhiteLineFollowsThePointerFromTheStartBall) {
    harness h;
    h.click(100, 200);
    h.press_at(100, 200);
    h.move_to(350, 420);
    bool seen = false;
    for (const auto& r : h.hb.drawn)
        if (r.kind == draw_record::shape::line && r.colour == rgb{255, 255, 255} && r.values[0] == 100 &&
            r.values[1] == 200 && r.values[2] == 350 && r.values[3] == 420 && r.last_pixel)
            seen = true;
    EXPECT_TRUE(seen);
    h.release_at(350, 420);
    h.frame();
    for (const auto& r : h.hb.drawn)
        EXPECT_FALSE(r.kind == draw_record::shape::line && r.values[2] == 350 && r.values[3] == 420);
}

TEST(EditingLink, AStartBallThatLeftTheFigureIsNotLinked) {
    harness h;
    h.click(100, 100);
    h.press_at(100, 100);
    h.a.delete_ball(h.a.editing.link_start);
    h.release_at(400, 400);
    // the release still places its ball, but no link may reach the removed one
    EXPECT_EQ(h.a.figure.links.count(), 0u);
    for (ball_ref b : h.a.figure.balls.all()) EXPECT_NE(b, h.a.editing.link_start);
}

}  // namespace
}  // namespace flopkin::testing
