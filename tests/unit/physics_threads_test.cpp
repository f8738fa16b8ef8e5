// The relaxation shared by several threads, and built for each vector width
// the processor runs, moves a figure exactly as one plain thread does.
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <random>
#include <vector>

#include "physics/pass_team.hpp"
#include "sample_figures.hpp"
#include "physics_fixture.hpp"
#include "physics/relaxation.hpp"

namespace flopkin {
namespace {

struct setup {
    int threads;  // 0: the team sizes itself
    vector_width width;
    bool big = false;  // enough balls for a team of its own
    bool collide = false;  // and a second crowd through the first, colliding
};

class sharing_test : public figure_test {
protected:
    // every bit of every ball's state after a run of frames
    std::vector<std::uint32_t> run(const setup& s) {
        fig.clear();
        mode = figure_mode::play;
        view = view_fields{};
        view.view_left = -400;
        view.view_right = 1600;
        fit_view(view);
        fig.relax->use_threads(s.threads);
        fig.relax->use_vector_width(s.width);
        // more tensions than one block holds, and balls split unevenly
        add_mesh(fig, s.big ? 50 : 23, s.big ? 45 : 19, 0, 0);
        add_crowd(fig, 13, 5, 800, 100);
        std::mt19937 random(5);
        std::uniform_real_distribution<float> jiggle(-4, 4);
        for (std::size_t i = 0; i < fig.balls.slot_count(); ++i) {
            ball& b = *fig.balls.slot(i);
            b.x += jiggle(random);
            b.vx = jiggle(random);
            b.mass = 1 + std::abs(jiggle(random));
        }
        put_star(1300, 500, 24, 60);
        put_odd_joints(30, 31);
        // joints the fast loop hands to the slow one: coincident balls and a
        // rest angle many turns over
        ball_ref p = put_ball(1200, 300), v = put_ball(1200, 300), q = put_ball(1250, 330);
        put_link(p, q, 40);
        put_tension(p, v, q, 90, 30);
        put_tension(q, p, v, 7200.5f, 30);
        if (s.collide) add_crowd(fig, 13, 5, 812, 110);
        label_figures(fig);
        contacts.collide = s.collide;
        for (int frame = 0; frame < 20; ++frame) step();
        mode = figure_mode::draw;
        for (int frame = 0; frame < 5; ++frame) step();

        std::vector<std::uint32_t> bits;
        for (std::size_t i = 0; i < fig.balls.slot_count(); ++i) {
            const ball& b = *fig.balls.slot(i);
            for (float f : {b.x, b.y, b.vx, b.vy, b.shift_x, b.shift_y}) {
                std::uint32_t u;
                std::memcpy(&u, &f, sizeof u);
                bits.push_back(u);
            }
        }
        return bits;
    }
};

TEST_F(sharing_test, EveryThreadCountAndVectorWidthGivesTheSameFigure) {
    for (bool collide : {false, true}) {
        std::vector<std::uint32_t> plain = run({1, vector_width::base, false, collide});
        ASSERT_EQ(plain.size(), 6u * (collide ? 621 : 543));
        for (vector_width width : usable_vector_widths()) {
            for (int threads : {1, 2, 3}) {
                EXPECT_EQ(run({threads, width, false, collide}), plain)
                    << threads << " threads, width " << static_cast<int>(width) << (collide ? ", colliding" : "");
            }
        }
    }
}

// the threads of this process, where the system tells
std::ptrdiff_t threads_here() {
    std::error_code error;
    std::filesystem::directory_iterator tasks("/proc/self/task", error);
    return error ? 0 : std::distance(tasks, std::filesystem::directory_iterator{});
}

TEST_F(sharing_test, ATeamThatSizesItselfGivesTheSameFigureAsOneThread) {
    if (cores_for_passes() < 2) GTEST_SKIP() << "one core: no team";
    const vector_width width = usable_vector_widths().back();
    std::vector<std::uint32_t> plain = run({1, width, true});
    int (*machine)() = idle_cores;
    // other work holds the cores: the team is never tried, and has no
    // thread of its own to slow the frames run alone
    idle_cores = [] { return 0; };
    const std::ptrdiff_t threads = threads_here();
    EXPECT_EQ(run({0, width, true}), plain);
    const relaxation::team_frames& frames = fig.relax->frames_of_team();
    EXPECT_EQ(frames.alone, 25);
    EXPECT_EQ(threads_here(), threads);
    // idle cores: the first frame runs two passes alone, then tries the team
    idle_cores = [] { return cores_for_passes(); };
    EXPECT_EQ(run({0, width, true}), plain);
    idle_cores = machine;
    EXPECT_EQ(frames.shared + frames.alone + frames.changing, 50);
    EXPECT_GE(frames.changing, 1);
}

TEST_F(sharing_test, ListChangesReachEveryThread) {
    fig.relax->use_threads(2);
    add_mesh(fig, 10, 10, 100, 100);
    step();
    // a ball leaves, another comes with a stretched link: the shared passes
    // see the new figure on the next frame
    fig.remove(fig.balls.slot(37));
    ball_ref lone = put_ball(700, 100), partner = put_ball(800, 100);
    put_link(lone, partner, 50);
    mode = figure_mode::draw;
    step();
    EXPECT_NEAR(partner->x - lone->x, 50, 0.01);
    for (std::size_t i = 0; i < fig.balls.slot_count(); ++i) EXPECT_TRUE(std::isfinite(fig.balls.slot(i)->x));
}

// passes of `alone` seconds alone, with a core for `running` of them (all
// unless told), and `shared` shared; how many were shared
int watch_passes(team_watch& watch, int passes, double alone, double shared, double running = 0) {
    int shared_passes = 0;
    for (int k = 0; k < passes; ++k) {
        shared_passes += watch.sharing() ? 1 : 0;
        if (watch.sharing())
            watch.passed(shared, shared);
        else
            watch.passed(alone, running > 0 ? running : alone);
    }
    return shared_passes;
}

TEST(team_watch, KeepsAWinningTeamAndTriesALosingOneLessAndLessOften) {
    team_watch watch;
    EXPECT_EQ(watch_passes(watch, 2, 1.0, 0.6), 0);
    // a team that wins shares all but a few passes now and then, which
    // keep it measured against one thread
    const int won = watch_passes(watch, 4000, 1.0, 0.6);
    EXPECT_GT(won, 3950);
    EXPECT_LT(won, 4000);
    // the machine gets busy and the team loses: alone within two passes
    // (one may be a moment's hiccup), tried again less and less often, but
    // still tried within the longest wait
    EXPECT_EQ(watch_passes(watch, 2, 1.0, 3.0), 2);
    EXPECT_FALSE(watch.sharing());
    EXPECT_LE(watch_passes(watch, 6000, 1.0, 3.0), 10);
    EXPECT_GE(watch_passes(watch, 2 * team_watch::longest_wait + 2, 1.0, 3.0), 1);
    // other work takes the core from the thread alone as well: the team,
    // which would win the trial of a few passes, is not tried while that lasts
    EXPECT_LE(watch_passes(watch, 3 * team_watch::longest_wait, 2.0, 0.6, 1.0), team_watch::trial_passes);
    // the same when the thread alone loses its core for whole slices of the
    // machine's time, within one pass in twenty
    int slices_shared = 0;
    for (int k = 0; k < 3 * team_watch::longest_wait; ++k) {
        slices_shared += watch.sharing() ? 1 : 0;
        if (watch.sharing())
            watch.passed(0.6, 0.6);
        else
            watch.passed(k % 20 == 0 ? 20.0 : 1.0, 1.0);
    }
    EXPECT_LE(slices_shared, team_watch::trial_passes);
    // losing narrowly loses too, after a trial of a few passes
    EXPECT_LE(watch_passes(watch, 2 * team_watch::longest_wait + 2, 1.0, 1.05), 3 * team_watch::trial_passes);
    // the machine is idle again: the team is back within the longest wait
    watch_passes(watch, team_watch::longest_wait + team_watch::trial_passes, 1.0, 0.6);
    EXPECT_TRUE(watch.sharing());
    // the machine's hiccups hold a shared pass up now and then: the team
    // goes on sharing nearly every pass
    int hiccups_shared = 0;
    for (int k = 0; k < 4000; ++k) {
        const double pass = watch.sharing() ? (k % 50 == 0 ? 3.0 : 0.6) : 1.0;
        hiccups_shared += watch.sharing() ? 1 : 0;
        watch.passed(pass, pass);
    }
    EXPECT_GT(hiccups_shared, 3900);
    // a member that loses its core every few passes: the team goes alone
    for (int k = 0; k < 40 && watch.sharing(); ++k) watch.passed(k % 8 == 0 ? 3.0 : 0.6, 0);
    EXPECT_FALSE(watch.sharing());
}

// A team of three that sizes itself, on a machine and clocks of the test's
// own: its passes take what the test says, with the thread always on a core.
struct scripted_machine {
    static inline double now = 0;
    static inline int idle = 0;
    int (*machine)() = idle_cores;
    double (*wall)() = pass_wall_clock;
    double (*cpu)() = pass_cpu_clock;
    pass_team team{3, true};

