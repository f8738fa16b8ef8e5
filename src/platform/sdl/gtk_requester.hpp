#pragma once
// The modal file requester on GTK 3's file chooser.
#include <string>

struct SDL_Window;

namespace flopkin {

// The chosen path, or "" when the user cancels, when the path is longer than
// 1023 characters, or when GTK cannot start. `parent` (may be null) is kept
// below the dialog and gets the keyboard back afterwards, with every event
// queued for it meanwhile dropped.
std::string gtk_request_file(SDL_Window* parent, const std::string& prompt, const std::string& filter, bool save,
                             const std::string& initial_path);

}  // namespace flopkin
