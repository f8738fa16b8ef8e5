// The figure outlives the program: when a run with a window ends with a
// figure that was changed since it was last opened or saved, it is written
// to a recovery file in the user's state folder, which the user opens like
// any other document.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/app.hpp"
#include "files/document_format.hpp"
#include "platform/file_system.hpp"

namespace flopkin {

namespace {

// $XDG_STATE_HOME/flopkin/unsaved.fkn, or below ~/.local/state when that is
// unset, empty or not an absolute path; "" when there is no home either
std::string recovery_path() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/') return std::string(state) + "/flopkin/unsaved.fkn";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return std::string(home) + "/.local/state/flopkin/unsaved.fkn";
    return "";
}

// every folder on the way to the file, the missing ones created
bool create_folders_to(const std::string& file) {
    for (std::size_t slash = file.find('/', 1); slash != std::string::npos; slash = file.find('/', slash + 1))
        if (!create_folder(file.substr(0, slash))) return false;
    return true;
}

}  // namespace

// a figure in play mode has moved since anything was opened or saved
bool app::figure_changed() const { return mode == play_mode || history.figure_id() != kept_figure; }

void app::keep_unsaved_figure() {
    if (figure.balls.is_empty() || !figure_changed()) return;
    std::string path = recovery_path();
    if (path.empty()) {
        std::fprintf(stderr, "flopkin: the unsaved figure is lost: neither XDG_STATE_HOME nor HOME names a folder\n");
        return;
    }
    std::string why = "its folder cannot be created";
    if (create_folders_to(path)) {
        // written as Save would write it
        number_balls();
        if (mode == draw_mode) build_tensions();
        if (replace_file(path, [this](stream& out) { write_figure(out, figure); }, why)) {
            std::fprintf(stderr, "flopkin: the unsaved figure was kept in \"%s\"\n", path.c_str());
            return;
        }
    }
    std::fprintf(stderr, "flopkin: the unsaved figure is lost: cannot write \"%s\": %s\n", path.c_str(), why.c_str());
}

}  // namespace flopkin
