#pragma once
// The modal file requester on GTK 3's file chooser.
#include <string>

struct SDL_Window;

namespace flopkin {

// The chosen path, or "" when the user cancels or when GTK cannot start. A
// file to open is one that exists, at a path of at most 1023 characters; a
// path to save at may be longer, and then the save fails. `parent` (may be null) is kept
// below the dialog and gets the keyboard back afterwards, with every event
// queued for it meanwhile dropped. `shortcut`, when it names a folder, is
// offered in the sidebar (where unsaved figures are kept). A signal that
// ends the program closes the requester as Cancel does.
std::string gtk_request_file(SDL_Window* parent, const std::string& prompt, const std::string& filter, bool save,
                             const std::string& initial_path, const std::string& shortcut);

}  // namespace flopkin
