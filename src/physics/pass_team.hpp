#pragma once
// A few threads that share the relaxation passes. Each step of a pass is cut
// into parts, several per member; every member starts on parts of its own
// and then takes what is left of the others', so a member the machine keeps
// waiting only gives its parts away instead of holding the step up. The
// caller takes part and returns only when every part is done, so the frame
// loop's thread stays the one that waits; the others only ever run parts of
// the arrays they are handed, never the lists.
//
// On a busy machine a team can be slower than one thread: a member without
// a core keeps the others waiting at every meeting. So a team that sizes
// itself times its passes, shared and alone, and runs them alone while
// sharing loses, trying the team again later.
#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

namespace flopkin {

// Whether the next pass is shared, from how long passes took each way.
// Plain bookkeeping on the caller's thread; times in seconds.
class team_watch {
public:
    bool sharing() const { return state_ == state::trial || state_ == state::shared; }
    // a pass ran, shared or alone, in `seconds`; `seconds - running` is how
    // long the thread that ran it alone waited for a core, in it or in the
    // passes alone before it that were not yet counted (a shared pass: 0)
    void passed(double seconds, double running);
    // whether the next pass is the first of a trial of the team
    bool trial_begins() const { return state_ == state::trial && trial_left_ == trial_passes; }
    // no trial now: other work holds the cores; the next is as far off as
    // the wait of a losing team
    void put_off();
    // starts over, for a figure of another size: two passes alone first,
    // which every later trial of the team is held against
    void restart();

    // passes between trials of a losing team: from a frame and a half up to
    // 96 frames, doubling while the team loses and halving while it wins
    static constexpr int first_wait = 45, longest_wait = 45 << 6;
    // a sharing team runs this many passes alone now and then, so that it
    // knows what it is held against as the machine's load changes
    static constexpr int check_every = 480, check_passes = 2;
    // passes of a trial; the first pays for waking the members and is not judged
    static constexpr int trial_passes = 4;
    // no trial while passes alone wait for a core this share of their time
    static constexpr double busy_machine = 0.1;
    // a shared pass twice the mean counts as a hiccup of the machine when
    // the last such pass is at least this many passes back
    static constexpr int hiccup_spacing = 30;
    // a pass of a trial this many times the mean alone loses the trial at once
    static constexpr double hopeless_trial = 1.5;
    // a trial wins only when its mean is below this share of the mean alone
    static constexpr double clear_win = 0.85;
    // the running means take this share of each new pass: the mean alone
    // and the shared one quickly, the machine's load slowly
    static constexpr double quick_mean = 4, slow_mean = 32;
    // a hiccup counts as a pass this many times the shared mean
    static constexpr double hiccup_factor = 2;

private:
    // alone: passes alone, no team yet or a losing one, until the next
    // trial; trial: the team tried for trial_passes; shared: a winning team;
    // check: a winning team's few passes alone
    enum class state { alone, trial, shared, check };
    void alone_passed(double seconds, double running);
    void trial_passed(double seconds);
    void shared_passed(double seconds);
    void check_ended();
    void share();
    void go_alone();

    state state_ = state::alone;
    bool tried_ = false;
    int since_slow_ = hiccup_spacing;  // shared passes since one twice the mean
    double alone_ = 0, shared_ = 0;  // a running mean of each
    // slow running means of how long passes alone took and how much of it
    // they waited for a core: other work on the machine, measured as such
    // (how long a pass takes varies too much on a shared machine to tell).
    // Times, not each pass's share: a thread that loses its core loses it
    // for a whole slice of the machine's time, within one pass in twenty.
    double spent_ = 0, off_core_ = 0;
    int until_change_ = 2;           // passes before the next trial or check
    int trial_left_ = 0;             // passes left of a trial of the team
    double trial_sum_ = 0;
    int wait_ = first_wait;
};

class pass_team {
public:
    // one part of a job; context is the caller's
    using job = void (*)(void* context, int part);

    // `members` threads in all, the caller counted (so members - 1 are made).
    // A team that sizes itself shares only the passes its watch lets it.
    pass_team(int members, bool sizes_itself);
    ~pass_team();
    pass_team(const pass_team&) = delete;
    pass_team& operator=(const pass_team&) = delete;

    int members() const { return members_; }
    // the parts each job is cut into, the same whether shared or not
    int parts() const { return parts_; }
    // runs every part of the job, in order on the caller's thread when the
    // pass is not shared
    void run(job work, void* context);

    // around each pass, so that a team that sizes itself can time it;
    // whether the pass is shared
    bool pass_begins();
    void pass_ends();
    bool sizes_itself() const { return sizes_itself_; }
    // passes of another figure take another time: the watch starts over
    void figure_changed() { watch_.restart(); }

    // many parts per member, so that those left by a slow member spread and
    // the members end a step within a small part of each other (with 4, the
    // first to end waited a tenth of each step on the 20,000-ball mesh)
    static constexpr int parts_per_member = 16;

    // Passes alone are timed on the thread's own CPU clock once per this
    // many: each reading makes the scheduler settle the thread's share on
    // the spot, and read at every pass beside other work it took the core
    // from the frame loop's thread twice as often as from one thread alone.
    static constexpr int passes_per_reading = 30;

private:
    // the members but the caller, started when the team first shares a
    // pass: a process with a thread of its own pays for it in every frame
    // (each shared reference to a ball counts its holders with atomic
    // instructions from then on), so a team that never shares never has one
    void start_members();
    void serve(int member);
    // runs the parts of the round it can claim: its own from the front, then
    // the others' from the back; returns how many
    int work_through(int member, std::uint32_t round);
    int claim(int owner, std::uint32_t round, bool own);

    // one member's parts of the round: round << 32 | next << 16 | end
    struct alignas(64) share_slot {
        std::atomic<std::uint64_t> parts{0};
    };

    const int members_, parts_;
    const bool sizes_itself_;
    std::unique_ptr<share_slot[]> slots_;
    std::vector<std::thread> threads_;
    job work_ = nullptr;
    void* context_ = nullptr;
    alignas(64) std::atomic<std::uint32_t> round_{0};
    alignas(64) std::atomic<int> done_{0};
    std::atomic<bool> closing_{false};

    team_watch watch_;
    double pass_started_ = 0, running_started_ = 0;
    // the passes alone since the CPU clock was read, and their time
    int unread_passes_ = 0;
    double unread_seconds_ = 0;
};

// the members a team should have here: one per core, at least one
int cores_for_passes();

// How many cores besides the caller's have nothing else to run now (as many
// as could be asked for where the machine does not tell), and the clocks a
// team times its passes by, the wall's and its thread's own CPU time, in
// seconds; a test puts in a machine and clocks of its own.
extern int (*idle_cores)();
extern double (*pass_wall_clock)();
extern double (*pass_cpu_clock)();

}  // namespace flopkin
