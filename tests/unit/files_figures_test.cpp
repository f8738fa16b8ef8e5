// Saving and loading together with tension building and figure labelling.
#include <gtest/gtest.h>

#include "document_fixture.hpp"

namespace flopkin {

using DocumentsAndFigures = InTempFolder;

TEST_F(DocumentsAndFigures, SavingInDrawModeRebuildsTheTensions) {
    auto p = put_ball(a.figure, 0, 0);
    auto v = put_ball(a.figure, 10, 0);
    auto q = put_ball(a.figure, 20, 0);
    put_link(a.figure, p, v, 10);
    put_link(a.figure, v, q, 10);
    put_tension(a.figure, p, v, q, 45, 5);  // stale: drawn before the last links changed
    a.settings.angle_force = 30;
    a.mode = figure_mode::draw;
    a.document.path = "doc.fkn";
    a.save_document();

    app back;
    back.load_document(1, "doc.fkn");
    ASSERT_EQ(back.figure.tensions.count(), 1u);
    const tension& t = *back.figure.tensions.slot(0);
    EXPECT_FLOAT_EQ(t.rest_angle, 180);
    EXPECT_FLOAT_EQ(t.strength, 30);
    EXPECT_EQ(t.vertex->x, 10);
}

TEST_F(DocumentsAndFigures, LoadingLabelsTheFigures) {
    put("two.fkn", doc().ball(1, 1, 0, 0).ball(2, 1, 10, 0).ball(3, 1, 50, 50).link(1, 2, 10).data);
    a.load_document(1, "two.fkn");
    ASSERT_EQ(a.figure.balls.count(), 3u);
    EXPECT_NE(a.figure.balls.slot(0)->figure, 0);
    EXPECT_EQ(a.figure.balls.slot(0)->figure, a.figure.balls.slot(1)->figure);
    EXPECT_NE(a.figure.balls.slot(2)->figure, 0);
    EXPECT_NE(a.figure.balls.slot(2)->figure, a.figure.balls.slot(0)->figure);
}

}  // namespace flopkin
