#include <gtest/gtest.h>

#include "platform/number_text.hpp"
#include "platform/object_list.hpp"
#include "platform/random.hpp"

namespace flopkin {

TEST(NumberText, TruncatesTowardZero) {
    EXPECT_EQ(float_to_int(2.9), 2);
    EXPECT_EQ(float_to_int(-2.9), -2);
    EXPECT_EQ(float_to_int(0.99999), 0);
    EXPECT_EQ(float_to_int(-0.5), 0);
}

TEST(NumberText, Digits) {
    EXPECT_EQ(int_to_text(0), "0");
    EXPECT_EQ(int_to_text(-7), "-7");
    EXPECT_EQ(int_to_text(-2147483647 - 1), "-2147483648");
}

}  // namespace flopkin
