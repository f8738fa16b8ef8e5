#include "platform/headless/headless_backend.hpp"

#include <chrono>
#include <thread>

namespace flopkin {

bool headless_backend::open_window(int width, int height, std::string& why) {
    if (fail_open) {
        why = "no display (scripted failure)";
        return false;
    }
    opened_width = width;
    opened_height = height;
    return true;
}

void headless_backend::present() {
    ++presents;
    clock_ms += present_cost_ms;
}

void headless_backend::pump_events(input_state& input) {
    while (!events.empty()) {
        input_event e = events.front();
        events.pop_front();
        bool keyed = e.what == input_event::kind::press || e.what == input_event::kind::repeat ||
                     e.what == input_event::kind::release;
        if (keyed) input.modifiers = static_cast<std::uint8_t>(e.modifiers);
        switch (e.what) {
            case input_event::kind::press: input.press(e.code_or_x); break;
            case input_event::kind::repeat: input.press(e.code_or_x, true); break;
            case input_event::kind::release: input.release(e.code_or_x); break;
            case input_event::kind::move: input.move(e.code_or_x, e.y); break;
            case input_event::kind::wheel: input.scroll(e.notches); break;
            case input_event::kind::control_press: input.press_control(e.code_or_x); break;
            case input_event::kind::control_release: input.release_control(e.code_or_x); break;
        }
    }
}

int headless_backend::millisecs() {
    if (!real_clock_) return clock_ms;
    return static_cast<int>(static_cast<long long>(seconds() * 1000.0));
}

void headless_backend::sleep_ms(int ms) {
    if (real_clock_)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    else
        clock_ms += ms;
}

double headless_backend::seconds() {
    using clock = std::chrono::steady_clock;
    return std::chrono::duration<double>(clock::now().time_since_epoch()).count();
}

void headless_backend::add(draw_record record) {
    if (record_) drawn.push_back(std::move(record));
}

void headless_backend::clear(rgb colour) {
    if (record_) drawn.clear();  // a frame starts from nothing
    add({draw_record::shape::clear, colour, {}, {}, false});
}

void headless_backend::line(float x1, float y1, float x2, float y2, bool last_pixel, rgb colour) {
    add({draw_record::shape::line, colour, {x1, y1, x2, y2}, {}, last_pixel});
}

void headless_backend::rect(float x, float y, float width, float height, rgb colour) {
    add({draw_record::shape::rect, colour, {x, y, width, height}, {}, false});
}

void headless_backend::oval(float x, float y, float width, float height, float sx, float sy, rgb colour) {
    add({draw_record::shape::oval, colour, {x, y, width * sx, height * sy}, {}, false});
}

void headless_backend::polygon(const float* xy, int points, rgb colour) {
    if (!record_) return;
    add({draw_record::shape::polygon, colour, std::vector<float>(xy, xy + 2 * points), {}, false});
}

void headless_backend::text(const std::string& text, float x, float y, float, float, rgb colour) {
    add({draw_record::shape::text, colour, {x, y}, text, false});
}

std::string headless_backend::request_file(const std::string& prompt, const std::string& filter, bool save,
                                           const std::string& initial_path) {
    requester_calls.push_back({prompt, filter, initial_path, save});
    if (requester_answers.empty()) return "";
    std::string answer = requester_answers.front();
    requester_answers.pop_front();
    return answer;
}

}  // namespace flopkin
