#include "platform/sdl/gtk_requester.hpp"

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <filesystem>
#include <system_error>

#include "platform/files/file_filter.hpp"
#include "platform/files/file_system.hpp"
#include "platform/termination.hpp"

namespace flopkin {
namespace {

// GTK starts once, after SDL; it must not touch LC_NUMERIC (documents and
// number text rely on the C locale), and it shares SDL's X11 display server
bool gtk_ready() {
    static const bool ready = [] {
        gdk_set_allowed_backends("x11");
        gtk_disable_setlocale();
        return gtk_init_check(nullptr, nullptr) != FALSE;
    }();
    return ready;
}

// without a window manager the dialog gets no keyboard unless it asks
gboolean take_focus(GtkWidget* widget, GdkEvent*, gpointer) {
    if (GdkWindow* window = gtk_widget_get_window(widget)) gdk_window_focus(window, GDK_CURRENT_TIME);
    return FALSE;
}

void keep_above(GtkWidget* dialog, SDL_Window* parent) {
    gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!parent || !SDL_GetWindowWMInfo(parent, &info) || info.subsystem != SDL_SYSWM_X11) return;
    GdkDisplay* display = gdk_display_get_default();
    if (!GDK_IS_X11_DISPLAY(display)) return;
    GdkWindow* foreign = gdk_x11_window_foreign_new_for_display(display, info.info.x11.window);
    if (!foreign) return;
    gtk_widget_realize(dialog);
    gdk_window_set_transient_for(gtk_widget_get_window(dialog), foreign);
    g_object_unref(foreign);
}

void add_filters(GtkFileChooser* chooser, const std::string& filter) {
    bool first = true;
    for (const filter_group& group : parse_file_filter(filter)) {
        GtkFileFilter* f = gtk_file_filter_new();
        gtk_file_filter_set_name(f, group.label.c_str());
        for (const std::string& pattern : group.patterns) gtk_file_filter_add_pattern(f, pattern.c_str());
        gtk_file_chooser_add_filter(chooser, f);  // the chooser takes the reference
        if (first) gtk_file_chooser_set_filter(chooser, f);
        first = false;
    }
}

// proposes the folder and the file name of the initial path; "\" counts as
// a separator too. Without one the requester opens in the working folder,
// never in GTK's list of recent files: a path typed there reaches entries
// that the list has not realized yet, and GTK reports criticals for each key.
void propose(GtkFileChooser* chooser, std::string initial_path, bool save) {
    for (char& c : initial_path)
        if (c == '\\') c = '/';
    std::error_code ec;
    std::filesystem::path path = initial_path.empty() ? std::filesystem::current_path(ec)
                                                      : std::filesystem::absolute(initial_path, ec);
    if (ec) return;
    std::filesystem::path folder = path.parent_path();
    std::string name = path.filename().string();
    if (std::filesystem::is_directory(path, ec)) {
        folder = path;
        name.clear();
    }
    if (std::filesystem::is_directory(folder, ec)) gtk_file_chooser_set_current_folder(chooser, folder.c_str());
    if (name.empty()) return;
    if (save)
        gtk_file_chooser_set_current_name(chooser, name.c_str());
    else if (std::filesystem::is_regular_file(path, ec))
        gtk_file_chooser_select_filename(chooser, path.c_str());
}

// a signal that ends the program answers as Cancel does, within 0.2 s
gboolean cancel_when_ending(gpointer dialog) {
    if (terminate_requested()) gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_CANCEL);
    return G_SOURCE_CONTINUE;
}

// asks until the user cancels or gives an acceptable path. A path to save at
// comes back whatever its length, so that one too long fails as a save does;
// to open, only an existing file within the length limit is acceptable.
std::string ask(GtkWidget* dialog, bool save) {
    GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
    while (true) {
        // Escape answers GTK_RESPONSE_DELETE_EVENT: everything but accept cancels
        if (gtk_dialog_run(GTK_DIALOG(dialog)) != GTK_RESPONSE_ACCEPT) return "";
        gchar* chosen = gtk_file_chooser_get_filename(chooser);
        std::string path = chosen ? chosen : "";
        g_free(chosen);
        if (path.empty()) return "";
        std::error_code ec;
        if (save || (path.size() <= longest_path && std::filesystem::is_regular_file(path, ec))) return path;
    }
}

// lets GTK take the dialog off the screen before the program draws again
void settle_gtk() {
    for (int round = 0; round < 3; ++round) {
        while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
        gdk_display_sync(gdk_display_get_default());
    }
    while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
}

// the press on the menu button that asks for a file is still held when the
// requester is wanted, and while a button is held the window keeps the
// pointer to itself, so the dialog would get no clicks at all. let the press
// end first: its release reaches the window, which then lets the pointer go.
// a press whose release never arrives holds the dialog back 10 s at most.
void let_press_end() {
    Uint32 deadline = SDL_GetTicks() + 10000;
    while (SDL_GetGlobalMouseState(nullptr, nullptr) != 0 && !SDL_TICKS_PASSED(SDL_GetTicks(), deadline) &&
           !terminate_requested()) {
        SDL_PumpEvents();
        SDL_Delay(5);
    }
    // the release may still be on its way to the window
    deadline = SDL_GetTicks() + 100;
    while (SDL_GetMouseState(nullptr, nullptr) != 0 && !SDL_TICKS_PASSED(SDL_GetTicks(), deadline)) {
        SDL_PumpEvents();
        SDL_Delay(5);
    }
}

// no key typed into the dialog may reach the program
void give_back_focus(SDL_Window* parent) {
    if (parent) {
        SDL_RaiseWindow(parent);
        SDL_SetWindowInputFocus(parent);
    }
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
}

}  // namespace

std::string gtk_request_file(SDL_Window* parent, const std::string& prompt, const std::string& filter, bool save,
                             const std::string& initial_path, const std::string& shortcut) {
    if (!gtk_ready()) return "";
    let_press_end();
    if (terminate_requested()) return "";
    std::error_code ec;
    std::filesystem::path working_directory = std::filesystem::current_path(ec);

    GtkWidget* dialog = gtk_file_chooser_dialog_new(
        prompt.c_str(), nullptr, save ? GTK_FILE_CHOOSER_ACTION_SAVE : GTK_FILE_CHOOSER_ACTION_OPEN, "_Cancel",
        GTK_RESPONSE_CANCEL, save ? "_Save" : "_Open", GTK_RESPONSE_ACCEPT, nullptr);
    GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
    gtk_file_chooser_set_local_only(chooser, TRUE);
    gtk_file_chooser_set_do_overwrite_confirmation(chooser, save ? TRUE : FALSE);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_ACCEPT);
    add_filters(chooser, filter);
    propose(chooser, initial_path, save);
    std::error_code no_folder;
    if (!shortcut.empty() && std::filesystem::is_directory(shortcut, no_folder))
        gtk_file_chooser_add_shortcut_folder(chooser, shortcut.c_str(), nullptr);
    g_signal_connect(dialog, "map-event", G_CALLBACK(take_focus), nullptr);
    keep_above(dialog, parent);

    guint watch = g_timeout_add(200, cancel_when_ending, dialog);
    std::string chosen = ask(dialog, save);
    g_source_remove(watch);
    gtk_widget_destroy(dialog);
    settle_gtk();
    give_back_focus(parent);

    if (!ec && std::filesystem::current_path(ec) != working_directory)
        std::filesystem::current_path(working_directory, ec);
    return chosen;
}

}  // namespace flopkin
