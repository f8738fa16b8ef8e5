#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "memory_device.hpp"
#include "platform/file_system.hpp"
#include "platform/stream.hpp"

namespace flopkin {

namespace {

std::shared_ptr<bytes> data_of(std::initializer_list<int> values) {
    auto data = std::make_shared<bytes>();
    for (int v : values) data->push_back(static_cast<std::uint8_t>(v));
    return data;
}

}  // namespace

TEST(StreamBytes, LinesEndInCarriageReturnAndLineFeed) {
    auto data = std::make_shared<bytes>();
    memory_stream(data)->write_line("New Ball");
    EXPECT_EQ(*data, (bytes{'N', 'e', 'w', ' ', 'B', 'a', 'l', 'l', 13, 10}));
    auto in = memory_stream(data);
    EXPECT_EQ(in->read_line(), "New Ball");
    EXPECT_TRUE(in->at_end());
}

TEST(StreamBytes, ReadLineDropsEveryCarriageReturnAndStopsAtZero) {
    auto in = memory_stream(data_of({65, 13, 13, 32, 66, 10}));
    EXPECT_EQ(in->read_line(), "A B");
    EXPECT_TRUE(in->at_end());
    EXPECT_EQ(in->read_line(), "");

    auto zero = memory_stream(data_of({'a', 0, 'b', 13}));
    EXPECT_EQ(zero->read_line(), "a");
    EXPECT_EQ(zero->read_line(), "b");  // the end of the file ends a line too
    EXPECT_FALSE(zero->ran_short());
    EXPECT_FALSE(zero->failed());
}

TEST(StreamBytes, IntsAndFloatsAreLittleEndian) {
    auto data = std::make_shared<bytes>();
    auto out = memory_stream(data);
    out->write_int(-2);
    out->write_int(0x12345678);
    out->write_float(1.0f);
    out->write_float(-0.0f);
    EXPECT_EQ(*data, (bytes{0xfe, 0xff, 0xff, 0xff, 0x78, 0x56, 0x34, 0x12, 0, 0, 0x80, 0x3f, 0, 0, 0, 0x80}));

    auto in = memory_stream(data);
    EXPECT_EQ(in->read_int(), -2);
    EXPECT_EQ(in->read_int(), 0x12345678);
    EXPECT_EQ(in->read_float(), 1.0f);
    float negative_zero = in->read_float();
    EXPECT_TRUE(std::signbit(negative_zero));
    EXPECT_FALSE(in->ran_short());
}

TEST(StreamBytes, FloatBitsSurviveExactly) {
    // a quiet NaN with a payload and the smallest subnormal keep every bit
    const std::uint32_t patterns[] = {0x7fc12345u, 0x00000001u, 0xff7fffffu};
    auto data = std::make_shared<bytes>();
    auto out = memory_stream(data);
    for (std::uint32_t bits : patterns) {
        float f;
        std::memcpy(&f, &bits, 4);
        out->write_float(f);
    }
    auto in = memory_stream(data);
    for (std::uint32_t bits : patterns) {
        float f = in->read_float();
        std::uint32_t back;
        std::memcpy(&back, &f, 4);
        EXPECT_EQ(back, bits);
    }
}

TEST(StreamBytes, ShortReadAtTheEndPadsWithZero) {
    auto in = memory_stream(data_of({1, 2}));
    EXPECT_EQ(in->read_int(), 513);
    EXPECT_TRUE(in->at_end());
    EXPECT_TRUE(in->ran_short());
    EXPECT_FALSE(in->failed());
    EXPECT_EQ(in->read_float(), 0.0f);
}

TEST(StreamFaults, ReadErrorStopsEverythingWithoutSpinning) {
    auto data = std::make_shared<bytes>(100, 'x');
    auto in = memory_stream(data, 10);  // the device stops delivering after 10 bytes
    std::string line = in->read_line();
    EXPECT_EQ(line.size(), 10u);
    EXPECT_TRUE(in->failed());
    EXPECT_EQ(in->error(), "Error reading from stream");
    EXPECT_TRUE(in->at_end());
    EXPECT_EQ(in->read_int(), 0);
    EXPECT_FALSE(in->ran_short());  // a failure is not the end of the file
}

TEST(StreamFaults, WriteErrorIsKeptAndLaterWritesDoNothing) {
    auto data = std::make_shared<bytes>();
    auto out = memory_stream(data, memory_device::never, 6);
    out->write_int(1);
    EXPECT_FALSE(out->failed());
    out->write_int(2);
    EXPECT_TRUE(out->failed());
    EXPECT_EQ(out->error(), "Error writing to stream");
    out->write_line("more");
    EXPECT_EQ(data->size(), 6u);
    EXPECT_FALSE(out->close());
}

class DiskFiles : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/flopkin-stream-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override {
        std::filesystem::permissions(dir, std::filesystem::perms::owner_all);
        std::filesystem::remove_all(dir);
    }
    static void put(const std::string& path, const std::string& content) { std::ofstream(path, std::ios::binary) << content; }
    static std::string get(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::size_t entries() const {
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir), {}));
    }
    std::string dir;
};

