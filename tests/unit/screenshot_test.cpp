#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/app.hpp"
#include "app/options.hpp"
#include "platform/graphics.hpp"
#include "platform/headless/headless_backend.hpp"
#include "png_reader.hpp"

namespace flopkin {
namespace {

// Shows each presented frame as a flat grey whose level is the number of
// frames presented so far, so the file tells which frame it was taken from.
class showing_backend : public headless_backend {
public:
    void present() override {
        headless_backend::present();
        if (keeping) shown = {4, 2, std::vector<std::uint8_t>(4 * 2 * 3, static_cast<std::uint8_t>(presents))};
    }
    void keep_shown_frames() override { keeping = true; }
    bool last_shown_frame(frame_image& out) override {
        if (shown.width == 0) return false;
        out = shown;
        return true;
    }
    bool keeping = false;
    frame_image shown;
};

std::vector<std::uint8_t> read_all(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class Screenshot : public ::testing::Test {
protected:
    std::filesystem::path folder;
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() / ("flopkin-shot-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
    }
    void TearDown() override {
        use_backend(nullptr);
        std::filesystem::remove_all(folder);
    }
    int run(backend& be, run_options options) {
        use_backend(&be);
        app a;
        int status = a.run(options);
        use_backend(nullptr);
        return status;
    }
    std::string path(const char* name) { return (folder / name).string(); }
};

TEST_F(Screenshot, TheLastFrameShownIsWrittenAtTheEnd) {
    showing_backend be;
    run_options options;
    options.frames = 5;
    options.unpaced = true;
    options.screenshot = path("shot.png");
    EXPECT_EQ(run(be, options), 0);
    frame_image image = test::png_pixels(read_all(options.screenshot));
    ASSERT_EQ(image.width, 4);
    ASSERT_EQ(image.height, 2);
    EXPECT_EQ(image.rgb.front(), be.presents);
    EXPECT_EQ(image.rgb.back(), be.presents);
}

TEST_F(Screenshot, ARunOfNoFramesWritesTheFrameTheWindowOpenedWith) {
    // frames are kept from before the window opens, so its first picture counts
    showing_backend be;
    run_options options;
    options.frames = 0;
    options.screenshot = path("shot.png");
    EXPECT_TRUE(be.keeping == false);
    EXPECT_EQ(run(be, options), 0);
    EXPECT_TRUE(be.keeping);
    EXPECT_EQ(test::png_pixels(read_all(options.screenshot)).width, 4);
}

TEST_F(Screenshot, NoFrameToWriteIsAFailureAndTheDocumentIsStillWritten) {
    headless_backend be(false);  // shows nothing
    run_options options;
    options.frames = 2;
    options.screenshot = path("shot.png");
    options.output = path("after.fkn");
    testing::internal::CaptureStderr();
    EXPECT_EQ(run(be, options), 1);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("shot.png"), std::string::npos) << err;
    EXPECT_FALSE(std::filesystem::exists(options.screenshot));
    EXPECT_TRUE(std::filesystem::exists(options.output));
}

TEST_F(Screenshot, AnUnwritablePathFailsAndAnExistingPictureIsReplaced) {
    showing_backend be;
    run_options options;
    options.frames = 1;
    options.screenshot = path("no such folder/shot.png");
    testing::internal::CaptureStderr();
    EXPECT_EQ(run(be, options), 1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("cannot write"), std::string::npos);

    // a file already at the path gives way to the new picture
    std::ofstream(path("old.png")) << "old";
    showing_backend again;
    options.screenshot = path("old.png");
    EXPECT_EQ(run(again, options), 0);
    EXPECT_EQ(test::png_pixels(read_all(options.screenshot)).width, 4);
}

TEST_F(Screenshot, AClipOfEverySecondFrameStartsAtTheFirstFrameShown) {
    // whole frames of the window's size, each taken noted by its count
    struct taking_backend : showing_backend {
        std::vector<int> taken;
        bool last_shown_frame(frame_image& out) override {
            taken.push_back(presents);
            out = {opened_width, opened_height,
                   std::vector<std::uint8_t>(3u * opened_width * opened_height, static_cast<std::uint8_t>(presents))};
            return true;
        }
    } be;
    run_options options;
    options.frames = 5;
    options.unpaced = true;
    options.record = path("clip.gif");
    options.record_every = 2;
    EXPECT_EQ(run(be, options), 0);
    // the window's first frames time its presentation: the run's are the last five
    EXPECT_EQ(be.taken, (std::vector<int>{be.presents - 4, be.presents - 2, be.presents}));
}

TEST(RunSeed, TheSameSeedRepeatsARunAndAnotherDoesNot) {
    auto palette_after = [](long long seed) {
        headless_backend be(false);
        use_backend(&be);
        app a;
        run_options options;
        options.frames = 400;
        options.unpaced = true;
        options.seed = seed;
        a.run(options);
        use_backend(nullptr);
        return std::vector<int>(&a.palette.colour[0][0], &a.palette.colour[0][0] + palette_rows * 3);
    };
    EXPECT_EQ(palette_after(7), palette_after(7));
    EXPECT_NE(palette_after(7), palette_after(8));
}

TEST(RunOptions, ScreenshotAndSeed) {
    auto parse = [](std::vector<const char*> args, run_options& o) {
        args.insert(args.begin(), "flopkin");
        std::string message;
        return parse_options(static_cast<int>(args.size()), args.data(), o, message);
    };
    run_options o;
    EXPECT_EQ(parse({"--screenshot", "a.png", "--seed", "0"}, o), parse_result::run);
    EXPECT_EQ(o.screenshot, "a.png");
    EXPECT_EQ(o.seed, 0);
    EXPECT_EQ(parse({"--seed", "2147483647"}, o), parse_result::run);
    EXPECT_EQ(o.seed, 2147483647);
    for (auto bad : std::vector<std::vector<const char*>>{
             {"--screenshot"}, {"--screenshot", ""}, {"--seed"}, {"--seed", "-1"}, {"--seed", "2147483648"},
             {"--seed", "7x"}}) {
        run_options fresh;
        EXPECT_EQ(parse(bad, fresh), parse_result::bad) << bad[0] << " " << (bad.size() > 1 ? bad[1] : "");
    }
    run_options headless;
    EXPECT_EQ(parse({"--headless", "--screenshot", "a.png"}, headless), parse_result::bad);  // still needs --frames
}

}  // namespace
}  // namespace flopkin
