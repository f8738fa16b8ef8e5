// The right-hand panel: where every button lies, what it reads and what is drawn.
#include <gtest/gtest.h>

#include "editing_harness.hpp"

namespace flopkin::testing {
namespace {

struct box {
    float x, y, w, h;
};

void expect_box(const button& b, box want, const char* what) {
    EXPECT_EQ(b.x, want.x) << what;
    EXPECT_EQ(b.y, want.y) << what;
    EXPECT_EQ(b.width, want.w) << what;
    EXPECT_EQ(b.height, want.h) << what;
}

TEST(MenuLayout, BoxesAndLabelsAtTheDefaults) {
    harness h;
    h.frame();
    const menu& m = *h.a.menu;
    const box wide = {780, 0, 243, 40};
    expect_box(h.a.button_of(&app::mode_command), wide, "mode");
    expect_box(h.a.button_of(&app::clear_all_command), {780, 150, 243, 40}, "clear");
    expect_box(h.a.button_of(&app::delete_command), {780, 190, 243, 40}, "delete");
    const value_row* rows[] = {&m.zoom_row, &m.size_row, &m.width_row, &m.force_row, &m.gravity_row};
    for (int i = 0; i < 5; ++i) {
        float top = 300.0f + 40.0f * i;
        expect_box(rows[i]->display, {780, top, 243, 40}, "display");
        expect_box(rows[i]->plus, {983, top, 40, 40}, "+");
        expect_box(rows[i]->minus, {780, top, 40, 40}, "-");
        EXPECT_EQ(rows[i]->plus.label, "+");
        EXPECT_EQ(rows[i]->minus.label, "-");
        EXPECT_EQ(rows[i]->plus.label_nudge_y, i < 2 ? 1 : 3);
        EXPECT_EQ(rows[i]->minus.label_nudge_y, i < 2 ? 1 : 3);
        EXPECT_EQ(rows[i]->display.label_nudge_y, 3);
    }
    float top = 568;  // the file commands down to the panel's foot
    for (auto act : {&app::open_command, &app::add_command, &app::save_document, &app::save_document_as,
                     &app::quit_command}) {
        expect_box(h.a.button_of(act), {780, top, 243, 40}, "file");
        top += 40;
    }
    EXPECT_EQ(top, 768);

    EXPECT_EQ(h.a.button_of(&app::mode_command).label, "Play");  // empty figure: draw mode
    EXPECT_EQ(m.zoom_row.display.label, "Zoom= 1000");
    EXPECT_EQ(m.size_row.display.label, "Balls Size= 130");
    EXPECT_EQ(m.width_row.display.label, "Links Width= 200");
    EXPECT_EQ(m.force_row.display.label, "Angle Force= 300");
    EXPECT_EQ(m.gravity_row.display.label, "Gravity= 100");
    EXPECT_EQ(h.a.button_of(&app::save_document).label, "Save");
    EXPECT_EQ(h.a.button_of(&app::delete_command).label, "Delete Selected Ball");
}

TEST(MenuLayout, NumbersAreTruncatedNotRounded) {
    harness h;
    h.a.view.zoom = 0.9999999f;
    h.a.settings.ball_size = 13.99f;
    h.a.settings.gravity = 0.001f;
    h.a.layout_menu();
    EXPECT_EQ(h.a.menu->zoom_row.display.label, "Zoom= 999");
    EXPECT_EQ(h.a.menu->size_row.display.label, "Balls Size= 139");
    EXPECT_EQ(h.a.menu->gravity_row.display.label, "Gravity= 1");
}

TEST(MenuLayout, PanelFollowsTheDrawingAreaWidth) {
    harness h;
    h.a.view.area_width = 700.9f;
    h.a.mode = figure_mode::play;
    h.a.layout_menu();
    const menu& m = *h.a.menu;
    EXPECT_EQ(m.panel_left, 700);
    expect_box(h.a.button_of(&app::clear_all_command), {700, 150, 323, 40}, "clear");
    expect_box(m.gravity_row.minus, {700, 460, 40, 40}, "-");
    expect_box(m.gravity_row.plus, {983, 460, 40, 40}, "+");
    EXPECT_EQ(h.a.button_of(&app::mode_command).label, "Draw");
}

TEST(MenuDraw, PanelThenBordersThenTheButtons) {
    harness h;
    h.frame();
    const auto& d = h.hb.drawn;
    std::size_t at = 0;
    while (at < d.size() && !(d[at].kind == draw_record::shape::rect && d[at].colour == rgb{222, 222, 222})) ++at;
    ASSERT_LT(at, d.size());
    EXPECT_EQ(d[at].values, (std::vector<float>{780, 0, 244, 768}));
    const rgb white{255, 255, 255};
    std::vector<std::vector<float>> borders = {{780, 0, 780, 768}, {780, 767, 1023, 767}, {1023, 0, 1023, 767}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(d[at + 1 + i].values, borders[i]);
        EXPECT_EQ(d[at + 1 + i].colour, white);
    }
    // the labels in drawing order, each after its outline
    std::vector<std::string> labels;
    for (std::size_t i = at + 4; i < d.size(); ++i)
        if (d[i].kind == draw_record::shape::text) labels.push_back(d[i].text);
    std::vector<std::string> want = {"Play", "Delete Selected Ball", "Clear All", "Zoom= 1000", "+", "-",
                                     "Balls Size= 130", "+", "-", "Links Width= 200", "+", "-",
                                     "Angle Force= 300", "+", "-", "Gravity= 100", "+", "-",
                                     "Open", "Add", "Save", "Save as", "Quit"};
    EXPECT_EQ(labels, want);
    EXPECT_EQ(d.size() - at, 4 + 5 * want.size());
}

TEST(MenuDraw, PlayModeHidesDeleteSelectedBall) {
    harness h;
    h.add_ball(200, 200);
    h.a.mode = figure_mode::play;
    h.frame();
    EXPECT_NE(h.text("Draw"), nullptr);
    EXPECT_EQ(h.text("Play"), nullptr);
    EXPECT_EQ(h.text("Delete Selected Ball"), nullptr);
    // still laid out in play mode
    EXPECT_EQ(h.a.button_of(&app::delete_command).y, 190);
}

TEST(MenuSaveLabel, SavedShowsForFiftyNineFramesThenSave) {
    harness h;
    h.frames(3);
    // what a save in the next frame's command handling leaves behind
    h.a.menu->save_label = "Saved!";
    h.a.menu->save_message_frames = 60;
    for (int n = 0; n < 59; ++n) {
        h.frame();
        ASSERT_NE(h.text("Saved!"), nullptr) << "frame N + " << n;
        ASSERT_EQ(h.text("Save"), nullptr);
    }
    h.frame();
    EXPECT_NE(h.text("Save"), nullptr);
    EXPECT_EQ(h.text("Saved!"), nullptr);
    EXPECT_EQ(h.a.menu->save_message_frames, 0);
}

TEST(MenuSaveLabel, AnotherSaveRestartsTheCountAndAnyMessageIsTreatedAlike) {
    harness h;
    h.a.menu->save_label = "Saved!";
    h.a.menu->save_message_frames = 60;
    h.frames(30);
    h.a.menu->save_label = "Save failed!";
    h.a.menu->save_message_frames = 60;
    h.frames(59);
    EXPECT_NE(h.text("Save failed!"), nullptr);
    h.frame();
    EXPECT_NE(h.text("Save"), nullptr);
}

}  // namespace
}  // namespace flopkin::testing
