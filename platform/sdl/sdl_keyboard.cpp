// The keyboard: keys through the player's key map to the game, typed control
// characters beside them, and F11 or Alt+Enter kept for the window.
#include <string>

#include "platform/sdl/sdl_backend.h"
#include "platform/sdl/sdl_keys.h"

namespace platform {

std::string SdlKeyName(std::string_view name) {
    const std::string text(name);
    const SDL_Scancode scancode = SDL_GetScancodeFromName(text.c_str());
    return scancode == SDL_SCANCODE_UNKNOWN ? "" : SDL_GetScancodeName(scancode);
}

void SdlPlatform::Translated(const SDL_KeyboardEvent& key) {
    const bool down = key.type == SDL_KEYDOWN;
    const SDL_Keycode sym = key.keysym.sym;
    // F11 and Alt+Enter are the window's, not the game's.
    const bool toggle =
        sym == SDLK_F11 || ((sym == SDLK_RETURN || sym == SDLK_KP_ENTER) && (key.keysym.mod & KMOD_ALT));
    if (toggle) {
        if (down && key.repeat == 0 && SetFullscreen(!inFullscreen)) {
            remembered.fullscreen = inFullscreen;
            Remember(kSettingFullscreen);
        }
        return;
    }
    // A letter's place on the keyboard counts only for keys that type no
    // ASCII character, so that letters bound by name work on any alphabet.
    const SDL_Scancode scancode = key.keysym.scancode;
    const bool typesAscii = sym > 0 && sym < 128;
    const std::string place =
        !typesAscii && scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z ? SDL_GetScancodeName(scancode) : "";
    const int vk = keyMap.VirtualKeyFor(SDL_GetKeyName(sym), place, VirtualKeyFromSdl(sym, scancode));
    if (vk == 0) return;
    SdlWindow* window = FromId(key.windowID);
    if (window == nullptr) window = mainWindow;
    // The keyboard's keys hold keys beside the controllers: a key-up while a
    // stick or another key still holds the same key says nothing.
    pad.Keyboard(scancode, vk, down, [this, window](int code, bool isDown) {
        PostKeyMessages(code, isDown,
                        [this, window](uint32_t message, uintptr_t wParam) { Post(window, message, wParam, 0); });
    });
}

}  // namespace platform
