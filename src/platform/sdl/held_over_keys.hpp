#pragma once
// Keys still held when a file requester closes. The program never saw them go
// down, so their auto-repeats would reach it as fresh presses (Escape held
// through a cancel would end the program). Each such key is kept from the
// program until it is released; other keys pass as usual. SDL's key events
// do not say which physical key they come from, so while any key is held
// over, the X event before each of them does.
#include <SDL2/SDL.h>

#include "platform/sdl/x11_window.hpp"

namespace flopkin {

class held_over_keys {
public:
    // the keys held now are held over
    void take(SDL_Window* window);
    // false for an event the program must not see
    bool passes(const SDL_Event& event);

private:
    void finish();

    x11_keys held_;
    int last_press_ = -1;  // X key code of the key press just seen, -1 for none
};

}  // namespace flopkin
