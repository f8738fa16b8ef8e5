#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "figure_builder.hpp"

namespace flopkin {

namespace {

figure_records read_all(const bytes& data, int base = 0, ball_numbers numbers = {}) {
    figure_records records;
    EXPECT_NE(read_figure(*memory_stream(std::make_shared<bytes>(data)), base, std::move(numbers), records),
              read_outcome::failed);
    return records;
}

bytes without_header(const bytes& all) { return bytes(all.begin() + 3, all.end()); }

}  // namespace

TEST(DocumentFormat, RecordsHaveTheirExactBytes) {
    figure a;
    auto p = put_ball(a, 100, 200);
    auto q = put_ball(a, 150, 200);
    auto r = put_ball(a, 0, 0);
    p->colour[0] = 255, p->colour[1] = 0, p->colour[2] = 128;
    a.balls.clear();  // one record at a time
    a.balls.add_last(p);
    EXPECT_EQ(figure_bytes(a), hex("31 0d 0a 4e 65 77 20 42 61 6c 6c 0d 0a 01 00 00 00 00 00 80 3f 00 00 c8 42 00 00 "
                                   "48 43 00 00 50 41 ff 00 00 00 00 00 00 00 80 00 00 00"));
    a.balls.clear();
    put_link(a, p, q, 50);
    auto& l = *a.links.slot(0);
    l.width = 2, l.colour[0] = 10, l.colour[1] = 20, l.colour[2] = 30;
    EXPECT_EQ(without_header(figure_bytes(a)), hex("4e 65 77 20 4c 69 6e 6b 0d 0a 01 00 00 00 02 00 00 00 00 00 48 42 "
                                                   "00 00 00 40 0a 00 00 00 14 00 00 00 1e 00 00 00"));
    a.links.clear();
    put_tension(a, p, q, r, 180, 30);
    EXPECT_EQ(without_header(figure_bytes(a)), hex("4e 65 77 20 54 65 6e 73 69 6f 6e 0d 0a 01 00 00 00 02 00 00 00 03 "
                                                   "00 00 00 00 00 34 43 00 00 f0 41"));
    a.tensions.clear();
    a.balls.add_last(p);
    a.balls.add_last(q);
    put_link(a, p, q, 50);
    EXPECT_EQ(figure_bytes(a).size(), 125u);
}

TEST(DocumentFormat, RoundTripIsBitIdentical) {
    figure a;
    auto p = put_ball(a, 100.25f, -200.5f, 2.5f, 13);
    auto q = put_ball(a, 1e30f, std::numeric_limits<float>::denorm_min(), 0.001f, 200);
    auto r = put_ball(a, -0.0f, 3e-7f, 1e6f, std::numeric_limits<float>::quiet_NaN());
    put_link(a, p, q, 50);
    put_link(a, r, p, 0.1f);
    put_tension(a, p, q, r, 359.99f, 3000);
    put_tension(a, r, p, q, 0, -0.1f);
    bytes first = figure_bytes(a);

    figure b;
    figure_records got = read_all(first);
    ASSERT_EQ(got.balls.size(), 3u);
    ASSERT_EQ(got.links.size(), 2u);
    ASSERT_EQ(got.tensions.size(), 2u);
    for (auto& x : got.balls) b.balls.add_last(x);
    for (auto& x : got.links) b.links.add_last(x);
    for (auto& x : got.tensions) b.tensions.add_last(x);
    EXPECT_EQ(got.links[1]->end_a, got.balls[2]);
    EXPECT_EQ(got.tensions[0]->vertex, got.balls[1]);
    EXPECT_EQ(got.balls[1]->old_y, got.balls[1]->y);
    EXPECT_EQ(figure_bytes(b), first);
}

TEST(DocumentFormat, AnyHeaderButOnlyExactMarkers) {
    for (std::string header : {"1", "2", "", "anything"}) {
        EXPECT_EQ(read_all(doc(header).ball(1, 1, 5, 6).data).balls.size(), 1u) << header;
    }
    // a marker with a trailing space, or in other case, is a line to skip;
    // the fields after it are read as lines and skipped too
    doc d;
    d.line("New Ball ").i(0x41414141).i(0x41414141).line("new ball").ball(1, 1, 7, 8).line("x");
    figure_records got = read_all(d.data);
    ASSERT_EQ(got.balls.size(), 1u);
    EXPECT_EQ(got.balls[0]->x, 7);
}

TEST(DocumentFormat, RecordsResolveAgainstBallsAlreadyRead) {
    figure a;
    auto old_ball = put_ball(a, 0, 0);  // number 1, already in the figure
    doc d;
    d.link(1, 2, 5).ball(1, 1, 5, 5).ball(1, 1, 6, 6).ball(2, 1, 7, 7);  // file numbers shift by the base 1
    d.link(1, 2, 9).link(0, 7, 9).link(0, 1, 3).tension(0, 1, 2, 90, 1).tension(1, 2, 4, 180, 1);
    figure_records got = read_all(d.data, 1, {{1, old_ball}});
    ASSERT_EQ(got.balls.size(), 3u);
    EXPECT_EQ(got.balls[2]->number, 3);
    ASSERT_EQ(got.links.size(), 2u);  // the early link and the one naming 7 are dropped
    EXPECT_EQ(got.links[0]->end_a, got.balls[1]);  // the later ball with the same number wins
    EXPECT_EQ(got.links[1]->end_a, old_ball);
    ASSERT_EQ(got.tensions.size(), 1u);
    EXPECT_EQ(got.tensions[0]->rest_angle, 90);
}

TEST(DocumentFormat, ValuesThatCannotStandAreRepairedOrDropped) {
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    doc d;
    d.ball(1, nan, 0, 0).ball(2, 0, 1, 0).ball(3, -4, 2, 0).ball(4, inf, 3, 0).ball(5, 1, nan, 0).ball(6, 1, 0, -inf);
    d.ball(7, 1e30f, 1e30f, -1e30f).link(1, 5, 3).link(1, 2, nan).link(1, 2, 1e30f, nan);
    d.tension(1, 2, 6, 180, 1).tension(1, 2, 3, inf, 1).tension(1, 2, 3, 1e30f, nan);
    figure_records got = read_all(d.data);
    ASSERT_EQ(got.balls.size(), 5u);  // the two with a position that is not finite are gone
    EXPECT_EQ(count_balls(*memory_stream(std::make_shared<bytes>(d.data))), 5u);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(got.balls[i]->mass, 1.0f) << "ball " << i;
    EXPECT_EQ(got.balls[4]->mass, 1e30f);  // huge but finite values stay
    EXPECT_EQ(got.balls[4]->y, -1e30f);
    ASSERT_EQ(got.links.size(), 1u);
    EXPECT_EQ(got.links[0]->rest_length, 1e30f);
    ASSERT_EQ(got.tensions.size(), 1u);
    EXPECT_EQ(got.tensions[0]->rest_angle, 1e30f);
}

TEST(DocumentFormat, CutRecordsAreDroppedAndReadErrorsFailTheRead) {
    bytes full = doc().ball(1, 1, 0, 0).ball(2, 1, 5, 0).link(1, 2, 5).data;
    for (std::size_t cut = 1; cut <= 30; ++cut) {  // into the link's fields and its marker's line end
        figure_records got = read_all(bytes(full.begin(), full.end() - static_cast<std::ptrdiff_t>(cut)));
        EXPECT_EQ(got.balls.size(), 2u);
        EXPECT_EQ(got.links.size(), 0u) << "cut " << cut;
    }
    bytes with_tension = doc().ball(1, 1, 0, 0).ball(2, 1, 5, 0).ball(3, 1, 5, 5).tension(1, 2, 3, 90, 1).data;
    for (std::size_t cut = 1; cut <= 33; ++cut) {  // into the tension's fields and its marker
        figure_records got = read_all(bytes(with_tension.begin(), with_tension.end() - static_cast<std::ptrdiff_t>(cut)));
        EXPECT_EQ(got.balls.size(), 3u);
        EXPECT_EQ(got.tensions.size(), 0u) << "cut " << cut;
    }
    EXPECT_EQ(read_all(bytes(full.begin(), full.end() - 39)).balls.size(), 1u);

    figure_records records;
    EXPECT_EQ(read_figure(*memory_stream(std::make_shared<bytes>(full), 50), 0, {}, records), read_outcome::failed);
}

TEST(DocumentFormat, GarbageLoadsOnlySoundRecords) {
    std::uint32_t state = 12345;
    auto next = [&] { return state = state * 1103515245u + 12345u; };
    const char* markers[] = {"New Ball", "New Link", "New Tension"};
    for (int round = 0; round < 300; ++round) {
        doc d;
        for (int piece = next() % 40; piece > 0; --piece) {
            std::uint32_t pick = next() % 5;
            if (pick < 3) d.line(markers[pick]);
            else d.i(static_cast<std::int32_t>(pick == 3 ? next() % 6 : next()));
        }
        figure_records got = read_all(d.data);
        // counted without building, exactly as many as are read
        EXPECT_EQ(count_balls(*memory_stream(std::make_shared<bytes>(d.data))), got.balls.size());
        for (auto& b : got.balls) EXPECT_TRUE(std::isfinite(b->x + b->y) && std::isfinite(b->mass) && b->mass > 0);
        for (auto& l : got.links) EXPECT_TRUE(l->end_a && l->end_b && std::isfinite(l->rest_length));
        for (auto& t : got.tensions) EXPECT_TRUE(t->end_a && t->vertex && t->end_b && std::isfinite(t->rest_angle));
    }
}

}  // namespace flopkin
