#pragma once
// The desktop's recovery store: one file per run in the user's state folder,
// named from the run's start time and process id, held with a lock while the
// run lives and written by the safe save on a thread of its own, so that no
// frame waits for the disk.
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/recovery/recovery_store.hpp"

namespace flopkin {

class recovery_files : public recovery_store {
public:
    // `folder` holds every run's file; `name` is this run's
    recovery_files(std::string folder, std::string name);
    // the last figure handed over is written before the run lets go of it
    ~recovery_files() override;
    recovery_files(const recovery_files&) = delete;
    recovery_files& operator=(const recovery_files&) = delete;

    // $XDG_STATE_HOME/flopkin/unsaved, or below ~/.local/state when that is
    // unset, empty or not absolute; "" when there is no home either
    static std::string default_folder();
    // this run's name: its start time and process id
    static std::string run_name();

    // the files no run holds, newest first; all but the newest
    // recovery_kept_runs of them are removed on the way
    std::vector<earlier_figure> earlier_figures() override;
    void keep(std::function<void(stream&)> fill) override;
    void discard() override;
    bool settle(std::string& why) override;
    std::string failure() override;
    std::string place() const override { return path_; }
    std::string folder() const override { return folder_; }

private:
    void hand_over(std::function<void(stream&)> fill, bool discard);
    void work();
    void write(const std::function<void(stream&)>& fill);
    void remove();

    std::string folder_, path_;
    std::mutex mutex_;
    std::condition_variable changed_;
    // the one job waiting: a figure to write, or the file to remove
    std::function<void(stream&)> pending_;
    bool discard_pending_ = false;
    bool waiting_ = false, busy_ = false, stopping_ = false;
    std::string failure_;  // why the last figure could not be written; "" when it was
    int lock_ = -1;        // the run's own file, held locked while it exists
    std::thread worker_;
};

}  // namespace flopkin
