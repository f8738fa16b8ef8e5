#pragma once
// Where a run keeps the figure that would be lost if it ended now: the
// recovery figure. The app decides when the figure is worth keeping and
// hands over a writer of it; the store decides where and how it is kept (the
// desktop in one file per run, written on a thread of its own).
#include <functional>
#include <string>
#include <vector>

#include "platform/stream.hpp"

namespace flopkin {

class recovery_store {
public:
    virtual ~recovery_store() = default;

    // the figures kept by runs that have ended, newest first, as the user
    // finds them again (paths on the desktop)
    virtual std::vector<std::string> earlier_figures() = 0;
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
    // waits until the last keep or discard is done; false with the reason
    // when the last figure could not be kept
    virtual bool settle(std::string& why) = 0;
    // where this run's figure is kept, as the user finds it
    virtual std::string place() const = 0;
};

}  // namespace flopkin
