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

}  // namespace

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
