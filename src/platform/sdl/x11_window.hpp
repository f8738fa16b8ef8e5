#pragma once
// What SDL does not offer on X11: asking the window manager for a window
// without a close function, and the keyboard and the pointer as the server
// sees them right now. Each does nothing, or answers false, when the window
// is not an X11 window.
#include <bitset>

struct SDL_Window;

namespace flopkin {

// one bit per X key code
using x11_keys = std::bitset<256>;

// title, border, move and minimize, but no close control (nor resize or
// maximize: the window has one size); asked before the window is shown, so
// the window manager decorates it so from the start
void ask_for_no_close(SDL_Window* window);

// the pointer in the window's pixels
bool pointer_in_window(SDL_Window* window, int& x, int& y);

// the keys held down now
bool keys_held_now(SDL_Window* window, x11_keys& held);

}  // namespace flopkin
