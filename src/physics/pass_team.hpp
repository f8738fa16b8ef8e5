#pragma once
// A few threads that share the relaxation passes, a part each. The caller
// takes part and returns only when every part is done, so the frame loop's
// thread stays the one that waits; the others only ever run parts of the
// arrays they are handed, never the lists.
#include <atomic>
#include <thread>
#include <vector>

namespace flopkin {

class pass_team {
public:
    // one part of a job: part of parts; context is the caller's
    using job = void (*)(void* context, int part, int parts);

    // `members` threads in all, the caller counted (so members - 1 are made)
    explicit pass_team(int members);
    ~pass_team();
    pass_team(const pass_team&) = delete;
    pass_team& operator=(const pass_team&) = delete;

    int members() const { return static_cast<int>(threads_.size()) + 1; }
    // runs every part of the job, part 0 on the caller's thread
    void run(job work, void* context);

private:
    void serve(int part);

    std::vector<std::thread> threads_;
    job work_ = nullptr;
    void* context_ = nullptr;
    std::atomic<unsigned> round_{0};
    std::atomic<int> busy_{0};
    std::atomic<bool> closing_{false};
};

// the members a team should have here: one per core, at least one
int cores_for_passes();

}  // namespace flopkin
