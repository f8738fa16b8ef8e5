#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "figure_builder.hpp"

namespace flopkin {

namespace {

const bytes header = {'1', 13, 10};

bytes without_header(const bytes& all) { return bytes(all.begin() + 3, all.end()); }

// reads a document into a fresh figure, as Open would
struct read_result {
    bool ok;
    figure_records records;
};

read_result read_bytes(app& owner, const bytes& data, int base = 0, ball_numbers numbers = {}) {
    read_result result;
    result.ok = read_figure(*memory_stream(std::make_shared<bytes>(data)), owner, base, std::move(numbers),
                            result.records);
    return result;
}

}  // namespace

TEST(DocumentRecords, BallLinkAndTensionBytes) {
    app a;
    auto b1 = put_ball(a, 100, 200, 1, 13, 255, 0, 128);
    bytes all = figure_bytes(a);
    EXPECT_EQ(bytes(all.begin(), all.begin() + 3), header);
    EXPECT_EQ(without_header(all), hex("4e 65 77 20 42 61 6c 6c 0d 0a 01 00 00 00 00 00 80 3f 00 00 c8 42 00 00 48 43 "
                                       "00 00 50 41 ff 00 00 00 00 00 00 00 80 00 00 00"));

    app links_only;
    auto p = put_ball(links_only, 0, 0);
    auto q = put_ball(links_only, 0, 0);
    auto r = put_ball(links_only, 0, 0);
    links_only.balls.clear();  // only the link records are left to write
    put_link(links_only, p, q, 50, 2, 10, 20, 30);
    EXPECT_EQ(without_header(figure_bytes(links_only)),
              hex("4e 65 77 20 4c 69 6e 6b 0d 0a 01 00 00 00 02 00 00 00 00 00 48 42 00 00 00 40 0a 00 00 00 14 00 "
                  "00 00 1e 00 00 00"));
    links_only.links.clear();
    put_tension(links_only, p, q, r, 180, 30);
    EXPECT_EQ(without_header(figure_bytes(links_only)),
              hex("4e 65 77 20 54 65 6e 73 69 6f 6e 0d 0a 01 00 00 00 02 00 00 00 03 00 00 00 00 00 34 43 00 00 f0 "
                  "41"));
}

TEST(DocumentRecords, TwoBallsAndALinkMake125Bytes) {
    app a;
    auto p = put_ball(a, 1, 2);
    auto q = put_ball(a, 3, 4);
    put_link(a, p, q, 10);
    EXPECT_EQ(figure_bytes(a).size(), 125u);
}

TEST(DocumentRecords, RoundTripIsBitIdentical) {
    app a;
    auto p = put_ball(a, 100.25f, -200.5f, 2.5f, 13, 255, 0, 128);
    auto q = put_ball(a, 1e30f, std::numeric_limits<float>::denorm_min(), 0.001f, 200, -5, 300, 7);
    auto r = put_ball(a, -0.0f, 3e-7f, 1e6f, 0.5f, 1, 2, 3);
    put_link(a, p, q, 50, 2, 10, 20, 30);
    put_link(a, r, p, 0.1f, 199, 0, 0, 0);
    put_tension(a, p, q, r, 359.99f, 3000);
    put_tension(a, r, p, q, 0, 0.1f);
    bytes first = figure_bytes(a);

    app b;
    read_result got = read_bytes(b, first);
    ASSERT_TRUE(got.ok);
    ASSERT_EQ(got.records.balls.size(), 3u);
    ASSERT_EQ(got.records.links.size(), 2u);
    ASSERT_EQ(got.records.tensions.size(), 2u);
    for (auto& ball : got.records.balls) {
        EXPECT_EQ(ball->vx, 0);
        EXPECT_EQ(ball->old_x, ball->x);
        EXPECT_EQ(ball->owner, &b);
        b.balls.add_last(ball);
    }
    for (auto& l : got.records.links) b.links.add_last(l);
    for (auto& t : got.records.tensions) b.tensions.add_last(t);
    EXPECT_EQ(got.records.links[1]->end_a, got.records.balls[2]);
    EXPECT_EQ(got.records.tensions[0]->vertex, got.records.balls[1]);
    EXPECT_EQ(figure_bytes(b), first);
}

TEST(DocumentReading, HeaderIsSkippedWhateverItHolds) {
    for (std::string head : {"1", "2", "", "garbage header"}) {
        app a;
        read_result got = read_bytes(a, document({ball_record(1, 1, 5, 6)}, head));
        EXPECT_TRUE(got.ok);
        EXPECT_EQ(got.records.balls.size(), 1u) << "header " << head;
    }
}

TEST(DocumentReading, OnlyExactMarkersStartRecords) {
    bytes spaced;
    append(spaced, "New Ball \r\n");  // a trailing space: just a line to skip
    for (int i = 0; i < 8; ++i) append_int(spaced, 0x41414141);
    bytes lower;
    append(lower, "new ball\r\n");
    app a;
    read_result got = read_bytes(a, document({spaced, lower, ball_record(1, 1, 7, 8), bytes{'x', '\r', '\n'}}));
    ASSERT_TRUE(got.ok);
    ASSERT_EQ(got.records.balls.size(), 1u);
    EXPECT_EQ(got.records.balls[0]->x, 7);
}

TEST(DocumentReading, LinksAndTensionsNeedBallsReadBeforeThem) {
    app a;
    read_result got = read_bytes(a, document({link_record(1, 2, 5), ball_record(1, 1, 0, 0), ball_record(2, 1, 9, 0),
                                              link_record(1, 2, 9), link_record(1, 7, 9),
                                              tension_record(1, 2, 3, 180, 1), tension_record(2, 1, 2, 90, 1)}));
    ASSERT_TRUE(got.ok);
    EXPECT_EQ(got.records.balls.size(), 2u);
    ASSERT_EQ(got.records.links.size(), 1u);  // the early one and the one naming ball 7 are dropped
    EXPECT_EQ(got.records.links[0]->rest_length, 9);
    ASSERT_EQ(got.records.tensions.size(), 1u);
    EXPECT_EQ(got.records.tensions[0]->rest_angle, 90);
}

TEST(DocumentReading, NumbersAreShiftedByTheBaseAndTheLastBallWins) {
    app a;
    auto old_ball = put_ball(a, 0, 0);  // number 1
    ball_numbers numbers{{1, old_ball}};
    read_result got = read_bytes(a, document({ball_record(1, 1, 5, 5), ball_record(1, 1, 6, 6), link_record(1, 1, 3),
                                              link_record(0, 1, 3)}),
                                 1, numbers);
    ASSERT_TRUE(got.ok);
    ASSERT_EQ(got.records.balls.size(), 2u);
    EXPECT_EQ(got.records.balls[0]->number, 2);
    ASSERT_EQ(got.records.links.size(), 2u);
    EXPECT_EQ(got.records.links[0]->end_a, got.records.balls[1]);  // the later ball numbered 2
    EXPECT_EQ(got.records.links[1]->end_a, old_ball);              // 0 + base is the ball already there
}

TEST(DocumentReading, ValuesThatCannotStandAreRepairedOrDropped) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    app a;
    read_result got = read_bytes(
        a, document({ball_record(1, nan, 0, 0), ball_record(2, 0, 1, 0), ball_record(3, -4, 2, 0),
                     ball_record(4, inf, 3, 0), ball_record(5, 1, nan, 0), ball_record(6, 1, 0, -inf),
                     ball_record(7, 1e30f, 1e30f, -1e30f), link_record(1, 5, 3), link_record(1, 2, nan),
                     link_record(1, 2, 1e30f, nan), tension_record(1, 2, 6, 180, 1), tension_record(1, 2, 3, inf, 1),
                     tension_record(1, 2, 3, 1e30f, nan)}));
    ASSERT_TRUE(got.ok);
    ASSERT_EQ(got.records.balls.size(), 5u);  // the two with a position that is not finite are gone
    for (int i = 0; i < 4; ++i) EXPECT_EQ(got.records.balls[i]->mass, 1.0f) << "ball " << i;
    EXPECT_EQ(got.records.balls[4]->mass, 1e30f);  // huge but finite values stay
    EXPECT_EQ(got.records.balls[4]->x, 1e30f);
    ASSERT_EQ(got.records.links.size(), 1u);
    EXPECT_EQ(got.records.links[0]->rest_length, 1e30f);
    ASSERT_EQ(got.records.tensions.size(), 1u);
    EXPECT_EQ(got.records.tensions[0]->rest_angle, 1e30f);
}

