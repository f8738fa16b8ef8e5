#include "platform/sdl/x11_window.hpp"

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <X11/Xlib.h>

namespace flopkin {
namespace {

bool x11_of(SDL_Window* window, SDL_SysWMinfo& info) {
    SDL_VERSION(&info.version);
    return window && SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11;
}

// the fields of the _MOTIF_WM_HINTS property that window managers read, and their bits
enum motif_field { motif_flags, motif_functions, motif_decorations, motif_input_mode, motif_status, motif_fields };
constexpr long motif_has_functions = 1 << 0, motif_has_decorations = 1 << 1;
constexpr long function_move = 1 << 2, function_minimize = 1 << 3;
constexpr long decoration_border = 1 << 1, decoration_title = 1 << 3, decoration_menu = 1 << 4,
               decoration_minimize = 1 << 5;

}  // namespace

void ask_for_no_close(SDL_Window* window) {
    SDL_SysWMinfo info;
    if (!x11_of(window, info)) return;
    long hints[motif_fields] = {};
    hints[motif_flags] = motif_has_functions | motif_has_decorations;
    hints[motif_functions] = function_move | function_minimize;
    hints[motif_decorations] = decoration_border | decoration_title | decoration_menu | decoration_minimize;
    Display* display = info.info.x11.display;
    Atom property = XInternAtom(display, "_MOTIF_WM_HINTS", False);
    XChangeProperty(display, info.info.x11.window, property, property, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(hints), motif_fields);
    XFlush(display);
}

bool pointer_in_window(SDL_Window* window, int& x, int& y) {
    SDL_SysWMinfo info;
    if (!x11_of(window, info)) return false;
    ::Window root, child;
    int root_x, root_y;
    unsigned int buttons;
    return XQueryPointer(info.info.x11.display, info.info.x11.window, &root, &child, &root_x, &root_y, &x, &y,
                         &buttons) == True;
}

bool keys_held_now(SDL_Window* window, x11_keys& held) {
    SDL_SysWMinfo info;
    if (!x11_of(window, info)) return false;
    char keymap[32] = {};
    XQueryKeymap(info.info.x11.display, keymap);
    held.reset();
    for (int code = 0; code < 256; ++code)
        if (keymap[code / 8] & (1 << (code % 8))) held.set(code);
    return true;
}

}  // namespace flopkin
