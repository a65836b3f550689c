// SDL keys and typed text to the engine's codes. Pure translation: no SDL
// call, only its key and scancode numbers.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <vector>

namespace platform {

// The virtual-key code for an SDL key, or 0 for keys the engine has no code
// for. Letters and digits follow the keyboard layout (the key that types 'P'
// is 'P'); the rest go by position. A letter's position counts only for keys
// that type no ASCII character, so punctuation never becomes a letter.
int VirtualKeyFromSdl(SDL_Keycode sym, SDL_Scancode scancode);

// The code points of a NUL-terminated UTF-8 text, as SDL's text events carry
// it. A sequence cut short ends where the next lead byte begins.
std::vector<uint32_t> DecodeUtf8(const char* text);

}  // namespace platform
