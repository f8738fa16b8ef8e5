#pragma once
// Drawing, input, clock and requester operations on the one implicit window.
// Every part of the program reaches the platform only through these.
#include <string>
#include <vector>

#include "platform/backend.hpp"
#include "platform/base/font.hpp"

namespace flopkin {

class frame_pacer;

// Installs the backend that the operations below use; returns the previous one.
backend* use_backend(backend* be);
backend& current_backend();

// graphics
bool open_graphics(int width, int height, int depth, int hertz, std::string& why);
void set_window_title(const std::string& title);
// a frame begins: the back buffer is cleared, and input held back for the
// frame before is let go
void clear_screen();
void flip();
// the frame about to begin is the run's last, whose picture stays
void last_frame_begins();
// from now on frames are presented back to back
void unpace_frames();
void set_color(int red, int green, int blue);
void set_scale(float sx, float sy);
void draw_line(float x1, float y1, float x2, float y2, int last_pixel);
void draw_rect(float x, float y, float width, float height);
void draw_oval(float x, float y, float width, float height);
void draw_poly(const float* values, int count);
inline void draw_poly(const std::vector<float>& values) { draw_poly(values.data(), static_cast<int>(values.size())); }
void draw_text(const std::string& text, float x, float y);

// The vertices of an oval as drawn: n = max(12, |a| + |b|), at most
// max_oval_vertices, rounded down to a multiple of 4, scaled about (x, y).
// Writes 2n floats into `out`.
inline constexpr int max_oval_vertices = 65536;
void oval_vertices(float x, float y, float width, float height, float sx, float sy, std::vector<float>& out);

// makes a file just written last beyond the run (the page's storage); false
// with the reason when it could not
bool keep_file(const std::string& path, std::string& why);

// keeps every frame presented from now on, for save_shown_frame
void keep_shown_frames();
// writes the last frame shown as a PNG file, never a half-written one;
// false with the reason when there is no frame or it cannot be written
bool save_shown_frame(const std::string& path, std::string& why);

// --record: from now on every `every`th frame shown goes into an animated
// GIF at path, encoded on a worker; false with the reason when the file
// cannot be written
bool start_recording(const std::string& path, int every, int width, int height, std::string& why);
// after each flip: the frame just shown to the clip when it is one to keep,
// waiting while the worker is behind
void record_shown_frame();
// frames kept, and how often and how long the frame loop waited for the worker
struct recording_stats {
    long long frames = 0;
    long long waits = 0;
    double waited_ms = 0;
};
// ends the clip once every frame is in; false with the reason when any failed
bool stop_recording(std::string& why, recording_stats& stats);

// input: each query first applies every pending window event
int mouse_x();
int mouse_y();
int mouse_down(int button);
int mouse_hit(int button);
int key_down(int code);
int key_hit(int code);
// the modifier bits held when the key was last pressed
int key_press_modifiers(int code);
// a control beside the canvas, numbered from 0, read as a key is
int control_down(int control);
int control_hit(int control);
void flush_keys();
// the presses of keys, buttons and controls counted so far, as far as the
// window's events have been read; two counts differ when a press came between
unsigned presses_counted();
// the wheel's whole notches since the last call, up positive
int wheel_notches();

// time
int millisecs();
double fine_seconds();

// the platform's modal file requester; "" when cancelled. Clears every key
// and mouse state when it closes.
std::string request_file(const std::string& prompt, const std::string& filter, bool save,
                         const std::string& initial_path);

}  // namespace flopkin
