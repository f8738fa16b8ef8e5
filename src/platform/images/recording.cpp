// The clip of --record: frames as they are shown, encoded into an animated
// GIF on a worker thread. At most a few frames wait for the worker, so memory
// stays bounded; when the worker falls behind, the frame loop waits for it
// rather than leave a frame out.
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/images/gif.hpp"
#include "platform/graphics.hpp"

namespace flopkin {
namespace {

constexpr std::size_t most_waiting = 3;

struct clip {
    std::string path;
    gif_writer writer;
    int every = 2;
    long long shown = 0, kept = 0;
    long long waits = 0;
    double waited_ms = 0;

    std::mutex lock;
    std::condition_variable changed;
    std::deque<std::pair<frame_image, int>> waiting;  // frames and their delays
    bool ending = false;
    std::string error;  // the first failure, after which frames are dropped unseen
    std::thread worker;

    void encode() {
        std::unique_lock<std::mutex> held(lock);
        for (;;) {
            changed.wait(held, [&] { return ending || !waiting.empty(); });
            if (waiting.empty()) return;
            auto [frame, delay] = std::move(waiting.front());
            bool healthy = error.empty();
            // the frame stays counted until it is encoded, so that at most
            // most_waiting frames and the one in hand are kept
            held.unlock();
            std::string why;
            bool ok = healthy && writer.add(frame, delay, why);
            held.lock();
            waiting.pop_front();
            if (!ok && error.empty()) error = why;
            changed.notify_all();
        }
    }
};

std::unique_ptr<clip> recording;

// A clip that cannot be finished is no clip: it goes, unless the path is no
// file of the run's own making (a pipe or a device written through)
void remove_unfinished(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) ::unlink(path.c_str());
}

// the kept frame's delay in hundredths of a second: the clip's time after
// each frame is rounded down, so that it keeps real time at 60 frames a second
int delay_of(long long kept, int every) {
    return static_cast<int>((kept + 1) * every * 100 / 60 - kept * every * 100 / 60);
}

}  // namespace

bool start_recording(const std::string& path, int every, int width, int height, std::string& why) {
    auto c = std::make_unique<clip>();
    c->path = path;
    c->every = every;
    if (!c->writer.open(path, width, height, why)) {
        std::string ignored;
        c->writer.close(ignored);
        remove_unfinished(path);
        return false;
    }
    keep_shown_frames();
    c->worker = std::thread([raw = c.get()] { raw->encode(); });
    recording = std::move(c);
    return true;
}

void record_shown_frame() {
    if (!recording) return;
    clip& c = *recording;
    if (c.shown++ % c.every != 0) return;
    frame_image frame;
    if (!current_backend().last_shown_frame(frame)) {
        std::lock_guard<std::mutex> held(c.lock);
        if (c.error.empty()) c.error = "a shown frame could not be read";
        return;
    }
    int delay = delay_of(c.kept++, c.every);
    std::unique_lock<std::mutex> held(c.lock);
    if (c.waiting.size() >= most_waiting) {
        auto began = std::chrono::steady_clock::now();
        c.changed.wait(held, [&] { return c.waiting.size() < most_waiting; });
        ++c.waits;
        c.waited_ms += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - began).count();
    }
    c.waiting.emplace_back(std::move(frame), delay);
    c.changed.notify_all();
}

bool stop_recording(std::string& why, recording_stats& stats) {
    if (!recording) return true;
    std::unique_ptr<clip> c = std::move(recording);
    {
        std::lock_guard<std::mutex> held(c->lock);
        c->ending = true;
    }
    c->changed.notify_all();
    c->worker.join();
    stats = {c->kept, c->waits, c->waited_ms};
    std::string closing;
    bool closed = c->writer.close(closing);
    why = c->error.empty() ? closing : c->error;
    if (c->error.empty() && closed) return true;
    remove_unfinished(c->path);
    return false;
}

}  // namespace flopkin
