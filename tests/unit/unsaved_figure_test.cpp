// The recovery figure: written in the background while the user's changes
// are unsaved, one file per run, let go of once the figure is safe, and the
// files of ended runs named at start-up and bounded.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>

#include "document_fixture.hpp"
#include "platform/recovery_files.hpp"

namespace flopkin {
namespace {

struct UnsavedFigure : InTempFolder {
    void SetUp() override {
        InTempFolder::SetUp();
        folder = dir + "/state/flopkin/unsaved";
        store = std::make_unique<recovery_files>(folder, "this-run.fkn");
        a.recovery = store.get();
        a.mode = 1;
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
    // a run still going holds its file, however old: never touched
    std::string running = file(30);
    int held = ::open(running.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);

    hb.store = store.get();
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
    EXPECT_TRUE(std::filesystem::exists(running));
    ::close(held);
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
