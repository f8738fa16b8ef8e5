#include <gtest/gtest.h>

#include "platform/file_filter.hpp"

namespace flopkin {

using patterns = std::vector<std::string>;

TEST(FileFilter, LabelledGroupsInOrder) {
    auto groups = parse_file_filter("All Files:*;Flopkin files (.fkn):fkn");
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0].label, "All Files");
    EXPECT_EQ(groups[0].patterns, patterns{"*"});
    EXPECT_EQ(groups[1].label, "Flopkin files (.fkn)");
    EXPECT_EQ(groups[1].patterns, patterns{"*.fkn"});
}

TEST(FileFilter, SeveralExtensionsInAGroup) {
    auto groups = parse_file_filter("Pictures:png, jpg,.gif");
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].patterns, (patterns{"*.png", "*.jpg", "*.gif"}));
}

TEST(FileFilter, WithoutAColonOneGroupCalledFiles) {
    auto groups = parse_file_filter("fkn,txt");
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].label, "Files");
    EXPECT_EQ(groups[0].patterns, (patterns{"*.fkn", "*.txt"}));
}

TEST(FileFilter, EmptyFilterHasNoGroups) {
    EXPECT_TRUE(parse_file_filter("").empty());
    EXPECT_TRUE(parse_file_filter("  ").empty());
}

TEST(FileFilter, StrayAndEmptyGroupsNeverHideEveryFile) {
    auto groups = parse_file_filter("Docs:fkn;;Nothing:;");
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0].patterns, patterns{"*.fkn"});
    EXPECT_EQ(groups[1].label, "Nothing");
    EXPECT_EQ(groups[1].patterns, patterns{"*"});
}

}  // namespace flopkin
