#pragma once
// A test in a fresh working folder, with the headless backend answering the
// requester and an app to act on.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "app/app.hpp"
#include "figure_builder.hpp"
#include "platform/graphics.hpp"
#include "platform/headless/headless_backend.hpp"
#include "ui/menu.hpp"

namespace flopkin {

class InTempFolder : public ::testing::Test {
protected:
    void SetUp() override {
        use_backend(&hb);
        char pattern[] = "/tmp/flopkin-files-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
        old_cwd = std::filesystem::current_path();
        std::filesystem::current_path(dir);
    }
    void TearDown() override {
        use_device_maker(nullptr);
        use_backend(nullptr);
        std::filesystem::current_path(old_cwd);
        std::filesystem::remove_all(dir);
    }
    static void put(const std::string& path, const bytes& data) {
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data.data()),
                                                    static_cast<std::streamsize>(data.size()));
    }
    static bytes get(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return bytes(std::istreambuf_iterator<char>(in), {});
    }
    std::size_t entries() const {
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir), {}));
    }
    // three balls in a row, linked 1-2 and 2-3
    static bytes three_balls() { return doc().ball(1, 1, 10, 10).ball(2, 1, 20, 10).ball(3, 1, 30, 10).link(1, 2, 10).link(2, 3, 10).data; }

    headless_backend hb;
    app a;
    std::string dir;
    std::filesystem::path old_cwd;
};

}  // namespace flopkin
