#include "physics/pass_team.hpp"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <limits>

#if defined(__linux__)
#include <fcntl.h>
#include <unistd.h>
#endif

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace flopkin {

namespace {

inline void pause() {
#if defined(__x86_64__)
    _mm_pause();
#endif
}

double seconds_now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// how long this thread has had a core
double seconds_running() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// How long a waiting thread spins before it sleeps on the futex: about what
// the parts of a step take, so a team on an idle machine never sleeps within
// a frame, and one that waits longer (its partner has no core, or the frame
// is over) gives its core away.
constexpr double spin_seconds = 50e-6;

// waits until `value` is no longer `seen`; returns what it became
template <class T>
T wait_for_change(const std::atomic<T>& value, T seen) {
    T now = value.load(std::memory_order_acquire);
    double until = 0;
    for (int spin = 0; now == seen; now = value.load(std::memory_order_acquire), ++spin) {
        // the clock only now and then: it costs more than a pause
        if (spin % 64 == 0) {
            const double at = seconds_now();
            if (until == 0) until = at + spin_seconds;
            if (at > until) {
                value.wait(seen, std::memory_order_acquire);
                continue;
            }
        }
        pause();
    }
    return now;
}

constexpr std::uint64_t slot_word(std::uint32_t round, int next, int end) {
    return static_cast<std::uint64_t>(round) << 32 | static_cast<std::uint64_t>(next) << 16 |
           static_cast<std::uint64_t>(end);
}

}  // namespace

int cores_for_passes() {
    unsigned n = std::thread::hardware_concurrency();
    return n == 0 ? 1 : static_cast<int>(n);
}

namespace {

constexpr int cores_untold = std::numeric_limits<int>::max();

// The threads ready to run on the whole machine, this one counted, are the
// fourth field of the load line ("0.52 0.31 0.20 3/411 1234").
int machine_idle_cores() {
#if defined(__linux__)
    const int file = open("/proc/loadavg", O_RDONLY | O_CLOEXEC);
    if (file < 0) return cores_untold;
    char line[128];
    const ssize_t got = read(file, line, sizeof line - 1);
    close(file);
    if (got <= 0) return cores_untold;
    line[got] = 0;
    const char* field = line;
    for (int skip = 0; skip < 3 && field; ++skip)
        if ((field = std::strchr(field, ' '))) ++field;
    if (!field) return cores_untold;
    const long running = std::strtol(field, nullptr, 10);
    return running >= 1 ? static_cast<int>(std::max(cores_for_passes() - running, 0L)) : 0;
#else
    return cores_untold;
#endif
}

}  // namespace

int (*idle_cores)() = machine_idle_cores;
double (*pass_wall_clock)() = seconds_now;
double (*pass_cpu_clock)() = seconds_running;

// --- the watch

void team_watch::restart() { *this = team_watch{}; }

void team_watch::share() {
    state_ = state::trial;
    tried_ = true;
    trial_left_ = trial_passes;
    trial_sum_ = 0;
}

void team_watch::put_off() {
    state_ = state::alone;
    trial_left_ = 0;
    until_change_ = wait_;
}

// a losing team is tried again later, each time twice as late
void team_watch::go_alone() {
    state_ = state::alone;
    trial_left_ = 0;
    shared_ = 0;
    until_change_ = wait_;
    wait_ = std::min(wait_ * 2, longest_wait);
}

void team_watch::passed(double seconds, double running) {
    switch (state_) {
        case state::alone:
        case state::check: return alone_passed(seconds, running);
        case state::trial: return trial_passed(seconds);
        case state::shared: return shared_passed(seconds);
    }
}

void team_watch::alone_passed(double seconds, double running) {
    alone_ = alone_ == 0 ? seconds : alone_ + (seconds - alone_) / quick_mean;
    spent_ += (seconds - spent_) / slow_mean;
    off_core_ += (std::max(seconds - running, 0.0) - off_core_) / slow_mean;
    if (--until_change_ > 0) return;
    if (state_ == state::check) return check_ended();
    // After the first trial, a thread alone that waits for a core means
    // other work shares the cores already: a member would wait too, and one
    // stopped within its part holds the step up.
    if (tried_ && off_core_ > busy_machine * spent_) return put_off();
    share();
}

// back to the team while it still wins, and a team that keeps winning is
// tried again sooner when it loses
void team_watch::check_ended() {
    if (shared_ > alone_) return go_alone();
    state_ = state::shared;
    until_change_ = check_every;
    wait_ = std::max(wait_ / 2, first_wait);
}

void team_watch::trial_passed(double seconds) {
    --trial_left_;
    // a pass this slow loses whatever the others do
    if (seconds > hopeless_trial * alone_) return go_alone();
    if (trial_left_ < trial_passes - 1) trial_sum_ += seconds;
    if (trial_left_ > 0) return;
    // a trial wins clearly or not at all: times on a busy machine vary
    shared_ = trial_sum_ / (trial_passes - 1);
    if (shared_ >= clear_win * alone_) return go_alone();
    state_ = state::shared;
    until_change_ = check_every;
}

// A pass held up by a moment's hiccup of the machine moves the mean only so
// far; slow passes that come within a frame of each other, as when a member
// keeps losing its core to other work, count in full.
void team_watch::shared_passed(double seconds) {
    const bool slow = seconds > hiccup_factor * shared_;
    const bool hiccup = slow && since_slow_ >= hiccup_spacing;
    shared_ += ((hiccup ? hiccup_factor * shared_ : seconds) - shared_) / quick_mean;
    since_slow_ = slow ? 0 : since_slow_ + 1;
    if (shared_ > alone_) return go_alone();
    if (--until_change_ > 0) return;
    // a check: a few passes alone, then back to the team if it still wins
    state_ = state::check;
    until_change_ = check_passes;
}

// --- the team

pass_team::pass_team(int members, bool sizes_itself)
    : members_(std::max(members, 1)),
      parts_(members_ == 1 ? 1 : members_ * parts_per_member),
      sizes_itself_(sizes_itself && members_ > 1),
      slots_(std::make_unique<share_slot[]>(static_cast<std::size_t>(members_))) {}

void pass_team::start_members() {
    for (int member = 1; member < members_; ++member) threads_.emplace_back([this, member] { serve(member); });
}

pass_team::~pass_team() {
    closing_.store(true);
    round_.fetch_add(1, std::memory_order_release);
    round_.notify_all();
    for (std::thread& t : threads_) t.join();
}

void pass_team::run(job work, void* context) {
    if (members_ == 1 || (sizes_itself_ && !watch_.sharing())) {
        for (int part = 0; part < parts_; ++part) work(context, part);
        return;
    }
    if (threads_.empty()) start_members();
    work_ = work;
    context_ = context;
    const std::uint32_t round = round_.load(std::memory_order_relaxed) + 1;
    done_.store(0, std::memory_order_relaxed);
    for (int m = 0; m < members_; ++m)
        slots_[m].parts.store(slot_word(round, m * parts_per_member, (m + 1) * parts_per_member),
                              std::memory_order_relaxed);
    round_.store(round, std::memory_order_release);
    round_.notify_all();
    const int mine = work_through(0, round);
    int done = done_.fetch_add(mine, std::memory_order_acq_rel) + mine;
    while (done != parts_) done = wait_for_change(done_, done);
}

int pass_team::claim(int owner, std::uint32_t round, bool own) {
    std::atomic<std::uint64_t>& word = slots_[owner].parts;
    std::uint64_t w = word.load(std::memory_order_acquire);
    for (;;) {
        const int next = static_cast<int>(w >> 16 & 0xffff), end = static_cast<int>(w & 0xffff);
        if (static_cast<std::uint32_t>(w >> 32) != round || next >= end) return -1;
        const std::uint64_t taken = own ? w + (std::uint64_t{1} << 16) : w - 1;
        if (word.compare_exchange_weak(w, taken, std::memory_order_acq_rel, std::memory_order_acquire))
            return own ? next : end - 1;
    }
}

// The job is read only once a part is claimed: until that part is done the
// caller cannot have moved on to another job.
int pass_team::work_through(int member, std::uint32_t round) {
    int count = 0;
    for (int part; (part = claim(member, round, true)) >= 0; ++count) work_(context_, part);
    for (int k = 1; k < members_; ++k)
        for (int part; (part = claim((member + k) % members_, round, false)) >= 0; ++count) work_(context_, part);
    return count;
}

void pass_team::serve(int member) {
    std::uint32_t seen = 0;
    for (;;) {
        seen = wait_for_change(round_, seen);
        if (closing_.load()) return;
        const int count = work_through(member, seen);
        if (count > 0 && done_.fetch_add(count, std::memory_order_acq_rel) + count == parts_) done_.notify_one();
    }
}

// --- timing the passes

bool pass_team::pass_begins() {
    if (!sizes_itself_) return members_ > 1;
    pass_started_ = pass_wall_clock();
    if (!watch_.sharing() && unread_passes_ == 0) running_started_ = pass_cpu_clock();
    return watch_.sharing();
}

void pass_team::pass_ends() {
    if (!sizes_itself_) return;
    const double seconds = pass_wall_clock() - pass_started_;
    double running = seconds;
    if (watch_.sharing()) {
        unread_passes_ = 0;
        unread_seconds_ = 0;
    } else if (unread_seconds_ += seconds; ++unread_passes_ == passes_per_reading) {
        // the time these passes waited for a core, counted with the last
        const double waited = std::max(unread_seconds_ - (pass_cpu_clock() - running_started_), 0.0);
        running = seconds - waited;
        unread_passes_ = 0;
        unread_seconds_ = 0;
    }
    watch_.passed(seconds, running);
    // A member that must share its core with other work loses the trial,
    // and the caller, waiting for it, gives its own core to that work.
    if (watch_.trial_begins() && idle_cores() < members_ - 1) watch_.put_off();
}

}  // namespace flopkin
