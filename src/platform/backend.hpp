#pragma once
// The seam between the program and a window system. One backend serves at a
// time: the real one (SDL2 + OpenGL 1.1 + GTK 3) or the headless one used by
// tests and batch runs. A backend reports what it cannot do; the program decides.
#include <string>

#include "platform/base/frame.hpp"
#include "platform/input.hpp"
#include "platform/recovery/recovery_store.hpp"

namespace flopkin {

struct rgb {
    int r = 255, g = 255, b = 255;
    bool operator==(const rgb&) const = default;
};

class backend {
public:
    virtual ~backend() = default;

    // Opens the window with its drawing context, one unit per pixel, origin
    // top-left, both buffers black. On failure says why in `why`.
    virtual bool open_window(int width, int height, std::string& why) = 0;
    virtual void set_title(const std::string& title) = 0;
    // false when the swap interval cannot be controlled
    virtual bool set_swap_interval(int interval) = 0;
    virtual void present() = 0;

    // applies every pending window event to the input state
    virtual void pump_events(input_state& input) = 0;

    // 1 ms clock and sleep, and a fine clock for frame statistics
    virtual int millisecs() = 0;
    virtual void sleep_ms(int ms) = 0;
    virtual double seconds() = 0;

    // Drawing, with the current colour and scale already resolved.
    virtual void clear(rgb colour) = 0;
    virtual void line(float x1, float y1, float x2, float y2, bool last_pixel, rgb colour) = 0;
    virtual void rect(float x, float y, float width, float height, rgb colour) = 0;
    // ellipse inscribed in the box; scale applies to the offsets from (x, y)
    virtual void oval(float x, float y, float width, float height, float sx, float sy, rgb colour) = 0;
    // convex polygon, `points` pairs of x, y
    virtual void polygon(const float* xy, int points, rgb colour) = 0;
    virtual void text(const std::string& text, float x, float y, float sx, float sy, rgb colour) = 0;

    // Modal file requester: the chosen path, or "" when cancelled or when
    // there is no requester to show.
    virtual std::string request_file(const std::string& prompt, const std::string& filter, bool save,
                                     const std::string& initial_path) = 0;

    // Makes a file just written last beyond the run where the file system
    // itself does not (the page keeps its documents in the browser's
    // storage); false with the reason when it could not.
    virtual bool keep_file(const std::string& path, std::string& why) {
        (void)path;
        (void)why;
        return true;
    }

    // The frame about to begin is the run's last: a backend that leaves
    // undrawn the frames it will not show draws this one.
    virtual void last_frame_begins() {}

    // From now on keep a copy of each frame as it is presented, so that the
    // last one shown can be read when the program ends.
    virtual void keep_shown_frames() {}
    // The last frame presented since keep_shown_frames; false when there is
    // none, as with a backend that shows nothing.
    virtual bool last_shown_frame(frame_image& out) {
        (void)out;
        return false;
    }

    // Where the run keeps its recovery figure; null when it keeps none (a
    // batch run, or a backend with nowhere to keep it).
    virtual recovery_store* recovery() { return nullptr; }
};

}  // namespace flopkin
