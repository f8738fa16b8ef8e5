#pragma once
// What SDL does not offer on X11: the keyboard and the pointer as the server
// sees them right now. Each does nothing, or answers false, when the window
// is not an X11 window.
#include <bitset>

struct SDL_Window;

namespace flopkin {

// one bit per X key code
using x11_keys = std::bitset<256>;

// the pointer in the window's pixels
bool pointer_in_window(SDL_Window* window, int& x, int& y);

// the keys held down now
bool keys_held_now(SDL_Window* window, x11_keys& held);

}  // namespace flopkin
