// SDL keys to the engine's virtual-key codes.
#pragma once

#include <SDL.h>

namespace platform {

// The virtual-key code for an SDL key, or 0 for keys the engine has no code
// for. Letters and digits follow the keyboard layout (the key that types 'P'
// is 'P'); the rest go by position.
int VirtualKeyFromSdl(SDL_Keycode sym, SDL_Scancode scancode);

// The character a key types that SDL reports no text for (Escape 27, Enter
// 13, Backspace 8, Tab 9); 0 for every other key.
int ControlCharacterFromVirtualKey(int virtualKey);

}  // namespace platform