TEST(DocumentReading, ARecordCutShortIsDropped) {
    bytes full = document({ball_record(1, 1, 0, 0), ball_record(2, 1, 5, 0), link_record(1, 2, 5)});
    for (std::size_t cut = 1; cut <= 28 + 2; ++cut) {
        app a;
        read_result got = read_bytes(a, bytes(full.begin(), full.end() - static_cast<std::ptrdiff_t>(cut)));
        ASSERT_TRUE(got.ok);
        EXPECT_EQ(got.records.links.size(), 0u) << "cut " << cut;
        EXPECT_EQ(got.records.balls.size(), 2u) << "cut " << cut;
    }
    app a;
    read_result got = read_bytes(a, bytes(full.begin(), full.end() - 38 - 1));
    EXPECT_EQ(got.records.balls.size(), 1u);
}

TEST(DocumentReading, AReadErrorFailsTheWholeRead) {
    bytes full = document({ball_record(1, 1, 0, 0), ball_record(2, 1, 5, 0)});
    app a;
    figure_records records;
    auto in = memory_stream(std::make_shared<bytes>(full), 50);
    EXPECT_FALSE(read_figure(*in, a, 0, {}, records));
    EXPECT_EQ(in->error(), "Error reading from stream");
}

TEST(DocumentReading, GarbageLoadsOnlySoundRecords) {
    // pseudo-random documents mixing markers, numbers and noise
    std::uint32_t state = 12345;
    auto next = [&] { return state = state * 1103515245u + 12345u; };
    for (int round = 0; round < 300; ++round) {
        bytes data;
        int pieces = static_cast<int>(next() % 40);
        for (int i = 0; i < pieces; ++i) {
            switch (next() % 5) {
                case 0: append(data, "New Ball\r\n"); break;
                case 1: append(data, "New Link\r\n"); break;
                case 2: append(data, "New Tension\r\n"); break;
                case 3: append_int(data, static_cast<std::int32_t>(next() % 6)); break;
                default: append_int(data, static_cast<std::int32_t>(next())); break;
            }
        }
        app a;
        read_result got = read_bytes(a, data);
        ASSERT_TRUE(got.ok);
        for (auto& b : got.records.balls) {
            EXPECT_TRUE(std::isfinite(b->x) && std::isfinite(b->y));
            EXPECT_TRUE(std::isfinite(b->mass) && b->mass > 0);
        }
        for (auto& l : got.records.links) EXPECT_TRUE(l->end_a && l->end_b && std::isfinite(l->rest_length));
        for (auto& t : got.records.tensions) EXPECT_TRUE(t->end_a && t->vertex && t->end_b);
    }
}

}  // namespace flopkin
