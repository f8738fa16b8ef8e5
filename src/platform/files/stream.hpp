#pragma once
// Byte streams on files: text lines, 4-byte little-endian ints and floats.
//
// A stream never throws. The first read or write that fails marks it failed
// with "Error reading from stream" or "Error writing to stream"; from then on
// reads yield zero and writes do nothing, and the caller decides what the
// failure means. Reads of a fixed size that run into the end of the file are
// not failures: the missing bytes count as zero and `ran_short` says so.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace flopkin {

// What a stream reads and writes through. The disk is one device; tests and
// fault injection put others in its place.
class stream_device {
public:
    virtual ~stream_device() = default;
    // up to `count` bytes; 0 when nothing could be read
    virtual std::size_t read(std::uint8_t* into, std::size_t count) = 0;
    // false when not every byte could be written
    virtual bool write(const std::uint8_t* from, std::size_t count) = 0;
    // pushes everything written so far to lasting storage
    virtual bool sync() = 0;
    // releases the device; false when written bytes were lost on the way
    virtual bool close() = 0;
    // the system's error number of the last write, sync or close that
    // failed; 0 when it gave none
    virtual int write_error() const { return 0; }
    // the size when opened plus what was written past it
    virtual std::int64_t size() = 0;
    virtual std::int64_t position() = 0;
};

enum class file_access {
    read,        // existing regular file, content unchanged
    create_new,  // a new empty file; fails when anything exists at the path
    overwrite,   // an existing regular file, emptied
};

// what ends each text line a stream writes (a read also takes a lone LF)
inline constexpr const char* line_end = "\r\n";

class stream {
public:
    explicit stream(std::unique_ptr<stream_device> device);
    ~stream();
    stream(const stream&) = delete;
    stream& operator=(const stream&) = delete;

    // also 1 once the stream has failed, so no read loop can spin on it
    bool at_end();
    void write_line(const std::string& text);
    std::string read_line();
    void write_int(std::int32_t value);
    std::int32_t read_int();
    void write_float(float value);
    float read_float();
    // raw bytes, for files that are not documents
    void write_block(const std::uint8_t* from, std::size_t count) { write_bytes(from, count); }

    // flushes and syncs; false (and failed) when that did not work
    bool sync();
    // releases the file; false (and failed) when written bytes were lost
    bool close();

    bool failed() const { return !error_.empty(); }
    const std::string& error() const { return error_; }
    // a fixed-size read met the end of the file before its last byte
    bool ran_short() const { return ran_short_; }

private:
    std::size_t read_bytes(std::uint8_t* into, std::size_t count);
    void write_bytes(const std::uint8_t* from, std::size_t count);
    void fail(const std::string& message);
    // a write, sync or close failed: the device says why, when it can
    void fail_writing();

    std::unique_ptr<stream_device> device_;
    std::string error_;
    bool ran_short_ = false;
};

// Opens a device for a path; the disk unless a test installed another maker.
// `why` says what went wrong when the result is null.
using device_maker =
    std::function<std::unique_ptr<stream_device>(const std::string& path, file_access access, std::string& why)>;
std::unique_ptr<stream_device> open_disk_device(const std::string& path, file_access access, std::string& why);
// installs the maker that open_stream uses on the calling thread; null
// restores the disk; returns the previous
device_maker use_device_maker(device_maker maker);

// a stream on the path, or null with `why` set
std::unique_ptr<stream> open_stream(const std::string& path, file_access access, std::string& why);

// Why a write failed, in the words every writer of the program uses: "the
// disk is full" when there is no room left (or the quota is used up), the
// system's words for any other error number, "Error writing to stream" when
// there is none.
std::string write_failure(int error);

// the path as the system spells it: "\" is a separator like "/"
std::string native_path(const std::string& path);

}  // namespace flopkin
