#include <vector>

#include "physics_fixture.hpp"

namespace flopkin {
namespace {

class drawing_test : public app_figure_test {
protected:
    void SetUp() override {
        app_figure_test::SetUp();
        // every row its own colour, so a colour names its row
        for (int row = 0; row < palette_rows; ++row) {
            a->palette.colour[row][0] = row;
            a->palette.colour[row][1] = 100 + row;
            a->palette.colour[row][2] = 200 + row;
        }
    }
    static rgb row_colour(int row) { return {row, 100 + row, 200 + row}; }
    std::vector<draw_record> shapes(draw_record::shape kind) const {
        std::vector<draw_record> out;
        for (const draw_record& r : screen.drawn)
            if (r.kind == kind) out.push_back(r);
        return out;
    }
};

TEST_F(drawing_test, BallIsADiscOfItsDiameterAtItsScreenPlace) {
    put_ball(390, 384);
    a->draw_figure();
    auto ovals = shapes(draw_record::shape::oval);
    ASSERT_EQ(ovals.size(), 1u);
    EXPECT_EQ(ovals[0].values, (std::vector<float>{390 - 13, 384 - 13, 26, 26}));
}

TEST_F(drawing_test, BallsAndLinksFollowTheZoom) {
    a->zoom_step(0);
    ball_ref b = put_ball(100, 200);
    a->draw_figure();
    auto ovals = shapes(draw_record::shape::oval);
    ASSERT_EQ(ovals.size(), 1u);
    EXPECT_NEAR(ovals[0].values[2], 26 * a->view.zoom, 1e-4);
    EXPECT_NEAR(b->screen_x, 390 + a->view.zoom * (100 - a->view.view_cx), 1e-3);
    EXPECT_NEAR(b->screen_radius, 13 * a->view.zoom, 1e-5);
}

TEST_F(drawing_test, FigureNumberPicksThePaletteRow) {
    ball_ref unlabelled = put_ball(100, 100);
    ball_ref fifth = put_ball(200, 100);
    ball_ref beyond = put_ball(300, 100);
    ball_ref last = put_ball(400, 100);
    fifth->figure = 5;
    beyond->figure = 30;
    last->figure = 29;
    unlabelled->colour[0] = 17;  // a ball's own colour plays no part
    a->draw_figure();
    auto ovals = shapes(draw_record::shape::oval);
    ASSERT_EQ(ovals.size(), 4u);
    EXPECT_EQ(ovals[0].colour, row_colour(0));
    EXPECT_EQ(ovals[1].colour, row_colour(5));
    EXPECT_EQ(ovals[2].colour, row_colour(0));
    EXPECT_EQ(ovals[3].colour, row_colour(29));
}

TEST_F(drawing_test, SelectedBallTakesTheLastRow) {
    put_ball(100, 100)->figure = 3;
    ball_ref chosen = put_ball(200, 100);
    chosen->figure = 3;
    a->editing.selected = chosen;
    a->draw_figure();
    auto ovals = shapes(draw_record::shape::oval);
    ASSERT_EQ(ovals.size(), 2u);
    EXPECT_EQ(ovals[0].colour, row_colour(3));
    EXPECT_EQ(ovals[1].colour, row_colour(29));
}

TEST_F(drawing_test, LinksComeFirstInEndAColourAsSquareCutBands) {
    ball_ref from = put_ball(0, 0);
    ball_ref to = put_ball(100, 0);
    from->figure = 2;
    to->figure = 7;
    link_ref l = put_link(from, to, 100);
    l->colour[1] = 3;
    a->draw_figure();
    ASSERT_EQ(screen.drawn.size(), 3u);
    const draw_record& band = screen.drawn[0];
    ASSERT_EQ(band.kind, draw_record::shape::polygon);
    EXPECT_EQ(band.colour, row_colour(2));
    // world corners (0, 4), (100, 4), (100, -4), (0, -4) under the initial view
    EXPECT_EQ(band.values, (std::vector<float>{0, 4, 100, 4, 100, -4, 0, -4}));
    EXPECT_EQ(screen.drawn[1].kind, draw_record::shape::oval);
}

}  // namespace
}  // namespace flopkin
