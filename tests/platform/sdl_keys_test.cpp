// SDL keys to virtual keys on the layouts players use: letters and digits by
// what the key types, the rest by position, and the position of a letter only
// for keys that type no ASCII character (Cyrillic, Greek) — never for
// punctuation that a layout puts where QWERTY has a letter.
#include "platform/sdl/sdl_keys.h"

#include <gtest/gtest.h>

#include "platform/platform.h"

namespace platform {
namespace {

struct KeyCase {
    const char* what;
    SDL_Keycode sym;
    SDL_Scancode scancode;
    int virtualKey;
};

TEST(SdlKeys, VirtualKeyByLayout) {
    const KeyCase cases[] = {
        {"QWERTY P", SDLK_p, SDL_SCANCODE_P, 'P'},
        {"AZERTY A (QWERTY Q's place)", SDLK_a, SDL_SCANCODE_Q, 'A'},
        {"AZERTY comma (QWERTY M's place) is no M", SDLK_COMMA, SDL_SCANCODE_M, 0},
        {"Dvorak comma (QWERTY W's place) is no W", SDLK_COMMA, SDL_SCANCODE_W, 0},
        {"Dvorak period (QWERTY E's place) is no E", SDLK_PERIOD, SDL_SCANCODE_E, 0},
        {"AZERTY semicolon (QWERTY comma's place) by position", SDLK_SEMICOLON, SDL_SCANCODE_COMMA, VK_OEM_COMMA},
        {"Cyrillic letter in P's place", 0x0437, SDL_SCANCODE_P, 'P'},
        {"unknown symbol in M's place", SDLK_UNKNOWN, SDL_SCANCODE_M, 'M'},
        {"AZERTY digit row: '&' in 1's place", SDLK_AMPERSAND, SDL_SCANCODE_1, '1'},
        {"AZERTY digit row: non-ASCII in 2's place", 0x00E9, SDL_SCANCODE_2, '2'},
        {"space", SDLK_SPACE, SDL_SCANCODE_SPACE, VK_SPACE},
        {"left arrow", SDLK_LEFT, SDL_SCANCODE_LEFT, VK_LEFT},
        {"F5", SDLK_F5, SDL_SCANCODE_F5, VK_F1 + 4},
        {"keypad 0", SDLK_KP_0, SDL_SCANCODE_KP_0, VK_NUMPAD0},
        {"an unmapped key", SDLK_APPLICATION, SDL_SCANCODE_APPLICATION, 0},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(VirtualKeyFromSdl(c.sym, c.scancode), c.virtualKey);
    }
}

TEST(SdlKeys, DecodeUtf8) {
    EXPECT_EQ(DecodeUtf8("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"), (std::vector<uint32_t>{'a', 0xE9, 0x20AC, 0x1F600}));
    // A sequence cut short ends at the next lead byte.
    EXPECT_EQ(DecodeUtf8("\xC3z"), (std::vector<uint32_t>{0x03, 'z'}));
}

}  // namespace
}  // namespace platform
