#pragma once
// A stream device over bytes in memory that can be told to fail at a given
// offset, standing in for a disk that breaks half-way.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/stream.hpp"

namespace flopkin {

using bytes = std::vector<std::uint8_t>;

class memory_device : public stream_device {
public:
    static constexpr std::int64_t never = INT64_MAX;

    explicit memory_device(std::shared_ptr<bytes> data, std::int64_t fail_read_at = never,
                           std::int64_t fail_write_at = never)
        : data_(std::move(data)), fail_read_at_(fail_read_at), fail_write_at_(fail_write_at) {}

    std::size_t read(std::uint8_t* into, std::size_t count) override {
        std::int64_t stop = std::min<std::int64_t>(static_cast<std::int64_t>(data_->size()), fail_read_at_);
        std::size_t n = static_cast<std::size_t>(std::clamp<std::int64_t>(stop - at_, 0, static_cast<std::int64_t>(count)));
        if (n > 0) std::memcpy(into, data_->data() + at_, n);
        at_ += static_cast<std::int64_t>(n);
        return n;
    }
    bool write(const std::uint8_t* from, std::size_t count) override {
        for (std::size_t i = 0; i < count; ++i) {
            if (at_ >= fail_write_at_) return false;
            data_->push_back(from[i]);
            ++at_;
        }
        return true;
    }
    bool sync() override { return true; }
    bool close() override { return true; }
    std::int64_t size() override { return static_cast<std::int64_t>(data_->size()); }
    std::int64_t position() override { return at_; }

private:
    std::shared_ptr<bytes> data_;
    std::int64_t at_ = 0;
    std::int64_t fail_read_at_;
    std::int64_t fail_write_at_;
};

// a stream reading (or appending to) the given bytes
inline std::unique_ptr<stream> memory_stream(std::shared_ptr<bytes> data,
                                             std::int64_t fail_read_at = memory_device::never,
                                             std::int64_t fail_write_at = memory_device::never) {
    return std::make_unique<stream>(std::make_unique<memory_device>(std::move(data), fail_read_at, fail_write_at));
}

// The disk, except that writes beyond `write_limit` bytes or reads beyond
// `read_limit` bytes of any one file fail, as on a full or failing disk.
inline device_maker breaking_disk(std::int64_t write_limit, std::int64_t read_limit) {
    struct breaking : stream_device {
        std::unique_ptr<stream_device> disk;
        std::int64_t write_limit, read_limit;
        std::size_t read(std::uint8_t* into, std::size_t count) override {
            std::int64_t room = read_limit - disk->position();
            if (room <= 0) return 0;
            return disk->read(into, std::min<std::size_t>(count, static_cast<std::size_t>(room)));
        }
        bool write(const std::uint8_t* from, std::size_t count) override {
            if (disk->position() + static_cast<std::int64_t>(count) > write_limit) return false;
            return disk->write(from, count);
        }
        bool sync() override { return disk->sync(); }
        bool close() override { return disk->close(); }
        std::int64_t size() override { return disk->size(); }
        std::int64_t position() override { return disk->position(); }
    };
    return [=](const std::string& path, file_access access, std::string& why) -> std::unique_ptr<stream_device> {
        std::unique_ptr<stream_device> disk = open_disk_device(path, access, why);
        if (!disk) return nullptr;
        auto device = std::make_unique<breaking>();
        device->disk = std::move(disk);
        device->write_limit = write_limit;
        device->read_limit = read_limit;
        return device;
    };
}

}  // namespace flopkin
