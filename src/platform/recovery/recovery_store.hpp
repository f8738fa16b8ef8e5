#pragma once
// Where a run keeps the figure that would be lost if it ended now: the
// recovery figure. The app decides when the figure is worth keeping and
// hands over a writer of it; the store decides where and how it is kept (the
// desktop in one file per run, written on a thread of its own).
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/files/stream.hpp"

namespace flopkin {

// Of the figures of runs that have ended, the newest recovery_kept_runs are
// kept, and start-up names recovery_named_runs of them. A change is kept once
// the figure has been still for recovery_quiet_ms, and at the latest
// recovery_longest_ms after the first change not kept while changes go on.
inline constexpr std::size_t recovery_kept_runs = 20;
inline constexpr std::size_t recovery_named_runs = 3;
inline constexpr int recovery_quiet_ms = 1000;
inline constexpr int recovery_longest_ms = 30000;

// a figure kept by a run that has ended: where it is found again, and when it was kept
struct earlier_figure {
    std::string path;
    std::time_t kept_at = 0;
};

class recovery_store {
public:
    virtual ~recovery_store() = default;

    // the figures kept by runs that have ended, newest first, each ready to
    // be read at its path
    virtual std::vector<earlier_figure> earlier_figures() = 0;
    // keeps what `fill` writes as this run's figure, in place of the one kept
    // before. Returns at once: `fill` may run later and on another thread, so
    // it owns everything it reads; one handed over before the last was
    // written may be skipped.
    virtual void keep(std::function<void(stream&)> fill) = 0;
    // the figure has changed since it was last handed over (the page asks
    // before it is left with such a change not yet kept)
    virtual void changed() {}
    // this run's figure is safe elsewhere: whatever was kept for it goes
    virtual void discard() = 0;
    // an ended run's figure at `path`, as earlier_figures gave it, is saved
    // as a document now: it is no longer kept
    virtual void forget(const std::string& path) {
        std::error_code ignored;
        if (holds(path)) std::filesystem::remove(path, ignored);
    }
    // waits until the last keep or discard is done; false with the reason
    // when the last figure could not be kept
    virtual bool settle(std::string& why) = 0;
    // without waiting: why the last figure handed over could not be kept, as
    // far as is known yet; "" when it was, or is still on its way
    virtual std::string failure() = 0;
    // where this run's figure is kept, as the user finds it
    virtual std::string place() const = 0;
    // the folder of every run's figure, as the program reads and writes files
    virtual std::string folder() const = 0;
    // whether the earlier figures are named on stderr as well (the page's
    // console is no place the user looks: Open lists them)
    virtual bool named_on_stderr() const { return true; }

    // whether the path is in the folder of the runs' figures, where no
    // document is ever kept: a run's figures there are pruned
    bool holds(const std::string& path) const {
        std::error_code ec;
        auto real = [&](const std::filesystem::path& p) {
            std::filesystem::path whole = std::filesystem::absolute(p, ec).lexically_normal();
            std::filesystem::path resolved = std::filesystem::weakly_canonical(whole, ec);
            return ec ? whole : resolved;
        };
        return !path.empty() && real(std::filesystem::absolute(path, ec).parent_path()) == real(folder());
    }
};

// the time of day in the user's zone, as 14:03:07
inline std::string clock_time(std::time_t at) {
    std::tm local{};
    localtime_r(&at, &local);
    char text[16];
    std::strftime(text, sizeof text, "%H:%M:%S", &local);
    return text;
}

}  // namespace flopkin
