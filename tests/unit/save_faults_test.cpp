// A save that fails anywhere (at any byte of the document, when syncing or
// closing, at the rename, for lack of space) keeps the previous file byte for
// byte, leaves no stray file behind and says "Save failed!".
#include <sys/mount.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "document_fixture.hpp"
#include "sample_figures.hpp"
#include "platform/files/file_system.hpp"

namespace flopkin {

namespace {

// the disk, with one chosen way of failing
class failing_device : public stream_device {
public:
    enum class fault { none, sync, close };
    failing_device(std::unique_ptr<stream_device> inner, fault f) : inner_(std::move(inner)), fault_(f) {}
    std::size_t read(std::uint8_t* into, std::size_t count) override { return inner_->read(into, count); }
    bool write(const std::uint8_t* from, std::size_t count) override { return inner_->write(from, count); }
    bool sync() override { return inner_->sync() && fault_ != fault::sync; }
    bool close() override { return inner_->close() && fault_ != fault::close; }
    std::int64_t size() override { return inner_->size(); }
    std::int64_t position() override { return inner_->position(); }

private:
    std::unique_ptr<stream_device> inner_;
    fault fault_;
};

device_maker disk_failing_at(failing_device::fault f) {
    return [f](const std::string& path, file_access access, std::string& why) -> std::unique_ptr<stream_device> {
        auto disk = open_disk_device(path, access, why);
        if (!disk) return nullptr;
        return std::make_unique<failing_device>(std::move(disk), f);
    };
}

// no room for a new file (a full disk, no free inodes, a quota), while the
// old file still opens and then fails part-way: written in place, it would
// be cut short
device_maker disk_without_room() {
    return [](const std::string& path, file_access access, std::string& why) -> std::unique_ptr<stream_device> {
        if (access != file_access::create_new) return breaking_disk(never, 10)(path, access, why);
        why = write_failure(ENOSPC);
        return nullptr;
    };
}

}  // namespace

class SaveFaults : public InTempFolder {
protected:
    void SetUp() override {
        InTempFolder::SetUp();
        add_crowd(a.figure, 3, 3, 50, 50);  // balls, links and tensions: every kind of record
        a.mode = figure_mode::play;
        a.number_balls();
        size = figure_bytes(a.figure).size();
        put("doc.fkn", three_balls());
        ::chmod("doc.fkn", 0640);
        a.document.path = "doc.fkn";
    }
    void TearDown() override {
        use_file_mover(nullptr);
        InTempFolder::TearDown();
    }
    // Save, then what must hold when it failed
    void save_fails(const std::string& fault) {
        a.menu->save_label = "Save";
        a.menu->save_message_frames = 0;
        a.save_document();
        EXPECT_EQ(a.menu->save_label, "Save failed!") << fault;
        EXPECT_EQ(a.menu->save_message_frames, 60) << fault;
        EXPECT_EQ(get("doc.fkn"), three_balls()) << fault;
        EXPECT_EQ(entries(), 1u) << fault << ": a stray file was left";
        EXPECT_EQ(a.document.path, "doc.fkn") << fault;
    }
    std::size_t size = 0;
};

TEST_F(SaveFaults, AWriteFailingAtAnyByteKeepsThePreviousFile) {
    ASSERT_GT(size, 500u);
    for (std::size_t offset = 0; offset < size; ++offset) {
        use_device_maker(breaking_disk(never, static_cast<std::int64_t>(offset)));
        save_fails("writes failing from byte " + std::to_string(offset));
        if (HasFailure()) break;
    }
    // the disk mended, the same save goes through, and the document keeps its permissions
    use_device_maker(nullptr);
    a.save_document();
    EXPECT_EQ(a.menu->save_label, "Saved!");
    EXPECT_EQ(get("doc.fkn"), figure_bytes(a.figure));
    struct stat info {};
    ASSERT_EQ(::stat("doc.fkn", &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST_F(SaveFaults, SyncCloseRenameAndFullDiskFailuresKeepThePreviousFile) {
    use_device_maker(disk_failing_at(failing_device::fault::sync));
    save_fails("the sync fails");
    use_device_maker(disk_failing_at(failing_device::fault::close));
    save_fails("written bytes are lost at close");
    use_device_maker(disk_without_room());
    save_fails("no room for a new file");
    use_device_maker(nullptr);
    int renames = 0;
    use_file_mover([&](const std::string&, const std::string&) {
        ++renames;
        return EXDEV;
    });
    save_fails("the rename fails");
    EXPECT_EQ(renames, 1);
}

TEST_F(SaveFaults, SaveAsThatFailsAtAnyByteCreatesNothing) {
    for (std::size_t offset = 0; offset < size; offset += 7) {
        use_device_maker(breaking_disk(never, static_cast<std::int64_t>(offset)));
        hb.requester_answers = {"new.fkn"};
        a.menu->save_message_frames = 0;
        a.save_document_as();
        EXPECT_EQ(a.menu->save_label, "Save failed!") << offset;
        EXPECT_FALSE(std::filesystem::exists("new.fkn")) << offset;
        EXPECT_EQ(a.document.path, "doc.fkn") << offset;
        EXPECT_EQ(entries(), 2u) << offset << ": only doc.fkn and the document folder";
        if (HasFailure()) break;
    }
}

TEST_F(SaveFaults, ALinkStaysALinkAndOldUnfinishedSavesAreCleared) {
    std::filesystem::create_directory("real");
    std::filesystem::rename("doc.fkn", "real/doc.fkn");
    std::filesystem::create_symlink("real/doc.fkn", "doc.fkn");
    auto now = std::filesystem::file_time_type::clock::now();
    put("real/.flopkin-1-1", three_balls());
    put("real/.flopkin-1-2", three_balls());
    std::filesystem::last_write_time("real/.flopkin-1-1", now - std::chrono::minutes(61));
    std::filesystem::last_write_time("real/.flopkin-1-2", now - std::chrono::minutes(59));
    a.save_document();
    EXPECT_EQ(a.menu->save_label, "Saved!");
    EXPECT_TRUE(std::filesystem::is_symlink("doc.fkn"));
    EXPECT_EQ(get("real/doc.fkn"), figure_bytes(a.figure));
    EXPECT_FALSE(std::filesystem::exists("real/.flopkin-1-1"));
    EXPECT_TRUE(std::filesystem::exists("real/.flopkin-1-2"));
    EXPECT_EQ(entries(), 2u);
}

// A real disk that fills up: a small memory file system, when this process
// may mount one (as root); otherwise the injected lack of space stands in.
// Save says why as --record does.
TEST_F(SaveFaults, AFullDiskKeepsThePreviousFile) {
    std::filesystem::create_directory("small");
    if (::mount("flopkin", "small", "tmpfs", MS_NOSUID | MS_NODEV, "size=64k") != 0) {
        std::printf("[ NOTE     ] no small file system to fill (mount: %s); the injected lack of space stands in\n",
                    std::strerror(errno));
        std::filesystem::remove("small");
        use_device_maker(disk_without_room());
        save_fails("no room for a new file");
        return;
    }
    std::printf("[ NOTE     ] filling a 64k memory file system\n");
    put("small/doc.fkn", three_balls());
    {
        // fill the rest of the disk
        std::ofstream filler("small/filler", std::ios::binary);
        std::string block(4096, 'x');
        while (filler.write(block.data(), static_cast<std::streamsize>(block.size())) && filler.flush()) {
        }
    }
    a.document.path = "small/doc.fkn";
    a.save_document();
    bool failed = a.menu->save_label == "Save failed!";
    std::string said = a.notice.text;
    bool kept = get("small/doc.fkn") == three_balls();
    std::size_t left = static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator("small"), {}));
    std::filesystem::remove("small/filler");
    a.save_document();  // with room again it works
    bool saved_after = a.menu->save_label == "Saved!" && get("small/doc.fkn") == figure_bytes(a.figure);
    ASSERT_EQ(::umount2("small", MNT_DETACH), 0) << std::strerror(errno);
    EXPECT_TRUE(failed);
    EXPECT_EQ(said, "cannot save \"small/doc.fkn\": the disk is full");  // in the words of every writer
    EXPECT_TRUE(kept);
    EXPECT_EQ(left, 2u) << "only the document and the filler";
    EXPECT_TRUE(saved_after);
}

}  // namespace flopkin
