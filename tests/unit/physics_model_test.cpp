#include <gtest/gtest.h>

#include <cmath>

#include "physics/figure.hpp"
#include "platform/random.hpp"

namespace flopkin {
namespace {

TEST(model, FreshObjectsCarryTheirDefaults) {
    seed_rnd(1234);
    for (int i = 0; i < 50; ++i) {
        ball b;
        EXPECT_EQ(b.mass, 1.0f);
        EXPECT_EQ(b.radius, 15.0f);
        EXPECT_EQ(b.vx, 0);
        EXPECT_EQ(b.vy, 0);
        EXPECT_EQ(b.x, b.old_x);
        EXPECT_EQ(b.y, b.old_y);
        EXPECT_TRUE(b.x >= 0 && b.x <= 800 && b.x == std::floor(b.x)) << b.x;
        EXPECT_TRUE(b.y >= 0 && b.y <= 600 && b.y == std::floor(b.y)) << b.y;
        for (int c : b.colour) EXPECT_TRUE(c >= 0 && c <= 255);
        EXPECT_EQ(b.figure, 0);
        EXPECT_EQ(b.owner, nullptr);
    }
    link l;
    EXPECT_EQ(l.width, 3.0f);
    EXPECT_EQ(l.rest_length, 0);
    EXPECT_FALSE(l.end_a || l.end_b);
    tension t;
    EXPECT_EQ(t.rest_angle, 0);
    EXPECT_EQ(t.strength, 0);
}

}  // namespace
}  // namespace flopkin
