// The recovery figure: written in the background while the user's changes
// are unsaved, one file per run, let go of once the figure is safe, and the
// files of ended runs named at start-up and bounded.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "app/command_table.hpp"
#include "document_fixture.hpp"
#include "platform/recovery/recovery_files.hpp"

namespace flopkin {
namespace {

struct UnsavedFigure : InTempFolder {
    void SetUp() override {
        InTempFolder::SetUp();
        folder = dir + "/state/flopkin/unsaved";
        store = std::make_unique<recovery_files>(folder, "this-run.fkn");
        a.unsaved.recovery = store.get();
        a.mode = figure_mode::draw;
        a.run_frame();
    }
    // what the recovery file holds once the writer is done; empty when there is none
    bytes kept() {
        std::string why;
        EXPECT_TRUE(files().settle(why)) << why;
        return std::filesystem::exists(files().place()) ? get(files().place()) : bytes{};
    }
    // frames of the scripted clock's 16 ms
    void frames(int n) {
        for (int i = 0; i < n; ++i) {
            hb.clock_ms += 16;
            a.run_frame();
        }
    }
    void click(int x, int y) {
        hb.move(x, y);
        hb.press(code_mouse_left);
        hb.release(code_mouse_left);
        a.run_frame();
    }
    void drag(int x1, int y1, int x2, int y2) {
        hb.move(x1, y1);
        hb.press(code_mouse_left);
        a.run_frame();
        hb.move(x2, y2);
        hb.release(code_mouse_left);
        a.run_frame();
    }

