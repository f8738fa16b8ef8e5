#include "platform/sdl/held_over_keys.hpp"

#include <SDL2/SDL_syswm.h>
#include <X11/Xlib.h>

namespace flopkin {

void held_over_keys::take(SDL_Window* window) {
    if (!keys_held_now(window, held_)) held_.reset();
    last_press_ = -1;
    // X events come as SDL events only while a key is held over
    SDL_EventState(SDL_SYSWMEVENT, held_.any() ? SDL_ENABLE : SDL_DISABLE);
}

void held_over_keys::finish() {
    held_.reset();
    SDL_EventState(SDL_SYSWMEVENT, SDL_DISABLE);
}

bool held_over_keys::passes(const SDL_Event& event) {
    if (held_.none()) return true;
    switch (event.type) {
        case SDL_SYSWMEVENT: {
            const XEvent& x = event.syswm.msg->msg.x11.event;
            if (x.type == KeyPress) last_press_ = static_cast<int>(x.xkey.keycode);
            if (x.type == KeyRelease && x.xkey.keycode < held_.size()) {
                held_.reset(x.xkey.keycode);
                if (held_.none()) finish();
            }
            return false;
        }
        case SDL_KEYDOWN: {
            // a press without an X key press before it is one SDL makes up
            // itself for a modifier found held when the window gets the
            // keyboard back: held over as well
            int code = last_press_;
            last_press_ = -1;
            return code >= 0 && !held_.test(static_cast<std::size_t>(code));
        }
        default: return true;
    }
}

}  // namespace flopkin
