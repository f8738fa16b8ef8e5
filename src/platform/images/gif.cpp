#include "platform/images/gif.hpp"

#include <fcntl.h>
#include <gif_lib.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <unordered_map>

#include "platform/files/stream.hpp"

namespace flopkin {
namespace {

struct map_deleter {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};
using colour_map = std::unique_ptr<ColorMapObject, map_deleter>;

// the smallest power of two from 2 that holds count colours, as GIF tables are sized
int table_size(int count) {
    int size = 2;
    while (size < count) size *= 2;
    return size;
}

struct rectangle {
    int left = 0, top = 0, width = 0, height = 0;
};

// the smallest rectangle holding every pixel that differs; one pixel when none does
rectangle changed(const std::vector<std::uint8_t>& before, const std::vector<std::uint8_t>& now, int width,
                  int height) {
    int left = width, right = -1, top = height, bottom = -1;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* a = before.data() + static_cast<std::size_t>(y) * width * 3;
        const std::uint8_t* b = now.data() + static_cast<std::size_t>(y) * width * 3;
        if (std::equal(a, a + width * 3, b)) continue;
        top = std::min(top, y);
        bottom = y;
        int x = 0;
        while (x < left && a[3 * x] == b[3 * x] && a[3 * x + 1] == b[3 * x + 1] && a[3 * x + 2] == b[3 * x + 2]) ++x;
        left = std::min(left, x);
        x = width - 1;
        while (x > right && a[3 * x] == b[3 * x] && a[3 * x + 1] == b[3 * x + 1] && a[3 * x + 2] == b[3 * x + 2]) --x;
        right = std::max(right, x);
    }
    if (bottom < 0) return {0, 0, 1, 1};
    return {left, top, right - left + 1, bottom - top + 1};
}

// the rectangle's pixels in rows, from a frame of `stride` pixels a row
template <class each_pixel>
void walk(const std::uint8_t* rgb, int stride, const rectangle& r, each_pixel pixel) {
    for (int y = 0; y < r.height; ++y) {
        const std::uint8_t* p = rgb + (static_cast<std::size_t>(r.top + y) * stride + r.left) * 3;
        for (int x = 0; x < r.width; ++x, p += 3) pixel(static_cast<std::size_t>(y) * r.width + x, p);
    }
}

// The rectangle's pixels as indices into a table of exactly their colours;
// none when they are more than 256.
colour_map exact_colours(const std::uint8_t* rgb, int stride, const rectangle& r, std::vector<std::uint8_t>& out) {
    out.resize(static_cast<std::size_t>(r.width) * r.height);
    std::unordered_map<std::uint32_t, int> index;
    index.reserve(512);
    std::vector<GifColorType> colours;
    std::uint32_t last = 0xffffffff;
    int last_index = 0;
    bool fits = true;
    walk(rgb, stride, r, [&](std::size_t i, const std::uint8_t* p) {
        std::uint32_t key = static_cast<std::uint32_t>(p[0] << 16 | p[1] << 8 | p[2]);
        // runs of one colour are the rule on a drawn frame
        if (key != last && fits) {
            auto [at, added] = index.try_emplace(key, static_cast<int>(colours.size()));
            if (added) colours.push_back({p[0], p[1], p[2]});
            fits = colours.size() <= 256;
            last = key;
            last_index = at->second;
        }
        out[i] = static_cast<std::uint8_t>(last_index);
    });
    if (!fits) return nullptr;
    int size = table_size(static_cast<int>(colours.size()));
    colours.resize(static_cast<std::size_t>(size), GifColorType{0, 0, 0});
    return colour_map(GifMakeMapObject(size, colours.data()));
}

// more than 256 colours: giflib's quantizer picks 256 of them
colour_map quantized_colours(const std::uint8_t* rgb, int stride, const rectangle& r, std::vector<std::uint8_t>& out) {
    std::size_t n = static_cast<std::size_t>(r.width) * r.height;
    std::vector<GifByteType> red(n), green(n), blue(n);
    walk(rgb, stride, r, [&](std::size_t i, const std::uint8_t* p) {
        red[i] = p[0];
        green[i] = p[1];
        blue[i] = p[2];
    });
    int size = 256;
    colour_map map(GifMakeMapObject(size, nullptr));
    if (!map || GifQuantizeBuffer(static_cast<unsigned>(r.width), static_cast<unsigned>(r.height), &size, red.data(),
                                  green.data(), blue.data(), out.data(), map->Colors) != GIF_OK)
        return nullptr;
    return map;
}

}  // namespace

