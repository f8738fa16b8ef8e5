#include "platform/recovery/recovery_files.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <filesystem>
#include <utility>

#include "platform/files/file_system.hpp"

namespace flopkin {

namespace {

// every folder on the way to `folder`, the missing ones created
bool create_folders(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        if (!create_folder(folder.substr(0, slash))) return false;
        if (slash == std::string::npos) return true;
    }
}

// the file opened and locked, or -1 when another run holds it (or it is gone)
int lock_file(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

recovery_files::recovery_files(std::string folder, std::string name)
    : folder_(std::move(folder)), path_(folder_ + "/" + std::move(name)) {}

recovery_files::~recovery_files() {
    {
        std::lock_guard<std::mutex> hold(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    if (worker_.joinable()) worker_.join();
    if (lock_ >= 0) ::close(lock_);
}

std::string recovery_files::default_folder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/') return std::string(state) + "/flopkin/unsaved";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return std::string(home) + "/.local/state/flopkin/unsaved";
    return "";
}

std::string recovery_files::run_name() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char when[32];
    std::strftime(when, sizeof when, "%Y-%m-%d-%H%M%S", &local);
    return std::string(when) + "-" + std::to_string(::getpid()) + ".fkn";
}

// A file is a run's that has ended when its lock can be taken: process ids
// are reused, and a home folder may be shared between machines.
std::vector<earlier_figure> recovery_files::earlier_figures() {
    struct found {
        struct timespec written;
        std::string path;
        int fd;
    };
    std::vector<found> ended;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder_, ec)) {
        std::string path = entry.path().string();
        if (path == path_ || entry.path().extension() != ".fkn" || !entry.is_regular_file(ec)) continue;
        int fd = lock_file(path);
        if (fd < 0) continue;
        // a run that replaced its file meanwhile holds the new one
        struct stat held {}, named {};
        if (::fstat(fd, &held) != 0 || ::lstat(path.c_str(), &named) != 0 || held.st_ino != named.st_ino) {
            ::close(fd);
            continue;
        }
        ended.push_back({held.st_mtim, path, fd});
    }
    auto newer = [](const found& x, const found& y) {
        return x.written.tv_sec != y.written.tv_sec ? x.written.tv_sec > y.written.tv_sec
                                                    : x.written.tv_nsec > y.written.tv_nsec;
    };
    std::sort(ended.begin(), ended.end(), newer);
    std::vector<earlier_figure> kept;
    for (std::size_t i = 0; i < ended.size(); ++i) {
        if (i < recovery_kept_runs)
            kept.push_back({ended[i].path, ended[i].written.tv_sec});
        else
            ::unlink(ended[i].path.c_str());
        ::close(ended[i].fd);
    }
    return kept;
}

void recovery_files::keep(std::function<void(stream&)> fill) { hand_over(std::move(fill), false); }

void recovery_files::discard() { hand_over(nullptr, true); }

// the newest job replaces one still waiting
void recovery_files::hand_over(std::function<void(stream&)> fill, bool discard) {
    {
        std::lock_guard<std::mutex> hold(mutex_);
        pending_ = std::move(fill);
        discard_pending_ = discard;
        waiting_ = true;
    }
    if (!worker_.joinable()) worker_ = std::thread([this] { work(); });
    changed_.notify_all();
}

bool recovery_files::settle(std::string& why) {
    std::unique_lock<std::mutex> hold(mutex_);
    changed_.wait(hold, [this] { return !waiting_ && !busy_; });
    why = failure_;
    return failure_.empty();
}

std::string recovery_files::failure() {
    std::lock_guard<std::mutex> hold(mutex_);
    return failure_;
}

void recovery_files::work() {
    std::unique_lock<std::mutex> hold(mutex_);
    while (true) {
        changed_.wait(hold, [this] { return waiting_ || stopping_; });
        if (!waiting_) return;
        std::function<void(stream&)> fill = std::move(pending_);
        bool discard = discard_pending_;
        waiting_ = false;
        busy_ = true;
        hold.unlock();
        // a figure too big for the memory left is lost, not the program
        try {
            if (discard)
                remove();
            else
                write(fill);
        } catch (const std::exception& e) {
            std::lock_guard<std::mutex> failed(mutex_);
            failure_ = e.what();
        }
        hold.lock();
        busy_ = false;
        changed_.notify_all();
    }
}

// The fresh file is locked before it takes the name, and the old one let go
// only after, so the name always stands for a locked file.
void recovery_files::write(const std::function<void(stream&)>& fill) {
    std::string why = "its folder cannot be created";
    int fresh_lock = -1;
    bool written = create_folders(folder_) &&
                   replace_file(path_, fill, why, [&](const std::string& fresh) { fresh_lock = lock_file(fresh); });
    if (written) {
        if (lock_ >= 0) ::close(lock_);
        lock_ = fresh_lock;
    } else if (fresh_lock >= 0) {
        ::close(fresh_lock);
    }
    std::lock_guard<std::mutex> hold(mutex_);
    failure_ = written ? "" : why;
}

void recovery_files::remove() {
    ::unlink(path_.c_str());
    if (lock_ >= 0) ::close(lock_);
    lock_ = -1;
    std::lock_guard<std::mutex> hold(mutex_);
    failure_.clear();
}

}  // namespace flopkin
