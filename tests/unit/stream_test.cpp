#include <sys/stat.h>

#include <cmath>
#include <cstring>

#include "document_fixture.hpp"
#include "platform/files/file_system.hpp"

namespace flopkin {

TEST(Stream, LinesIntsAndFloatsHaveTheirExactBytes) {
    auto data = std::make_shared<bytes>();
    auto out = memory_stream(data);
    out->write_line("New Ball");
    out->write_int(-2);
    out->write_float(1.0f);
    EXPECT_EQ(*data, (bytes{'N', 'e', 'w', ' ', 'B', 'a', 'l', 'l', 13, 10, 0xfe, 0xff, 0xff, 0xff, 0, 0, 0x80, 0x3f}));
    auto in = memory_stream(data);
    EXPECT_EQ(in->read_line(), "New Ball");
    EXPECT_EQ(in->read_int(), -2);
    EXPECT_EQ(in->read_float(), 1.0f);
    EXPECT_TRUE(in->at_end());
    EXPECT_FALSE(in->ran_short());
}

TEST(Stream, ReadLineDropsCarriageReturnsAndStopsAtLineFeedZeroOrEnd) {
    auto in = memory_stream(std::make_shared<bytes>(bytes{65, 13, 13, 32, 66, 10, 'a', 0, 'b', 13}));
    EXPECT_EQ(in->read_line(), "A B");
    EXPECT_EQ(in->read_line(), "a");
    EXPECT_EQ(in->read_line(), "b");
    EXPECT_TRUE(in->at_end());
    EXPECT_EQ(in->read_line(), "");
    EXPECT_FALSE(in->failed());
}

TEST(Stream, FixedReadsAtTheEndPadWithZero) {
    auto in = memory_stream(std::make_shared<bytes>(bytes{1, 2}));
    EXPECT_EQ(in->read_int(), 513);
    EXPECT_TRUE(in->at_end());
    EXPECT_TRUE(in->ran_short());
    EXPECT_FALSE(in->failed());
    EXPECT_EQ(in->read_float(), 0.0f);
}

TEST(Stream, FailuresStickAndNeverSpin) {
    auto in = memory_stream(std::make_shared<bytes>(100, 'x'), 10);  // delivers 10 bytes, then nothing
    EXPECT_EQ(in->read_line().size(), 10u);
    EXPECT_EQ(in->error(), "Error reading from stream");
    EXPECT_TRUE(in->at_end());
    EXPECT_EQ(in->read_int(), 0);
    EXPECT_FALSE(in->ran_short());  // a failure is not the end of the file

    auto data = std::make_shared<bytes>();
    auto out = memory_stream(data, never, 6);
    out->write_int(1);
    out->write_int(2);
    out->write_line("more");
    EXPECT_EQ(out->error(), "Error writing to stream");
    EXPECT_EQ(data->size(), 4u);
    EXPECT_FALSE(out->close());
}

TEST_F(InTempFolder, OnlyExistingRegularFilesOpenForReading) {
    std::string why;
    EXPECT_EQ(open_stream("missing.fkn", file_access::read, why), nullptr);
    EXPECT_EQ(why, std::strerror(ENOENT));
    EXPECT_EQ(open_stream(".", file_access::read, why), nullptr);
    EXPECT_EQ(why, std::strerror(EISDIR));
    ASSERT_EQ(::mkfifo("pipe", 0600), 0);  // a plain open would wait for a writer for ever
    EXPECT_EQ(open_stream("pipe", file_access::read, why), nullptr);
}

TEST_F(InTempFolder, ReplaceFileKeepsPermissionsAndLeavesNothingBehind) {
    put("doc.fkn", bytes{'o', 'l', 'd'});
    ::chmod("doc.fkn", 0640);
    std::string why;
    ASSERT_TRUE(replace_file("doc.fkn", [](stream& out) { out.write_line("new"); }, why)) << why;
    EXPECT_EQ(get("doc.fkn"), (bytes{'n', 'e', 'w', 13, 10}));
    struct stat info {};
    ::stat("doc.fkn", &info);
    EXPECT_EQ(info.st_mode & 0777, 0640u);

    std::filesystem::create_directory("taken");  // a folder in the way stays
    EXPECT_FALSE(replace_file("taken", [](stream& out) { out.write_line("x"); }, why));
    EXPECT_FALSE(replace_file("", [](stream& out) { out.write_line("x"); }, why));
    EXPECT_TRUE(std::filesystem::is_directory("taken"));
    EXPECT_EQ(entries(), 2u);

    EXPECT_TRUE(create_folder("sub\\"));  // a backslash separates like a slash
    EXPECT_TRUE(std::filesystem::is_directory("sub"));
    EXPECT_FALSE(create_folder("a/b"));  // only the last element is made
}

}  // namespace flopkin
