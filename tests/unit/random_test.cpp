#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "platform/base/random.hpp"

namespace flopkin {

TEST(Random, KnownSeedGivesKnownValues) {
    // reference values from an independent plain-multiplication implementation
    seed_rnd(12345);
    std::vector<int> dice;
    for (int i = 0; i < 10; ++i) dice.push_back(rand(1, 6));
    EXPECT_EQ(dice, (std::vector<int>{1, 5, 4, 4, 2, 6, 4, 6, 2, 3}));
    seed_rnd(12345);
    EXPECT_NEAR(rnd(0, 1000), 109.96048079683408, 1e-9);
    EXPECT_NEAR(rnd(0, 1000), 791.65057662771619, 1e-9);
}

TEST(Random, FollowsTheMinimalStandardSequence) {
    // each uniform draw takes two steps of the generator; after 5000 draws it
    // stands at the sequence's 10000th value, so the next draw is built from
    // the 10001st and 10002nd
    std::minstd_rand reference(1);
    reference.discard(10000);
    double s1 = reference(), s2 = reference();
    double a = static_cast<int>(s1) & 0x1ffffffc, b = static_cast<int>(s2) & 0x1ffffff8;
    seed_rnd(1);
    for (int i = 0; i < 5000; ++i) rnd(0, 1);
    EXPECT_DOUBLE_EQ(rnd(0, 1), (a + b / 134217728.0) / 536870912.0);
}

TEST(Random, DegenerateSeedsFallBackTo4660) {
    seed_rnd(4660);
    double expected = rnd(0, 1);
    seed_rnd(0);
    EXPECT_EQ(rnd(0, 1), expected);
    seed_rnd(2147483647);
    EXPECT_EQ(rnd(0, 1), expected);
    seed_rnd(-1);  // low 31 bits all set: the modulus itself
    EXPECT_EQ(rnd(0, 1), expected);
    seed_rnd(4660 | static_cast<int>(0x80000000u));  // only the low 31 bits count
    EXPECT_EQ(rnd(0, 1), expected);
}

TEST(Random, RandCoversItsRangeEvenlyInEitherOrder) {
    seed_rnd(777);
    int counts[4] = {};
    for (int i = 0; i < 30000; ++i) {
        int v = rand(1, 3);
        ASSERT_GE(v, 1);
        ASSERT_LE(v, 3);
        ++counts[v];
    }
    for (int v = 1; v <= 3; ++v) EXPECT_NEAR(counts[v], 10000, 400) << v;
    int reversed[4] = {};
    for (int i = 0; i < 30000; ++i) {
        int v = rand(3, 1);
        ASSERT_GE(v, 1);
        ASSERT_LE(v, 3);
        ++reversed[v];
    }
    for (int v = 1; v <= 3; ++v) EXPECT_NEAR(reversed[v], 10000, 400) << v;
    EXPECT_EQ(rand(5, 5), 5);
}

TEST(Random, RndStaysBelowItsMaximum) {
    seed_rnd(31337);
    double lowest = 1000, highest = 0;
    for (int i = 0; i < 200000; ++i) {
        double v = rnd(0, 1000);
        ASSERT_GE(v, 0);
        ASSERT_LT(v, 1000);
        lowest = std::min(lowest, v);
        highest = std::max(highest, v);
    }
    EXPECT_LT(lowest, 1);
    EXPECT_GT(highest, 999);
    // swapped bounds: still [2, 5)
    for (int i = 0; i < 1000; ++i) {
        double v = rnd(5, 2);
        ASSERT_GE(v, 2);
        ASSERT_LT(v, 5);
    }
}

TEST(Random, TheLargestDrawIsHeldInsideTheRange) {
    // the largest value a draw can give, where rounding would reach the bound
    const double top = std::nextafter(1.0, 0.0);
    EXPECT_LT(spread_rnd(top, 1, 2), 2);
    EXPECT_LT(spread_rnd(top, 0.1, 0.3), 0.3);
    EXPECT_GE(spread_rnd(top, 0.1, 0.3), 0.1);
    EXPECT_EQ(spread_rand(top, 1, 3), 3);
    EXPECT_EQ(spread_rand(top, 3, 1), 3);
    EXPECT_EQ(spread_rand(0, 1, 3), 1);
    EXPECT_EQ(spread_rand(0, 3, 1), 1);
    EXPECT_EQ(spread_rnd(0, 4, 4), 4);
}

}  // namespace flopkin
