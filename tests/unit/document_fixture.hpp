#pragma once
// An app in a fresh working folder, with the headless backend answering the
// requester, for tests of the document commands.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "figure_builder.hpp"
#include "platform/graphics.hpp"
#include "platform/headless_backend.hpp"
#include "ui/menu.hpp"

namespace flopkin {

class DocumentCommands : public ::testing::Test {
protected:
    void SetUp() override {
        use_backend(&hb);
        char pattern[] = "/tmp/flopkin-files-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
        old_cwd = std::filesystem::current_path();
        std::filesystem::current_path(dir);
        a.menu->owner = &a;
    }
    void TearDown() override {
        use_device_maker(nullptr);
        use_backend(nullptr);
        std::filesystem::current_path(old_cwd);
        std::filesystem::permissions(dir, std::filesystem::perms::owner_all);
        std::filesystem::remove_all(dir);
    }
    void put(const std::string& path, const bytes& data) {
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data.data()),
                                                    static_cast<std::streamsize>(data.size()));
    }
    bytes get(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return bytes(std::istreambuf_iterator<char>(in), {});
    }
    // three balls in a row, linked 1-2 and 2-3
    bytes three_ball_document() {
        return document({ball_record(1, 1, 10, 10), ball_record(2, 1, 20, 10), ball_record(3, 1, 30, 10),
                         link_record(1, 2, 10), link_record(2, 3, 10)});
    }
    std::size_t entries() {
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir), {}));
    }

    headless_backend hb;
    app a;
    std::string dir;
    std::filesystem::path old_cwd;
};

}  // namespace flopkin
