#include <fnmatch.h>
#include <gtest/gtest.h>

#include "platform/files/file_filter.hpp"

namespace flopkin {

namespace {
// whether the requester lists the file under the group: its patterns are
// shell patterns, matched as the file chooser matches them
bool shows(const filter_group& group, const char* name) {
    for (const std::string& pattern : group.patterns)
        if (fnmatch(pattern.c_str(), name, 0) == 0) return true;
    return false;
}
}  // namespace

TEST(FileFilter, LabelledGroupsInOrder) {
    auto groups = parse_file_filter("All Files:*;Flopkin files (.fkn):fkn");
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0].label, "All Files");
    EXPECT_EQ(groups[0].patterns, std::vector<std::string>{"*"});
    EXPECT_EQ(groups[1].label, "Flopkin files (.fkn)");
    // the extension in any case, and nothing else
    for (const char* name : {"figure.fkn", "figure.FKN", "a.b.Fkn"}) EXPECT_TRUE(shows(groups[1], name)) << name;
    for (const char* name : {"figure.txt", "fkn", "figure.fkn~", "figure.fk"}) EXPECT_FALSE(shows(groups[1], name)) << name;
}

TEST(FileFilter, SeveralExtensionsInAGroup) {
    auto groups = parse_file_filter("Pictures:png, jpg,.gif,tar.gz");
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].patterns.size(), 4u);
    for (const char* name : {"a.png", "b.JPG", "c.gif", "d.tar.gz"}) EXPECT_TRUE(shows(groups[0], name)) << name;
    EXPECT_FALSE(shows(groups[0], "e.fkn"));
}

TEST(FileFilter, WithoutAColonOneGroupCalledFiles) {
    auto groups = parse_file_filter("fkn,txt");
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].label, "Files");
    EXPECT_TRUE(shows(groups[0], "a.fkn") && shows(groups[0], "b.txt"));
    EXPECT_FALSE(shows(groups[0], "c.png"));
}

TEST(FileFilter, EmptyFilterHasNoGroups) {
    EXPECT_TRUE(parse_file_filter("").empty());
    EXPECT_TRUE(parse_file_filter("  ").empty());
}

TEST(FileFilter, StrayAndEmptyGroupsNeverHideEveryFile) {
    auto groups = parse_file_filter("Docs:fkn;;Nothing:;");
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_TRUE(shows(groups[0], "a.fkn"));
    EXPECT_FALSE(shows(groups[0], "b.txt"));
    EXPECT_EQ(groups[1].label, "Nothing");
    EXPECT_EQ(groups[1].patterns, std::vector<std::string>{"*"});
}

}  // namespace flopkin
