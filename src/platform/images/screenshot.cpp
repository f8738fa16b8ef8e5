// The last frame shown, kept by the backend, written out as a PNG file.
#include "platform/files/file_system.hpp"
#include "platform/graphics.hpp"
#include "platform/images/png.hpp"

namespace flopkin {

void keep_shown_frames() { current_backend().keep_shown_frames(); }

bool save_shown_frame(const std::string& path, std::string& why) {
    frame_image frame;
    if (!current_backend().last_shown_frame(frame)) {
        why = "no frame has been shown";
        return false;
    }
    std::vector<std::uint8_t> png = encode_png(frame);
    if (png.empty()) {
        why = "the frame could not be encoded";
        return false;
    }
    return replace_file(path, [&](stream& out) { out.write_block(png.data(), png.size()); }, why);
}

}  // namespace flopkin