gif_writer::~gif_writer() {
    std::string ignored;
    if (file_) close(ignored);
}

bool gif_writer::failed(std::string& why, int error) {
    // a write the system refused says why in the words of every other writer
    bool written = error == E_GIF_ERR_WRITE_FAILED || error == E_GIF_ERR_DISK_IS_FULL || error == E_GIF_ERR_CLOSE_FAILED;
    if (written && errno != 0)
        why = write_failure(errno);
    else
        why = GifErrorString(error) ? GifErrorString(error) : "the GIF could not be written";
    return false;
}

bool gif_writer::open(const std::string& path, int width, int height, std::string& why) {
    // made as any file the user writes is, under the umask (giflib's own would be private)
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        why = write_failure(errno);
        return false;
    }
    int error = 0;
    file_ = EGifOpenFileHandle(fd, &error);
    if (!file_) {
        ::close(fd);
        return failed(why, error);
    }
    width_ = width;
    height_ = height;
    EGifSetGifVersion(file_, true);
    if (EGifPutScreenDesc(file_, width, height, 8, 0, nullptr) != GIF_OK) return failed(why, file_->Error);
    // played over and over
    static const GifByteType loop_name[] = "NETSCAPE2.0";
    static const GifByteType forever[] = {1, 0, 0};
    if (EGifPutExtensionLeader(file_, APPLICATION_EXT_FUNC_CODE) != GIF_OK ||
        EGifPutExtensionBlock(file_, 11, loop_name) != GIF_OK || EGifPutExtensionBlock(file_, 3, forever) != GIF_OK ||
        EGifPutExtensionTrailer(file_) != GIF_OK)
        return failed(why, file_->Error);
    return true;
}

bool gif_writer::add(const frame_image& frame, int delay, std::string& why) {
    if (!file_ || file_->Error != 0) return failed(why, file_ ? file_->Error : E_GIF_ERR_NOT_WRITEABLE);
    if (frame.width != width_ || frame.height != height_ ||
        frame.rgb.size() != static_cast<std::size_t>(width_) * height_ * 3) {
        why = "a frame of another size";
        return false;
    }
    rectangle r = previous_.empty() ? rectangle{0, 0, width_, height_} : changed(previous_, frame.rgb, width_, height_);
    colour_map map = exact_colours(frame.rgb.data(), width_, r, indices_);
    if (!map) map = quantized_colours(frame.rgb.data(), width_, r, indices_);
    if (!map) {
        why = "the frame's colours could not be reduced to 256";
        return false;
    }
    // each frame is drawn over the one before, which stays where nothing changed
    GraphicsControlBlock control{DISPOSE_DO_NOT, false, delay, NO_TRANSPARENT_COLOR};
    GifByteType extension[4];
    EGifGCBToExtension(&control, extension);
    if (EGifPutExtension(file_, GRAPHICS_EXT_FUNC_CODE, 4, extension) != GIF_OK ||
        EGifPutImageDesc(file_, r.left, r.top, r.width, r.height, false, map.get()) != GIF_OK ||
        EGifPutLine(file_, indices_.data(), r.width * r.height) != GIF_OK)
        return failed(why, file_->Error);
    previous_ = frame.rgb;
    return true;
}

bool gif_writer::close(std::string& why) {
    if (!file_) return true;
    int error = 0;
    bool ok = EGifCloseFile(file_, &error) == GIF_OK;
    file_ = nullptr;
    return ok || failed(why, error);
}

}  // namespace flopkin
