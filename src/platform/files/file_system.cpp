#include "platform/files/file_system.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>

namespace flopkin {

namespace {

// the folder part of a path, "." when it has none
std::string folder_of(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// the rename is lasting only once the folder itself is synced; a folder
// that cannot be opened for that still holds the new file
void sync_folder(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// what keeps a new file out of the folder, or the old one from being
// replaced, while the file itself may still be writable
bool folder_refused(const std::string& why) { return why == std::strerror(EACCES) || why == std::strerror(EPERM); }

// fills, syncs and closes a stream; false with `why` when any of it failed
bool write_out(std::unique_ptr<stream> out, const std::function<void(stream&)>& fill, std::string& why) {
    fill(*out);
    out->sync();
    if (out->close()) return true;
    why = out->error();
    return false;
}

// the old content gives way at once: not atomic, the last resort. For a
// file that is not there the folder's refusal stays the reason.
bool write_in_place(const std::string& native, const std::function<void(stream&)>& fill, std::string& why) {
    std::string refused = why;
    std::unique_ptr<stream> out = open_stream(native, file_access::overwrite, why);
    if (!out) {
        if (why == std::strerror(ENOENT)) why = refused;
        return false;
    }
    return write_out(std::move(out), fill, why);
}

// A document that is a symbolic link stays one: the file it points to (as
// resolved now) is what gets written, and the fresh file goes in its folder.
std::string written_path(const std::string& native) {
    struct stat info {};
    if (::lstat(native.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return native;
    std::error_code ec;
    std::filesystem::path target = std::filesystem::weakly_canonical(native, ec);
    return ec ? native : target.string();
}

// the fresh files of saves that never finished (a kill half-way) go once they
// are an hour old: their age, not their process id, says no save is using them
void remove_stale_fresh_files(const std::string& folder) {
    const auto hour_ago = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        std::string name = entry.path().filename().string();
        if (name.rfind(".flopkin-", 0) != 0 || name.find_first_not_of("0123456789-", 9) != std::string::npos) continue;
        std::error_code old;
        if (entry.is_regular_file(old) && entry.last_write_time(old) < hour_ago && !old)
            std::filesystem::remove(entry.path(), old);
    }
}

int disk_rename(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

// each thread's own, as the stream's device maker
file_mover& current_mover() {
    thread_local file_mover mover = disk_rename;
    return mover;
}

}  // namespace

file_mover use_file_mover(file_mover mover) {
    file_mover previous = current_mover();
    current_mover() = mover ? std::move(mover) : file_mover(disk_rename);
    return previous;
}

bool delete_file(const std::string& path) {
    std::string native = native_path(path);
    ::unlink(native.c_str());
    struct stat info {};
    return ::lstat(native.c_str(), &info) != 0 && errno == ENOENT;
}

bool create_folder(const std::string& path) {
    std::string native = native_path(path);
    ::mkdir(native.c_str(), 0777);
    struct stat info {};
    return ::stat(native.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool replace_file(const std::string& path, const std::function<void(stream&)>& fill, std::string& why,
                  const std::function<void(const std::string& fresh)>& before_move) {
    std::string native = native_path(path);
    if (native.empty() || native.back() == '/') {
        why = std::strerror(EISDIR);
        return false;
    }
    native = written_path(native);
    if (native.size() > longest_path) {
        why = std::strerror(ENAMETOOLONG);
        return false;
    }
    std::string folder = folder_of(native);

    // a short name of our own in the same folder, so the rename cannot cross
    // file systems and a document's name of up to 255 bytes leaves room for it
    static std::atomic<unsigned> counter = 0;
    std::string fresh;
    std::unique_ptr<stream> out;
    for (int attempt = 0; attempt < 16 && !out; ++attempt) {
        fresh = folder + "/.flopkin-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        out = open_stream(fresh, file_access::create_new, why);
        if (!out && why != std::strerror(EEXIST)) break;
    }
    if (!out) return folder_refused(why) && write_in_place(native, fill, why);

    if (!write_out(std::move(out), fill, why)) {
        delete_file(fresh);
        return false;
    }
    // the document keeps the permissions it had
    struct stat old {};
    if (::stat(native.c_str(), &old) == 0 && S_ISREG(old.st_mode)) ::chmod(fresh.c_str(), old.st_mode & 07777);
    if (before_move) before_move(fresh);
    if (int failure = current_mover()(fresh, native)) {
        why = std::strerror(failure);
        delete_file(fresh);
        // a folder that lets us add files but not replace another's (sticky)
        return folder_refused(why) && write_in_place(native, fill, why);
    }
    sync_folder(folder);
    remove_stale_fresh_files(folder);
    return true;
}

}  // namespace flopkin
