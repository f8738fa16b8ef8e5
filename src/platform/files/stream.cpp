#include "platform/files/stream.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

namespace flopkin {

namespace {

constexpr std::size_t chunk = 1 << 16;

// A regular file through its descriptor, buffered both ways so that
// byte-at-a-time line reads stay cheap.
class disk_device : public stream_device {
public:
    disk_device(int fd, std::int64_t size) : fd_(fd), size_(size) {}
    ~disk_device() override {
        if (fd_ >= 0) ::close(fd_);
    }

    std::size_t read(std::uint8_t* into, std::size_t count) override {
        if (in_at_ == in_.size()) {
            in_.resize(chunk);
            ssize_t got;
            do got = ::read(fd_, in_.data(), chunk);
            while (got < 0 && errno == EINTR);
            in_.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
            in_at_ = 0;
            if (got <= 0) return 0;
        }
        std::size_t n = std::min(count, in_.size() - in_at_);
        std::memcpy(into, in_.data() + in_at_, n);
        in_at_ += n;
        position_ += static_cast<std::int64_t>(n);
        return n;
    }

    bool write(const std::uint8_t* from, std::size_t count) override {
        out_.insert(out_.end(), from, from + count);
        position_ += static_cast<std::int64_t>(count);
        size_ = std::max(size_, position_);
        return out_.size() < chunk || drain();
    }

    bool sync() override { return drain() && noted(::fsync(fd_) == 0); }

    bool close() override {
        bool ok = drain();
        if (!noted(::close(fd_) == 0)) ok = false;
        fd_ = -1;
        return ok;
    }

    int write_error() const override { return error_; }

    std::int64_t size() override { return size_; }
    std::int64_t position() override { return position_; }

private:
    bool drain() {
        std::size_t done = 0;
        while (done < out_.size()) {
            ssize_t put = ::write(fd_, out_.data() + done, out_.size() - done);
            if (put < 0 && errno == EINTR) continue;
            if (put <= 0) return noted(false);
            done += static_cast<std::size_t>(put);
        }
        out_.clear();
        return true;
    }

    // keeps the error number of a call that failed
    bool noted(bool ok) {
        if (!ok) error_ = errno;
        return ok;
    }

    int fd_;
    int error_ = 0;
    std::int64_t size_;
    std::int64_t position_ = 0;
    std::vector<std::uint8_t> in_;
    std::size_t in_at_ = 0;
    std::vector<std::uint8_t> out_;
};

// each thread's own: a fault a test puts into its saves stays out of a
// background writer's
device_maker& current_maker() {
    thread_local device_maker maker = open_disk_device;
    return maker;
}

}  // namespace

std::string write_failure(int error) {
    if (error == ENOSPC || error == EDQUOT) return "the disk is full";
    return error != 0 ? std::strerror(error) : "Error writing to stream";
}

std::string native_path(const std::string& path) {
    std::string native = path;
    std::replace(native.begin(), native.end(), '\\', '/');
    return native;
}

std::unique_ptr<stream_device> open_disk_device(const std::string& path, file_access access, std::string& why) {
    // non-blocking only while opening: a fifo or device at the path must not
    // hang the program, and only regular files are kept
    int flags = O_CLOEXEC | O_NONBLOCK;
    switch (access) {
        case file_access::read: flags |= O_RDONLY; break;
        case file_access::create_new: flags |= O_WRONLY | O_CREAT | O_EXCL; break;
        case file_access::overwrite: flags |= O_WRONLY; break;
    }
    int fd = ::open(native_path(path).c_str(), flags, 0666);
    if (fd < 0) {
        why = access == file_access::read ? std::strerror(errno) : write_failure(errno);
        return nullptr;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        why = S_ISDIR(info.st_mode) ? std::strerror(EISDIR) : "not a regular file";
        ::close(fd);
        return nullptr;
    }
    // emptied only once it is known to be a regular file
    if (access == file_access::overwrite && ::ftruncate(fd, 0) != 0) {
        why = write_failure(errno);
        ::close(fd);
        return nullptr;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return std::make_unique<disk_device>(fd, access == file_access::read ? info.st_size : 0);
}

device_maker use_device_maker(device_maker maker) {
    device_maker previous = current_maker();
    current_maker() = maker ? std::move(maker) : device_maker(open_disk_device);
    return previous;
}

std::unique_ptr<stream> open_stream(const std::string& path, file_access access, std::string& why) {
    std::unique_ptr<stream_device> device = current_maker()(path, access, why);
    if (!device) return nullptr;
    return std::make_unique<stream>(std::move(device));
}

stream::stream(std::unique_ptr<stream_device> device) : device_(std::move(device)) {}

stream::~stream() {
    if (device_) device_->close();
}

void stream::fail(const std::string& message) {
    if (error_.empty()) error_ = message;
}

void stream::fail_writing() { fail(write_failure(device_ ? device_->write_error() : 0)); }

bool stream::at_end() { return failed() || !device_ || device_->position() >= device_->size(); }

std::size_t stream::read_bytes(std::uint8_t* into, std::size_t count) {
    std::size_t got = 0;
    while (got < count && !at_end()) {
        std::size_t n = device_->read(into + got, count - got);
        if (n == 0) {
            fail("Error reading from stream");
            break;
        }
        got += n;
    }
    return got;
}

void stream::write_bytes(const std::uint8_t* from, std::size_t count) {
    if (failed() || !device_) return;
    if (!device_->write(from, count)) fail_writing();
}

void stream::write_line(const std::string& text) {
    const std::string line = text + line_end;
    write_bytes(reinterpret_cast<const std::uint8_t*>(line.data()), line.size());
}

std::string stream::read_line() {
    std::string line;
    std::uint8_t byte = 0;
    while (read_bytes(&byte, 1) == 1 && byte != 10 && byte != 0)
        if (byte != 13) line.push_back(static_cast<char>(byte));
    return line;
}

void stream::write_int(std::int32_t value) {
    std::uint32_t bits = static_cast<std::uint32_t>(value);
    std::uint8_t bytes[4];
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(bits >> (8 * i));
    write_bytes(bytes, 4);
}

std::int32_t stream::read_int() {
    std::uint8_t bytes[4] = {};
    if (read_bytes(bytes, 4) < 4 && !failed()) ran_short_ = true;
    std::uint32_t bits = 0;
    for (int i = 0; i < 4; ++i) bits |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
    return static_cast<std::int32_t>(bits);
}

void stream::write_float(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, 4);
    write_int(static_cast<std::int32_t>(bits));
}

float stream::read_float() {
    std::uint32_t bits = static_cast<std::uint32_t>(read_int());
    float value;
    std::memcpy(&value, &bits, 4);
    return value;
}

bool stream::sync() {
    if (!failed() && device_ && !device_->sync()) fail_writing();
    return !failed();
}

bool stream::close() {
    if (device_ && !device_->close()) fail_writing();
    device_.reset();
    return !failed();
}

}  // namespace flopkin
