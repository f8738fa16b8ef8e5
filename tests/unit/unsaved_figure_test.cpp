// The recovery file: written when a run with a window ends with a changed
// figure, and only then.
#include <cstdlib>

#include "document_fixture.hpp"

namespace flopkin {
namespace {

struct UnsavedFigure : InTempFolder {
    void SetUp() override {
        InTempFolder::SetUp();
        ::setenv("XDG_STATE_HOME", (dir + "/state/below").c_str(), 1);
        ::setenv("HOME", (dir + "/home").c_str(), 1);
        file = dir + "/state/below/flopkin/unsaved.fkn";
    }
    void TearDown() override {
        ::unsetenv("XDG_STATE_HOME");
        ::setenv("HOME", home.c_str(), 1);
        InTempFolder::TearDown();
    }
    // what the program says as it ends, and whether the file was written
    std::string end_run() {
        ::testing::internal::CaptureStderr();
        a.keep_unsaved_figure();
        return ::testing::internal::GetCapturedStderr();
    }
    bool written() {
        bool there = std::filesystem::exists(file);
        std::filesystem::remove(file);
        return there;
    }
    void type(int code, int modifiers = 0) {
        hb.press(code, modifiers);
        hb.release(code, modifiers);
        a.run_frame();
    }
    void click(int x, int y) {
        hb.move(x, y);
        hb.press(code_mouse_left);
        hb.release(code_mouse_left);
        a.run_frame();
    }

    std::string file;
    std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
};

TEST_F(UnsavedFigure, OnlyAWindowedRunEndedByThePersonWritesIt) {
    auto run = [&](bool headless, long long frames) {
        app fresh;
        run_options options;
        options.headless = headless;
        options.frames = frames;
        hb.move(200, 200);
        hb.press(code_mouse_left);
        hb.release(code_mouse_left);
        hb.press(key_escape);
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(fresh.run(options), 0);
        return ::testing::internal::GetCapturedStderr();
    };
    EXPECT_EQ(run(false, 1), "");  // ended by its frame count
    EXPECT_EQ(run(true, 5), "");
    EXPECT_FALSE(written());
    EXPECT_EQ(run(false, 5), "flopkin: the unsaved figure was kept in \"" + file + "\"\n");
    app back;
    std::string why;
    ASSERT_TRUE(back.read_document(1, file, why)) << why;
    EXPECT_EQ(back.figure.balls.count(), 1u);
}

TEST_F(UnsavedFigure, WrittenWhenTheFigureDiffersFromTheOneOpenedOrSaved) {
    a.run_frame();
    EXPECT_EQ(end_run(), "");  // empty
    put("doc.fkn", three_balls());
    hb.requester_answers = {"doc.fkn"};
    type('O', modifier_ctrl);
    ASSERT_EQ(a.figure.balls.count(), 3u);
    EXPECT_EQ(end_run(), "");
    EXPECT_FALSE(written());
    click(300, 300);
    end_run();
    EXPECT_TRUE(written());
    type('Z', modifier_ctrl);  // back to the figure opened
    end_run();
    EXPECT_FALSE(written());
    type('Y', modifier_ctrl);
    type('S', modifier_ctrl);
    end_run();
    EXPECT_FALSE(written());
    type(key_space);  // a figure in play mode moves on after it is saved
    type('S', modifier_ctrl);
    end_run();
    EXPECT_TRUE(written());

    // HOME stands in for an empty XDG_STATE_HOME; a folder that cannot be made is reported
    ::setenv("XDG_STATE_HOME", "", 1);
    end_run();
    EXPECT_TRUE(std::filesystem::exists(dir + "/home/.local/state/flopkin/unsaved.fkn"));
    put("blocked", three_balls());
    ::setenv("XDG_STATE_HOME", (dir + "/blocked").c_str(), 1);
    EXPECT_EQ(end_run(), "flopkin: the unsaved figure is lost: cannot write \"" + dir +
                             "/blocked/flopkin/unsaved.fkn\": its folder cannot be created\n");
}

}  // namespace
}  // namespace flopkin
