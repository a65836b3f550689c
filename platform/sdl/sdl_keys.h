// SDL keys to the engine's virtual-key codes.
#pragma once

#include <SDL.h>

namespace platform {

// The virtual-key code for an SDL key, or 0 for keys the engine has no code
// for. Letters and digits follow the keyboard layout (the key that types 'P'
// is 'P'); the rest go by position.
int VirtualKeyFromSdl(SDL_Keycode sym, SDL_Scancode scancode);

}  // namespace platform