TEST_F(DiskFiles, OpeningForReadNeedsAnExistingRegularFile) {
    std::string why;
    EXPECT_EQ(open_stream(dir + "/missing.fkn", file_access::read, why), nullptr);
    EXPECT_EQ(why, std::strerror(ENOENT));
    EXPECT_EQ(open_stream(dir, file_access::read, why), nullptr);
    EXPECT_EQ(why, std::strerror(EISDIR));
    EXPECT_EQ(open_stream("", file_access::read, why), nullptr);

    // a fifo with no writer would block a plain open for ever
    ASSERT_EQ(::mkfifo((dir + "/pipe").c_str(), 0600), 0);
    EXPECT_EQ(open_stream(dir + "/pipe", file_access::read, why), nullptr);
}

TEST_F(DiskFiles, ReadOnlyFilesOpenForReading) {
    put(dir + "/doc.fkn", "1\r\nNew Ball\r\n");
    ::chmod((dir + "/doc.fkn").c_str(), 0444);
    std::string why;
    auto in = open_stream(dir + "/doc.fkn", file_access::read, why);
    ASSERT_NE(in, nullptr) << why;
    EXPECT_EQ(in->read_line(), "1");
    EXPECT_EQ(in->read_line(), "New Ball");
    EXPECT_TRUE(in->at_end());
}

TEST_F(DiskFiles, BackslashesSeparateFoldersToo) {
    ASSERT_TRUE(create_folder(dir + "\\sub"));
    EXPECT_TRUE(std::filesystem::is_directory(dir + "/sub"));
    EXPECT_TRUE(create_folder(dir + "/sub"));  // already there is fine
    EXPECT_FALSE(create_folder(dir + "/a/b"));  // only the last element is made
    put(dir + "/sub/x", "x");
    EXPECT_TRUE(delete_file(dir + "\\sub\\x"));
    EXPECT_FALSE(std::filesystem::exists(dir + "/sub/x"));
    EXPECT_TRUE(delete_file(dir + "/sub/never"));
}

TEST_F(DiskFiles, ReplaceFileSwapsTheContentWhole) {
    std::string path = dir + "/doc.fkn";
    put(path, "old content");
    ::chmod(path.c_str(), 0640);
    std::string why;
    ASSERT_TRUE(replace_file(path, [](stream& out) { out.write_line("new"); }, why)) << why;
    EXPECT_EQ(get(path), "new\r\n");
    EXPECT_EQ(std::filesystem::status(path).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                  std::filesystem::perms::group_read);
    EXPECT_EQ(entries(), 1u);  // no leftover of the write
}

TEST_F(DiskFiles, ReplaceFileFailsCleanly) {
    std::string why;
    EXPECT_FALSE(replace_file(dir + "/missing/doc.fkn", [](stream& out) { out.write_line("x"); }, why));
    EXPECT_EQ(why, std::strerror(ENOENT));
    EXPECT_FALSE(replace_file("", [](stream& out) { out.write_line("x"); }, why));

    // a directory in the way is not replaced
    std::filesystem::create_directory(dir + "/taken");
    EXPECT_FALSE(replace_file(dir + "/taken", [](stream& out) { out.write_line("x"); }, why));
    EXPECT_TRUE(std::filesystem::is_directory(dir + "/taken"));
    EXPECT_EQ(entries(), 1u);
}

TEST_F(DiskFiles, AWriteThatBreaksHalfWayKeepsTheOldFile) {
    std::string path = dir + "/doc.fkn";
    put(path, "old content");
    device_maker previous = use_device_maker(breaking_disk(5, memory_device::never));  // the disk fills up
    std::string why;
    bool ok = replace_file(path, [](stream& out) { out.write_line("a much longer new content"); }, why);
    use_device_maker(previous);
    EXPECT_FALSE(ok);
    EXPECT_EQ(why, "Error writing to stream");
    EXPECT_EQ(get(path), "old content");
    EXPECT_EQ(entries(), 1u);
}

TEST_F(DiskFiles, AReadOnlyFolderKeepsItsFile) {
    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind the super-user";
    std::string path = dir + "/doc.fkn";
    put(path, "old content");
    ::chmod(dir.c_str(), 0555);
    std::string why;
    EXPECT_FALSE(replace_file(path, [](stream& out) { out.write_line("new"); }, why));
    EXPECT_EQ(get(path), "old content");
}

}  // namespace flopkin
