// Undo and redo through the keyboard, and the shortcuts of the commands.
#include <map>
#include <sstream>

#include "document_fixture.hpp"
#include "sample_figures.hpp"

namespace flopkin {
namespace {

// every field undo promises to give back, written from the app's own lists
std::string picture(app& a) {
    std::ostringstream out;
    out << std::hexfloat;
    std::map<const ball*, int> place;
    for (ball_ref b : a.figure.balls.all()) {
        place.emplace(b.get(), static_cast<int>(place.size()));
        out << b->x << ' ' << b->y << ' ' << b->old_x << ' ' << b->old_y << ' ' << b->vx << ' ' << b->vy << ' '
            << b->number << ' ' << b->figure << ' ' << b->mass << ' ' << b->radius << ' ' << b->colour[0] << ' '
            << b->colour[1] << ' ' << b->colour[2] << ' ' << b->screen_x << ' ' << b->tension_count << '\n';
    }
    auto at = [&](const ball_ref& b) { return place.count(b.get()) ? place[b.get()] : -1; };
    for (const auto& l : a.figure.links.all())
        out << at(l->end_a) << '-' << at(l->end_b) << ' ' << l->rest_length << ' ' << l->width << ' ' << l->colour[1]
            << '\n';
    for (const auto& t : a.figure.tensions.all())
        out << at(t->end_a) << '<' << at(t->vertex) << '>' << at(t->end_b) << ' ' << t->rest_angle << ' '
            << t->strength << '\n';
    out << "mode " << static_cast<int>(a.mode) << " selected " << at(a.editing.selected) << " view " << a.view.view_left
        << ' ' << a.view.view_right << ' ' << a.view.view_top << ' ' << a.view.view_bottom << ' ' << a.view.zoom;
    return out.str();
}

constexpr int ctrl = modifier_ctrl, ctrl_shift = modifier_ctrl | modifier_shift;

struct History : InTempFolder {
    void frame() { a.run_frame(); }
    void click(int x, int y) {
        hb.move(x, y);
        hb.press(code_mouse_left);
        frame();
        hb.release(code_mouse_left);
        frame();
    }
    void drag(int x1, int y1, int x2, int y2) {
        hb.move(x1, y1);
        hb.press(code_mouse_left);
        frame();
        hb.move(x2, y2);
        frame();
        hb.release(code_mouse_left);
        frame();
    }
    // a key typed within one frame, modifiers and all; the commands act on it
    // as the frame calls them, so the figure is seen before the frame moves it
    void type(int code, int modifiers = 0) {
        hb.press(code, modifiers);
        hb.release(code, modifiers);
        a.handle_commands();
    }
};

TEST_F(History, EveryActionIsOneStepUndoneAndRedoneExactly) {
    put("doc.fkn", three_balls());
    frame();
    std::vector<std::string> before;
    auto act = [&](auto action) {
        before.push_back(picture(a));
        action();
    };
    act([&] { click(100, 100); });                 // a ball placed
    act([&] { click(300, 100); });
    act([&] { drag(300, 100, 400, 120); });        // a link drawn with the ball at its end
    act([&] { type(key_space); });                 // Play
    for (int i = 0; i < 20; ++i) frame();          // the figure falls
    act([&] { type(key_space); });                 // Draw
    frame();
    a.editing.selected = a.figure.balls.slot(0);  // the lone ball, before the linked ones in the list
    act([&] { type(key_delete); });
    hb.requester_answers = {"doc.fkn", "doc.fkn"};
    std::size_t had = a.figure.balls.count();
    act([&] { type('O', ctrl_shift); });           // Add
    EXPECT_EQ(a.figure.balls.count(), had + 3);
    act([&] { type('O', ctrl); });                 // Open
    EXPECT_EQ(a.figure.balls.count(), 3u);
    frame();
    const button& clear = a.button_of(&app::clear_all_command);
    act([&] { click(static_cast<int>(clear.x + 5), static_cast<int>(clear.y + 5)); });
    ASSERT_EQ(a.history.undo_steps(), before.size());

    std::vector<std::string> after;
    for (std::size_t i = before.size(); i-- > 0;) {
        after.push_back(picture(a));
        type('Z', ctrl);
        EXPECT_EQ(picture(a), before[i]) << "undo of action " << i;
    }
    type('Z', ctrl);  // nothing left to undo
    EXPECT_EQ(picture(a), before[0]);
    for (std::size_t i = 0; i < before.size(); ++i) {
        type(i % 2 ? 'Y' : 'Z', i % 2 ? ctrl : ctrl_shift);
        EXPECT_EQ(picture(a), after[before.size() - 1 - i]) << "redo of action " << i;
    }
    EXPECT_EQ(a.history.redo_steps(), 0u);
}

TEST_F(History, PlayModeUndoGivesBackTheDrawnFigureAndANewActionEndsRedo) {
    frame();
    drag(100, 100, 200, 100);
    drag(200, 100, 200, 200);
    std::string drawn = picture(a);
    type(key_space);
    for (int i = 0; i < 30; ++i) frame();
    std::string fallen = picture(a);
    ASSERT_NE(fallen, drawn);
    a.settings.gravity = 0.5f;  // the value rows are not part of the history
    type('Z', ctrl);
    EXPECT_EQ(picture(a), drawn);
    EXPECT_EQ(a.settings.gravity, 0.5f);
    type('Y', ctrl);
    EXPECT_EQ(picture(a), fallen);

    type('Z', ctrl);
    frame();
    click(300, 300);
    std::string placed = picture(a);
    type('Y', ctrl);
    EXPECT_EQ(picture(a), placed);
}

TEST_F(History, TheOldestStepsGoFirstPastAHundredStepsOrTheByteBound) {
    frame();
    for (int i = 0; i < 105; ++i) click(20 + 30 * (i % 25), 20 + 30 * (i / 25));
    EXPECT_EQ(a.history.undo_steps(), 100u);
    for (int i = 0; i < 101; ++i) type('Z', ctrl);
    EXPECT_EQ(a.figure.balls.count(), 5u);

    // a bound of three and a half steps' bytes keeps the newest three
    std::size_t step = a.history.capture(a.scene()).bytes();
    figure_history small(100, 3 * step + step / 2);
    ball& first = *a.figure.balls.slot(0);
    for (int i = 0; i < 6; ++i) {
        first.x = static_cast<float>(i);
        small.keep(small.capture(a.scene()));
    }
    EXPECT_EQ(small.undo_steps(), 3u);
    EXPECT_LE(small.bytes(), 3 * step + step / 2);
    while (small.undo(a.scene())) {
    }
    EXPECT_EQ(a.figure.balls.slot(0)->x, 3);

    // an undo that puts a bigger figure among the steps to redo goes over
    // the bound: the oldest undo step goes, the redo stays
    const std::size_t balls = a.figure.balls.count();
    std::vector<ball_ref> more;
    for (int i = 0; i < 20; ++i) more.push_back(put_ball(a.figure, 700, 20.0f * static_cast<float>(i)));
    const std::size_t big = figure_history().capture(a.scene()).bytes();
    for (const ball_ref& b : more) a.figure.remove(b);
    figure_history redoing(100, step + big + step / 2);
    for (int i = 0; i < 3; ++i) {
        a.figure.balls.slot(0)->x = static_cast<float>(i);
        redoing.keep(redoing.capture(a.scene()));
    }
    for (int i = 0; i < 20; ++i) put_ball(a.figure, 700, 20.0f * static_cast<float>(i));
    ASSERT_TRUE(redoing.undo(a.scene()));
    EXPECT_EQ(redoing.undo_steps(), 1u);
    ASSERT_EQ(redoing.redo_steps(), 1u);
    EXPECT_TRUE(redoing.undo(a.scene()));
    EXPECT_EQ(a.figure.balls.slot(0)->x, 1);
    EXPECT_TRUE(redoing.redo(a.scene()));
    EXPECT_TRUE(redoing.redo(a.scene()));
    EXPECT_EQ(a.figure.balls.count(), balls + 20);
}

TEST_F(History, AFigureOfManyChunksComesBackExactly) {
    add_mesh(a.figure, 40, 27, 20, 20);
    frame();
    std::string drawn = picture(a);
    type(key_space);
    for (int i = 0; i < 5; ++i) frame();
    std::string played = picture(a);
    type(key_space);
    type('Z', ctrl);
    EXPECT_EQ(picture(a), played);
    type('Z', ctrl);
    EXPECT_EQ(picture(a), drawn);
}

TEST_F(History, UndoingAnOpenAimsSaveBackAtTheDocumentBefore) {
    put("a.fkn", three_balls());
    put("b.fkn", doc().ball(1, 1, 50, 50).data);
    std::string why;
    ASSERT_TRUE(a.read_document(1, "a.fkn", why));
    a.mode = figure_mode::draw;
    frame();
    click(300, 300);
    hb.requester_answers = {"b.fkn"};
    type('O', ctrl);
    type('Z', ctrl);
    type('S', ctrl);
    EXPECT_EQ(get("b.fkn"), doc().ball(1, 1, 50, 50).data);
    EXPECT_EQ(a.document.path, "a.fkn");
    type('Y', ctrl);
    EXPECT_EQ(a.document.path, "b.fkn");

    // Save as is no step: undoing a drawing after it keeps the new name
    frame();
    click(400, 400);
    hb.requester_answers = {"c.fkn"};
    type('S', ctrl_shift);
    type('Z', ctrl);
    EXPECT_EQ(a.document.path, "c.fkn");

    // a figure without a document before the Open asks for a name again
    app fresh;
    hb.requester_answers = {"b.fkn", ""};
    fresh.open_command();
    fresh.undo();
    fresh.save_document();
    EXPECT_EQ(hb.requester_calls.back().prompt, "Save as:");

    // a mode press on an empty figure changes nothing and leaves redo alone
    a.clear_all_command();
    frame();
    click(100, 100);
    type('Z', ctrl);
    ASSERT_TRUE(a.figure.balls.is_empty());
    type(key_space);
    EXPECT_EQ(a.history.redo_steps(), 1u);
}

// A press acts in draw mode only when it began there: a click of play mode
// is not taken up by draw mode entered by a key or by undo, nor does a press
// still held from play mode link or move a ball.
TEST_F(History, DrawModeEnteredByAKeyOrUndoTakesNoPressOfPlayMode) {
    frame();
    click(300, 200);
    const button& mode = a.button_of(&app::mode_command);
    click(static_cast<int>(mode.x + mode.width / 2), static_cast<int>(mode.y + mode.height / 2));
    ASSERT_EQ(a.mode, figure_mode::play);
    hb.move(500, 500);
    frame();
    hb.press(key_space);
    hb.release(key_space);
    frame();
    ASSERT_EQ(a.mode, figure_mode::draw);
    EXPECT_EQ(a.figure.balls.count(), 1u);

    // grabbed and thrown in play mode, then undone back into draw mode:
    // redo still leads back to play
    type(key_space);
    frame();
    ball_ref b = a.figure.balls.slot(0);
    drag(static_cast<int>(b->screen_x), static_cast<int>(b->screen_y), 400, 300);
    type('Z', ctrl);
    frame();
    ASSERT_EQ(a.mode, figure_mode::draw);
    EXPECT_EQ(a.figure.balls.count(), 1u);
    EXPECT_EQ(a.history.redo_steps(), 1u);
    b = a.figure.balls.slot(0);

    // held on the panel from play mode, or with the right button on the
    // ball: after Space, sliding onto the ball starts no link, and the
    // release over empty canvas places nothing; the ball does not move
    type(key_space);
    frame();
    hb.move(static_cast<int>(a.view.area_width) + 20, 265);  // the panel between its groups
    hb.press(code_mouse_left);
    frame();
    type(key_space);
    ASSERT_EQ(a.mode, figure_mode::draw);
    const int bx = static_cast<int>(b->screen_x), by = static_cast<int>(b->screen_y);
    hb.move(bx, by);
    frame();
    hb.move(bx + 80, by);
    frame();
    hb.release(code_mouse_left);
    frame();
    EXPECT_EQ(a.figure.balls.count(), 1u);
    EXPECT_EQ(a.figure.links.count(), 0u);
    type(key_space);
    hb.move(bx, by);
    hb.press(code_mouse_right);
    frame();
    type(key_space);
    ASSERT_EQ(a.mode, figure_mode::draw);
    frame();
    const float x = b->x;
    hb.move(bx + 60, by);
    frame();
    EXPECT_EQ(b->x, x);
    hb.release(code_mouse_right);
    frame();
}

TEST_F(History, ShortcutsActAsTheirButtonsOncePerPressAndNotDuringAGesture) {
    frame();
    click(100, 100);  // placed and selected
    type(key_backspace);
    EXPECT_EQ(a.figure.balls.count(), 0u);
    click(100, 100);
    hb.press(key_space);  // held over many frames: one switch
    for (int i = 0; i < 5; ++i) frame();
    EXPECT_EQ(a.mode, figure_mode::play);
    hb.release(key_space);
    type(key_delete);  // play mode: nothing to delete
    type('Z');         // without Ctrl: nothing
    EXPECT_EQ(a.figure.balls.count(), 1u);
    EXPECT_EQ(a.mode, figure_mode::play);

    // a press held on the canvas: the key is used up unheard
    hb.move(300, 300);
    hb.press(code_mouse_left);
    frame();
    type('Z', ctrl);
    hb.release(code_mouse_left);
    frame();
    EXPECT_EQ(a.mode, figure_mode::play);
    type('Z', ctrl);
    EXPECT_EQ(a.mode, figure_mode::draw);

    type('S', ctrl);  // no document yet: Save asks for a name, as the button does
    type('S', ctrl_shift);
    type('O', ctrl);
    type('O', ctrl_shift);
    ASSERT_EQ(hb.requester_calls.size(), 4u);
    EXPECT_EQ(hb.requester_calls[0].prompt, "Save as:");
    EXPECT_EQ(hb.requester_calls[1].prompt, "Save as:");
    EXPECT_EQ(hb.requester_calls[2].prompt, "Open file:");
    EXPECT_EQ(hb.requester_calls[3].prompt, "Open file:");
}

}  // namespace
}  // namespace flopkin