    std::string folder;
    std::unique_ptr<recovery_files> store;
    recovery_files& files() { return *store; }
};

TEST_F(UnsavedFigure, KeptWhileChangedAndLetGoOnceSaved) {
    // a V drawn and never played comes back with its tension
    drag(200, 300, 300, 200);
    drag(300, 200, 400, 300);
    frames(30);  // half a second: the drawing may go on
    EXPECT_TRUE(kept().empty());
    frames(40);
    bytes v = kept();
    std::string why;
    app back;
    ASSERT_TRUE(back.read_document(1, files().place(), why)) << why;
    EXPECT_EQ(back.figure.balls.count(), 3u);
    EXPECT_EQ(back.figure.tensions.count(), 1u);

    // saved: the file goes, and the simulation alone changes nothing
    a.mode_command();
    hb.requester_answers = {"v.fkn"};
    a.save_document();
    EXPECT_TRUE(kept().empty());
    frames(200);
    EXPECT_TRUE(kept().empty());

    // a ball dragged in play mode is the user's change; a drag that goes on
    // is kept at least every 30 s
    const ball& held = *a.figure.balls.slot(0);
    int x = static_cast<int>(held.screen_x), y = static_cast<int>(held.screen_y);
    hb.move(x, y);
    hb.press(code_mouse_left);
    frames(200);
    EXPECT_TRUE(kept().empty());
    int moved = 0;
    for (; moved < 30 * 60 && kept().empty(); ++moved) {
        hb.move(x + moved % 50, y);
        frames(1);
    }
    EXPECT_GT(moved, 25 * 60);
    EXPECT_FALSE(kept().empty());
    hb.release(code_mouse_left);

    // saved again and ended: nothing is unsaved, the file goes
    frames(100);
    a.save_document();
    ::testing::internal::CaptureStderr();
    a.keep_unsaved_figure();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_TRUE(kept().empty());
}

TEST_F(UnsavedFigure, EndedRunsAreNamedNewestFirstAndTheirNumberBounded) {
    std::filesystem::create_directories(folder);
    auto made = std::filesystem::file_time_type::clock::now();
    auto file = [&](int age) {
        std::string path = folder + "/run-" + std::to_string(100 + age) + ".fkn";
        put(path, three_balls());
        std::filesystem::last_write_time(path, made - std::chrono::minutes(age));
        return path;
    };
    for (int age = 1; age <= 23; ++age) file(age);
    // a run still going holds its file, however old: never named nor
    // touched; nor is a file that is no figure
    drag(200, 300, 300, 200);
    frames(70);
    ASSERT_FALSE(kept().empty());
    std::filesystem::last_write_time(files().place(), made - std::chrono::minutes(30));
    put(folder + "/notes.txt", three_balls());
    std::filesystem::last_write_time(folder + "/notes.txt", made);

    recovery_files second(folder, "second-run.fkn");
    hb.store = &second;
    app fresh;
    run_options options;
    hb.press(key_escape);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(fresh.run(options), 0);
    std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(said, "flopkin: an unsaved figure of an earlier run is kept in \"" + file(1) + "\"\n" +
                        "flopkin: an unsaved figure of an earlier run is kept in \"" + file(2) + "\"\n" +
                        "flopkin: an unsaved figure of an earlier run is kept in \"" + file(3) + "\"\n");
    EXPECT_TRUE(std::filesystem::exists(folder + "/run-120.fkn"));
    EXPECT_FALSE(std::filesystem::exists(folder + "/run-121.fkn"));
    EXPECT_FALSE(std::filesystem::exists(folder + "/run-123.fkn"));
    EXPECT_TRUE(std::filesystem::exists(files().place()));
    EXPECT_TRUE(std::filesystem::exists(folder + "/notes.txt"));
}

TEST_F(UnsavedFigure, AnEndedRunsFigureIsOfferedRestoredWithoutADocumentAndNeverSavedInPlace) {
    std::filesystem::create_directories(folder);
    std::string ended = folder + "/run-1.fkn";
    put(ended, three_balls());
    std::time_t when = std::time(nullptr) - 3600;
    struct timespec times[2] = {{when, 0}, {when, 0}};
    ::utimensat(AT_FDCWD, ended.c_str(), times, 0);
    a.unsaved.tell_earlier_figures(a.notice);
    EXPECT_EQ(a.notice.shown(a.restore_by()), "The unsaved figure of " + clock_time(when) + " is kept: R restores it");
    hb.move(10, 10);  // over the canvas: still no press
    frames(3);
    EXPECT_FALSE(a.notice.text.empty());
    hb.press('Q');
    hb.release('Q');
    frames(2);
    EXPECT_EQ(a.notice.text, "");

    // R opens it later, as one step, with no name to save to
    hb.press('R');
    hb.release('R');
    frames(1);
    EXPECT_EQ(a.figure.balls.count(), 3u);
    EXPECT_EQ(a.document.path, "");
    a.undo();
    EXPECT_TRUE(a.figure.balls.is_empty());

    // opened from the folder by Open: Save asks for a name, and Save as
    // into the folder is refused; the file stays as it was
    hb.requester_answers = {ended, ""};
    a.open_command();
    a.figure.balls.slot(0)->x += 5;
    a.save_document();
    ASSERT_EQ(hb.requester_calls.size(), 2u);
    EXPECT_EQ(hb.requester_calls[1].prompt, "Save as:");
    hb.requester_answers = {ended};
    a.save_document_as();
    EXPECT_EQ(a.menu->save_label, "Save failed!");
    EXPECT_EQ(get(ended), three_balls());

    // a document opened and left unchanged leaves nothing, and says nothing
    put(dir + "/doc.fkn", three_balls());
    hb.requester_answers = {dir + "/doc.fkn"};
    a.open_command();
    frames(70);
    ::testing::internal::CaptureStderr();
    a.keep_unsaved_figure();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_TRUE(kept().empty());
}

// Of several ended runs the newest is offered and restored; the control that
// restores, tapped within a frame, ends the notice, and once the figure is
// saved under a name it is no longer kept as unsaved.
TEST_F(UnsavedFigure, RRestoresTheNewestAndSavingItLetsItGo) {
    std::filesystem::create_directories(folder);
    std::time_t now = std::time(nullptr);
    auto ended = [&](const std::string& name, const bytes& figure, std::time_t when) {
        put(folder + "/" + name, figure);
        struct timespec times[2] = {{when, 0}, {when, 0}};
        ::utimensat(AT_FDCWD, (folder + "/" + name).c_str(), times, 0);
    };
    ended("older.fkn", doc().ball(1, 1, 5, 5).data, now - 7200);
    ended("newest.fkn", three_balls(), now - 3600);
    ended("old.fkn", doc().ball(1, 1, 5, 5).ball(2, 1, 9, 9).data, now - 5400);
    a.unsaved.tell_earlier_figures(a.notice);
    std::string offer = "The unsaved figure of " + clock_time(now - 3600) + " is kept: ";
    EXPECT_EQ(a.notice.shown(a.restore_by()), offer + "R restores it");
    // the page's touch layout has no keys: its Restore control, tapped
    a.loop.touch_layout = true;
    EXPECT_EQ(a.notice.shown(a.restore_by()), offer + "the Restore button restores it");
    int restore = static_cast<int>(command_row(&app::restore_command));
    hb.press_control(restore);
    hb.release_control(restore);
    frames(1);
    EXPECT_EQ(a.figure.balls.count(), 3u);
    EXPECT_EQ(a.notice.text, "");
    // undone, what is saved is not the restored figure, which stays kept
    a.undo();
    hb.requester_answers = {dir + "/other.fkn"};
    a.save_document();
    EXPECT_TRUE(std::filesystem::exists(folder + "/newest.fkn"));
    a.restore_command();
    hb.requester_answers = {dir + "/restored.fkn"};
    a.save_document();
    EXPECT_EQ(a.document.path, dir + "/restored.fkn");
    EXPECT_FALSE(std::filesystem::exists(folder + "/newest.fkn"));
    EXPECT_TRUE(std::filesystem::exists(folder + "/old.fkn"));
}

TEST_F(UnsavedFigure, AFigureThatCannotBeKeptIsToldOfAtOnceAndAClearedOneStays) {
    // the folder is a file: said once, on stderr and in the canvas
    std::filesystem::create_directories(dir + "/state/flopkin");
    put(folder, {});
    drag(200, 300, 300, 200);
    ::testing::internal::CaptureStderr();
    frames(70);
    std::string why;
    files().settle(why);
    frames(2);
    std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(said.rfind("flopkin: the unsaved figure cannot be kept in \"" + files().place() + "\": ", 0), 0u) << said;
    EXPECT_EQ(said.find('\n'), said.size() - 1) << said;
    EXPECT_EQ(a.notice.text.rfind("The unsaved figure cannot be kept: ", 0), 0u) << a.notice.text;

    // once kept, a Clear All and the end leave the kept figure for recovery
    std::filesystem::remove(folder);
    drag(300, 200, 400, 300);
    frames(70);
    bytes drawn = kept();
    ASSERT_FALSE(drawn.empty());
    a.clear_all_command();
    frames(70);
    a.keep_unsaved_figure();
    EXPECT_EQ(kept(), drawn);
}

// a state folder that is not absolute is no folder of the user's: the home's is used
TEST(UnsavedFigureFolder, ARelativeStateHomeIsIgnored) {
    const char* home = std::getenv("HOME");
    const char* state = std::getenv("XDG_STATE_HOME");
    std::string saved_home = home ? home : "", saved_state = state ? state : "";
    ::setenv("HOME", "/home/someone", 1);
    ::setenv("XDG_STATE_HOME", "state", 1);
    EXPECT_EQ(recovery_files::default_folder(), "/home/someone/.local/state/flopkin/unsaved");
    ::setenv("XDG_STATE_HOME", "/var/state", 1);
    EXPECT_EQ(recovery_files::default_folder(), "/var/state/flopkin/unsaved");
    home ? ::setenv("HOME", saved_home.c_str(), 1) : ::unsetenv("HOME");
    state ? ::setenv("XDG_STATE_HOME", saved_state.c_str(), 1) : ::unsetenv("XDG_STATE_HOME");
}

TEST_F(UnsavedFigure, OnlyAWindowedRunEndedByThePersonKeepsOne) {
    hb.store = store.get();
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
    EXPECT_EQ(run(false, 5), "");  // a batch run
    EXPECT_EQ(run(true, 5), "");
    EXPECT_TRUE(kept().empty());
    EXPECT_EQ(run(false, -1), "flopkin: the unsaved figure was kept in \"" + files().place() + "\"\n");
    EXPECT_FALSE(kept().empty());
}

}  // namespace
}  // namespace flopkin
