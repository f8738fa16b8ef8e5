#pragma once
// Stream devices for tests: bytes in memory, and the disk breaking after a
// number of bytes, each failing like a full or failing disk.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/files/stream.hpp"

namespace flopkin {

using bytes = std::vector<std::uint8_t>;
constexpr std::int64_t never = INT64_MAX;

// Reads stop delivering at `read_limit`, writes fail past `write_limit`.
class limited_device : public stream_device {
public:
    limited_device(std::unique_ptr<stream_device> inner, std::int64_t read_limit, std::int64_t write_limit)
        : inner_(std::move(inner)), read_limit_(read_limit), write_limit_(write_limit) {}
    std::size_t read(std::uint8_t* into, std::size_t count) override {
        std::int64_t room = read_limit_ - position();
        return room <= 0 ? 0 : inner_->read(into, std::min<std::size_t>(count, static_cast<std::size_t>(room)));
    }
    bool write(const std::uint8_t* from, std::size_t count) override {
        return position() + static_cast<std::int64_t>(count) <= write_limit_ && inner_->write(from, count);
    }
    bool sync() override { return inner_->sync(); }
    bool close() override { return inner_->close(); }
    std::int64_t size() override { return inner_->size(); }
    std::int64_t position() override { return inner_->position(); }

private:
    std::unique_ptr<stream_device> inner_;
    std::int64_t read_limit_, write_limit_;
};

class memory_device : public stream_device {
public:
    explicit memory_device(std::shared_ptr<bytes> data) : data_(std::move(data)) {}
    std::size_t read(std::uint8_t* into, std::size_t count) override {
        std::size_t n = std::min(count, data_->size() - at_);
        std::memcpy(into, data_->data() + at_, n);
        at_ += n;
        return n;
    }
    bool write(const std::uint8_t* from, std::size_t count) override {
        data_->insert(data_->end(), from, from + count);
        at_ += count;
        return true;
    }
    bool sync() override { return true; }
    bool close() override { return true; }
    std::int64_t size() override { return static_cast<std::int64_t>(data_->size()); }
    std::int64_t position() override { return static_cast<std::int64_t>(at_); }

private:
    std::shared_ptr<bytes> data_;
    std::size_t at_ = 0;
};

inline std::unique_ptr<stream> memory_stream(std::shared_ptr<bytes> data, std::int64_t read_limit = never,
                                             std::int64_t write_limit = never) {
    return std::make_unique<stream>(
        std::make_unique<limited_device>(std::make_unique<memory_device>(std::move(data)), read_limit, write_limit));
}

// the disk, with every file it opens limited as above
inline device_maker breaking_disk(std::int64_t read_limit, std::int64_t write_limit) {
    return [=](const std::string& path, file_access access, std::string& why) -> std::unique_ptr<stream_device> {
        std::unique_ptr<stream_device> disk = open_disk_device(path, access, why);
        if (!disk) return nullptr;
        return std::make_unique<limited_device>(std::move(disk), read_limit, write_limit);
    };
}

}  // namespace flopkin
