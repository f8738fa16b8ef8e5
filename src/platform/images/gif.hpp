#pragma once
// Animated GIF files of shown frames, through giflib: each frame with its own
// colour table, and after the first only the rectangle that changed.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/images/png.hpp"

struct GifFileType;

namespace flopkin {

class gif_writer {
public:
    gif_writer() = default;
    gif_writer(const gif_writer&) = delete;
    gif_writer& operator=(const gif_writer&) = delete;
    ~gif_writer();

    // creates the file for frames of width x height, played in a loop;
    // false with the reason when it cannot be written
    bool open(const std::string& path, int width, int height, std::string& why);
    // appends a frame shown for delay hundredths of a second; false with the
    // reason once anything failed, and every later call fails too
    bool add(const frame_image& frame, int delay, std::string& why);
    // ends the file; false with the reason when it could not be completed
    bool close(std::string& why);

private:
    bool failed(std::string& why, int error);
    GifFileType* file_ = nullptr;
    int width_ = 0, height_ = 0;
    std::vector<std::uint8_t> previous_;   // the last frame added, to find what changed
    std::vector<std::uint8_t> indices_;
};

}  // namespace flopkin
