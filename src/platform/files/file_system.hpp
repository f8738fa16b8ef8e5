#pragma once
// File-system operations of the documents: folders, deletion, and the safe
// replacement of a file's content.
#include <functional>
#include <string>

#include "platform/files/stream.hpp"

namespace flopkin {

// true when nothing exists at the path afterwards
bool delete_file(const std::string& path);

// creates the last element of the path only; true when a folder exists there afterwards
bool create_folder(const std::string& path);

// the longest path a document may have
constexpr std::size_t longest_path = 1023;

// Gives the path a new content without ever leaving it half-written: `fill`
// writes into a fresh file in the same folder, which is synced and then
// renamed over the path. On any failure the old file (if any) is untouched,
// the fresh file is removed and `why` says what went wrong. One exception:
// when the folder may not be changed but the file may (a document of one's
// own in someone else's folder), the file is emptied and written in place,
// which a failure half-way leaves damaged. A path that is a symbolic link
// stays one: the file it points to is replaced. A save that went through
// removes the fresh files of earlier saves in the folder that never finished
// and are over an hour old. `before_move`, when given, sees
// the fresh file complete, just before it takes the path. Safe on any thread.
bool replace_file(const std::string& path, const std::function<void(stream&)>& fill, std::string& why,
                  const std::function<void(const std::string& fresh)>& before_move = {});

// Moves the fresh file over the path: 0, or the errno of the failure. The
// disk's rename unless a test installed another (fault injection) on the
// calling thread; null restores the disk; returns the previous one.
using file_mover = std::function<int(const std::string& from, const std::string& to)>;
file_mover use_file_mover(file_mover mover);

}  // namespace flopkin