    scripted_machine() {
        idle_cores = [] { return idle; };
        pass_wall_clock = pass_cpu_clock = [] { return now; };
    }
    ~scripted_machine() {
        idle_cores = machine;
        pass_wall_clock = wall;
        pass_cpu_clock = cpu;
    }
    // a pass of `alone` seconds, or of `together` when shared; whether it was
    bool pass(double alone, double together) {
        const bool shared = team.pass_begins();
        now += shared ? together : alone;
        team.pass_ends();
        return shared;
    }
};

TEST(team_watch, ATrialWaitsForItsIdleCoresAndItsWarmUpPassIsNotJudged) {
    scripted_machine m;
    // one core short of the two other members: never tried
    m.idle = 1;
    for (int k = 0; k < 4 * team_watch::first_wait; ++k) ASSERT_FALSE(m.pass(1.0, 0.5)) << k;
    // two idle: tried within the wait; the warm-up pass is slow, but the
    // three judged after it win
    m.idle = 2;
    int passes = 0;
    while (!m.pass(1.0, 1.4)) ASSERT_LE(++passes, team_watch::first_wait);
    for (int k = 0; k < team_watch::trial_passes - 1; ++k) ASSERT_TRUE(m.pass(1.0, 0.8));
    EXPECT_TRUE(m.pass(1.0, 0.8));
}

}  // namespace
}  // namespace flopkin
