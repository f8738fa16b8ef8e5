#pragma once
// A backend with no window: drawing is recorded (or discarded), input comes
// from a script the caller fills, the clock is a counter the caller controls,
// and the requester answers from a script ("" when it runs dry).
#include <deque>
#include <string>
#include <vector>

#include "platform/backend.hpp"

namespace flopkin {

struct draw_record {
    enum class shape { clear, line, rect, oval, polygon, text };
    shape kind;
    rgb colour;
    std::vector<float> values;  // line x1 y1 x2 y2; rect/oval x y w h; polygon pairs; text x y
    std::string text;
    bool last_pixel = false;
};

struct input_event {
    enum class kind { press, release, move, repeat, wheel, control_press, control_release };
    kind what;
    int code_or_x = 0;
    int y = 0;
    int modifiers = 0;  // held with a press or release, as a key event tells them
    float notches = 0;  // of a wheel event, up positive
};

struct requester_call {
    std::string prompt, filter, initial_path;
    bool save = false;
};

class headless_backend : public backend {
public:
    // record: keep what is drawn for the caller to read; real_clock: time and
    // sleep as the machine does (batch runs) instead of the scripted counter
    explicit headless_backend(bool record = true, bool real_clock = false)
        : record_(record), real_clock_(real_clock) {}

    // --- what a test scripts ---
    void press(int code, int modifiers = 0) { events.push_back({input_event::kind::press, code, 0, modifiers}); }
    void release(int code, int modifiers = 0) { events.push_back({input_event::kind::release, code, 0, modifiers}); }
    void move(int x, int y) { events.push_back({input_event::kind::move, x, y}); }
    void scroll(float notches) { events.push_back({input_event::kind::wheel, 0, 0, 0, notches}); }
    // a control beside the canvas, as the page's touch layout presses it
    void press_control(int control) { events.push_back({input_event::kind::control_press, control}); }
    void release_control(int control) { events.push_back({input_event::kind::control_release, control}); }
    std::deque<input_event> events;
    std::deque<std::string> requester_answers;
    std::vector<requester_call> requester_calls;
    int clock_ms = 0;
    int present_cost_ms = 0;  // how long a presentation takes on the fake clock
    bool fail_open = false;
    recovery_store* store = nullptr;  // what recovery() answers

    // --- what a test reads ---
    std::vector<draw_record> drawn;
    int presents = 0;
    int swap_interval = -1;
    std::string title;
    int opened_width = 0, opened_height = 0;
    void forget_drawing() { drawn.clear(); }

    // --- backend ---
    bool open_window(int width, int height, std::string& why) override;
    void set_title(const std::string& t) override { title = t; }
    bool set_swap_interval(int interval) override {
        swap_interval = interval;
        return true;
    }
    void present() override;
    void pump_events(input_state& input) override;
    recovery_store* recovery() override { return store; }
    int millisecs() override;
    void sleep_ms(int ms) override;
    double seconds() override;
    void clear(rgb colour) override;
    void line(float x1, float y1, float x2, float y2, bool last_pixel, rgb colour) override;
    void rect(float x, float y, float width, float height, rgb colour) override;
    void oval(float x, float y, float width, float height, float sx, float sy, rgb colour) override;
    void polygon(const float* xy, int points, rgb colour) override;
    void text(const std::string& text, float x, float y, float sx, float sy, rgb colour) override;
    std::string request_file(const std::string& prompt, const std::string& filter, bool save,
                             const std::string& initial_path) override;

private:
    void add(draw_record record);
    bool record_;
    bool real_clock_;
};

}  // namespace flopkin
