#pragma once
// SDL key symbols as the program's virtual-key codes 1-255 (Escape = 27).
#include <SDL2/SDL_keyboard.h>

namespace flopkin {

// 0 for keys that have no code
int virtual_key(const SDL_Keysym& keysym);
// the Ctrl and Shift of a key event as the program's modifier bits
int key_modifiers(Uint16 mod);

}  // namespace flopkin
