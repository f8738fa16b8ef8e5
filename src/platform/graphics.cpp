#include "platform/graphics.hpp"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/base/number_text.hpp"
#include "platform/pacing.hpp"

namespace flopkin {
namespace {

struct draw_state {
    rgb colour{255, 255, 255};
    float scale_x = 1, scale_y = 1;
};

backend* installed = nullptr;
input_state input;
draw_state state;
frame_pacer pacer;

backend& be() { return *installed; }

void pump() {
    be().pump_events(input);
    input.read();
}

}  // namespace

backend* use_backend(backend* next) {
    backend* previous = installed;
    installed = next;
    input = input_state{};
    state = draw_state{};
    return previous;
}

backend& current_backend() { return be(); }

bool open_graphics(int width, int height, int /*depth*/, int hertz, std::string& why) {
    if (!be().open_window(width, height, why)) return false;
    state = draw_state{};
    pacer.start(be(), hertz);
    return true;
}

void set_window_title(const std::string& title) { be().set_title(title); }
// every frame starts from black
void clear_screen() {
    input.begin_frame();
    be().clear({0, 0, 0});
}
void flip() { pacer.flip(be()); }
void last_frame_begins() { be().last_frame_begins(); }
void unpace_frames() { pacer.unpace(be()); }

void set_color(int red, int green, int blue) { state.colour = {red, green, blue}; }
void set_scale(float sx, float sy) {
    state.scale_x = sx;
    state.scale_y = sy;
}

void draw_line(float x1, float y1, float x2, float y2, int last_pixel) {
    float ex = x1 + (x2 - x1) * state.scale_x;
    float ey = y1 + (y2 - y1) * state.scale_y;
    be().line(x1, y1, ex, ey, last_pixel != 0, state.colour);
}

void draw_rect(float x, float y, float width, float height) {
    be().rect(x, y, width * state.scale_x, height * state.scale_y, state.colour);
}

void draw_oval(float x, float y, float width, float height) {
    be().oval(x, y, width, height, state.scale_x, state.scale_y, state.colour);
}

namespace {

// The corners of the last oval asked for, as offsets from its box's corner:
// the balls of a figure are usually drawn at one size, so each frame works
// them out once rather than once per ball. Reused only for the very same
// half-axes (bit for bit), so every corner comes out as it would afresh.
struct oval_shape {
    std::uint32_t a_bits = 0, b_bits = 0;
    int count = 0;  // 0: none worked out yet
    std::vector<float> dx, dy;

    void fit(float a, float b, int n) {
        std::uint32_t a_now, b_now;
        std::memcpy(&a_now, &a, sizeof a_now);
        std::memcpy(&b_now, &b, sizeof b_now);
        if (n == count && a_now == a_bits && b_now == b_bits) return;
        count = n;
        a_bits = a_now;
        b_bits = b_now;
        dx.resize(static_cast<std::size_t>(n));
        dy.resize(static_cast<std::size_t>(n));
        const double to_rad = 3.14159265358979323846 / 180.0;
        for (int k = 0; k < n; ++k) {
            double t = k * 360.0 / n * to_rad;
            dx[static_cast<std::size_t>(k)] = static_cast<float>(a + a * std::cos(t));
            dy[static_cast<std::size_t>(k)] = static_cast<float>(b - b * std::sin(t));
        }
    }
};

oval_shape last_oval;

}  // namespace

void oval_vertices(float x, float y, float width, float height, float sx, float sy, std::vector<float>& out) {
    float a = width / 2, b = height / 2;
    int n = float_to_int(std::fabs(a) + std::fabs(b));
    if (n < 12) n = 12;
    // an oval far larger than any window would otherwise ask for billions of
    // vertices (a ball's radius comes from documents); this many keep its
    // edge within a pixel of the true curve up to a radius of 10^9 pixels
    if (n > max_oval_vertices) n = max_oval_vertices;
    n -= n % 4;
    last_oval.fit(a, b, n);
    out.resize(static_cast<std::size_t>(n) * 2);
    const float* dx = last_oval.dx.data();
    const float* dy = last_oval.dy.data();
    // offsets from the anchor (x, y) are scaled
    for (int k = 0; k < n; ++k) {
        out[2 * k] = x + sx * dx[k];
        out[2 * k + 1] = y + sy * dy[k];
    }
}

void draw_poly(const float* values, int count) {
    if (count < 6 || count % 2 != 0) return;
    if (state.scale_x == 1 && state.scale_y == 1) {
        be().polygon(values, count / 2, state.colour);
        return;
    }
    // scale the offsets from the first point, the polygon's anchor
    std::vector<float> scaled(values, values + count);
    for (int i = 2; i < count; i += 2) {
        scaled[i] = values[0] + (values[i] - values[0]) * state.scale_x;
        scaled[i + 1] = values[1] + (values[i + 1] - values[1]) * state.scale_y;
    }
    be().polygon(scaled.data(), count / 2, state.colour);
}

void draw_text(const std::string& text, float x, float y) {
    be().text(text, x, y, state.scale_x, state.scale_y, state.colour);
}

int mouse_x() {
    pump();
    return input.pointer_x;
}

int mouse_y() {
    pump();
    return input.pointer_y;
}

int mouse_down(int button) {
    pump();
    int code = mouse_button_code(button);
    return code ? input.down[code] : 0;
}

int mouse_hit(int button) {
    pump();
    int code = mouse_button_code(button);
    if (!code) return 0;
    int hits = input.hits[code];
    input.hits[code] = 0;
    return hits;
}

int key_down(int code) {
    pump();
    return (code >= 1 && code <= 255) ? input.down[code] : 0;
}

int key_hit(int code) {
    pump();
    if (code < 1 || code > 255) return 0;
    int hits = input.hits[code];
    input.hits[code] = 0;
    return hits;
}

unsigned presses_counted() { return input.presses; }

int control_down(int control) {
    pump();
    return control >= 0 && control < most_controls ? input.down[first_control_code + control] : 0;
}

int control_hit(int control) {
    pump();
    if (control < 0 || control >= most_controls) return 0;
    int hits = input.hits[first_control_code + control];
    input.hits[first_control_code + control] = 0;
    return hits;
}

int key_press_modifiers(int code) {
    pump();
    return (code >= 1 && code <= 255) ? input.press_modifiers[code] : 0;
}

int wheel_notches() {
    pump();
    return input.take_wheel_notches();
}

void flush_keys() {
    pump();
    input.flush();
}

int millisecs() { return be().millisecs(); }
double fine_seconds() { return be().seconds(); }

std::string request_file(const std::string& prompt, const std::string& filter, bool save,
                         const std::string& initial_path) {
    std::string chosen = be().request_file(prompt, filter, save, initial_path);
    flush_keys();
    return chosen;
}

// a tool writing documents with no backend installed has only the file system
bool keep_file(const std::string& path, std::string& why) { return !installed || be().keep_file(path, why); }

}  // namespace flopkin
