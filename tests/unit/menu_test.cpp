// The right-hand panel: where every button lies, what it reads and what is drawn.
#include <gtest/gtest.h>

#include "app/command_table.hpp"
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
    // the value rows from the top down, with what each shows at the start
    const char* shown[] = {"Zoom= 1000", "Balls Size= 130", "Links Width= 200", "Angle Force= 300", "Gravity= 100"};
    ASSERT_EQ(m.value_rows.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) {
        const value_row& row = m.value_rows[i];
        float top = 300.0f + 40.0f * static_cast<float>(i);
        expect_box(row.display, {780, top, 243, 40}, "display");
        expect_box(row.plus, {983, top, 40, 40}, "+");
        expect_box(row.minus, {780, top, 40, 40}, "-");
        EXPECT_EQ(row.display.label, shown[i]);
        EXPECT_EQ(row.plus.label, "+");
        EXPECT_EQ(row.minus.label, "-");
        EXPECT_EQ(row.plus.label_nudge_y, i < 2 ? 1 : 3);
        EXPECT_EQ(row.minus.label_nudge_y, i < 2 ? 1 : 3);
        EXPECT_EQ(row.display.label_nudge_y, 3);
    }
    float top = 568;  // the file commands down to the panel's foot
    for (auto act : {&app::open_command, &app::add_command, &app::save_document, &app::save_document_as,
                     &app::quit_command}) {
        expect_box(h.a.button_of(act), {780, top, 243, 40}, "file");
        top += 40;
    }
    EXPECT_EQ(top, 768);

    EXPECT_EQ(h.a.button_of(&app::mode_command).label, "Play");  // empty figure: draw mode
    EXPECT_EQ(h.a.button_of(&app::save_document).label, "Save");
    EXPECT_EQ(h.a.button_of(&app::delete_command).label, "Delete Selected Ball");
}

TEST(MenuLayout, NumbersAreTruncatedNotRounded) {
    harness h;
    h.a.view.zoom = 0.9999999f;
    h.a.settings.ball_size = 13.99f;
    h.a.settings.gravity = 0.001f;
    h.a.layout_menu();
    EXPECT_EQ(h.a.row_of(zoom_value).display.label, "Zoom= 999");
    EXPECT_EQ(h.a.row_of(setting_value<&settings::ball_size>).display.label, "Balls Size= 139");
    EXPECT_EQ(h.a.row_of(setting_value<&settings::gravity>).display.label, "Gravity= 1");
}

TEST(MenuLayout, PanelFollowsTheDrawingAreaWidth) {
    harness h;
    h.a.view.area_width = 700.9f;
    h.a.mode = figure_mode::play;
    h.a.layout_menu();
    const menu& m = *h.a.menu;
    EXPECT_EQ(m.panel_left, 700);
    expect_box(h.a.button_of(&app::clear_all_command), {700, 150, 323, 40}, "clear");
    expect_box(h.a.row_of(setting_value<&settings::gravity>).minus, {700, 460, 40, 40}, "-");
    expect_box(h.a.row_of(setting_value<&settings::gravity>).plus, {983, 460, 40, 40}, "+");
    EXPECT_EQ(h.a.button_of(&app::mode_command).label, "Draw");
}

// A new value row is one row of the table: it must show its own setting
// under a label, start within the limits its steppers hold it to, and have a
// place of its own in the panel, clear of every other box.
TEST(ValueTable, EveryRowHasALabelARangeAndAPlaceOfItsOwn) {
    harness h;
    h.frame();
    const menu& m = *h.a.menu;
    ASSERT_EQ(m.value_rows.size(), value_settings.size());
    std::vector<const button*> boxes;
    for (std::size_t i = 0; i < commands.size(); ++i)
        if (commands[i].menu_top != no_menu_place) boxes.push_back(&m.command_buttons[i]);
    for (const value_row& row : m.value_rows) boxes.push_back(&row.display);
    for (std::size_t k = 0; k < value_settings.size(); ++k) {
        const value_setting& row = value_settings[k];
        SCOPED_TRACE(row.label);
        EXPECT_GT(std::string(row.label).size(), 2u);
        EXPECT_EQ(value_row_of(row.value), k);  // no other row shows the same setting
        EXPECT_LT(row.lowest, row.highest);
        EXPECT_GE(row.value(h.a), row.lowest);
        EXPECT_LE(row.value(h.a), row.highest);
        const button& b = m.value_rows[k].display;
        EXPECT_GE(b.y, 0);
        EXPECT_LE(b.y + b.height, m.screen_height);
        for (const button* other : boxes) {
            if (other == &b) continue;
            EXPECT_TRUE(other->y + other->height <= b.y || b.y + b.height <= other->y) << other->label;
        }
    }
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
