#include "platform/sdl/sdl_keys.h"

#include "platform/platform.h"

namespace platform {

namespace {

struct ScancodeKey {
    SDL_Scancode scancode;
    int virtualKey;
};

// clang-format off
const ScancodeKey kScancodeKeys[] = {
    {SDL_SCANCODE_BACKSPACE, VK_BACK},      {SDL_SCANCODE_TAB, VK_TAB},
    {SDL_SCANCODE_RETURN, VK_RETURN},       {SDL_SCANCODE_KP_ENTER, VK_RETURN},
    {SDL_SCANCODE_LSHIFT, VK_SHIFT},        {SDL_SCANCODE_RSHIFT, VK_SHIFT},
    {SDL_SCANCODE_LCTRL, VK_CONTROL},       {SDL_SCANCODE_RCTRL, VK_CONTROL},
    {SDL_SCANCODE_LALT, VK_MENU},           {SDL_SCANCODE_RALT, VK_MENU},
    {SDL_SCANCODE_PAUSE, VK_PAUSE},         {SDL_SCANCODE_CAPSLOCK, VK_CAPITAL},
    {SDL_SCANCODE_ESCAPE, VK_ESCAPE},       {SDL_SCANCODE_SPACE, VK_SPACE},
    {SDL_SCANCODE_PAGEUP, VK_PRIOR},        {SDL_SCANCODE_PAGEDOWN, VK_NEXT},
    {SDL_SCANCODE_END, VK_END},             {SDL_SCANCODE_HOME, VK_HOME},
    {SDL_SCANCODE_LEFT, VK_LEFT},           {SDL_SCANCODE_UP, VK_UP},
    {SDL_SCANCODE_RIGHT, VK_RIGHT},         {SDL_SCANCODE_DOWN, VK_DOWN},
    {SDL_SCANCODE_INSERT, VK_INSERT},       {SDL_SCANCODE_DELETE, VK_DELETE},
    {SDL_SCANCODE_KP_MULTIPLY, VK_MULTIPLY}, {SDL_SCANCODE_KP_PLUS, VK_ADD},
    {SDL_SCANCODE_KP_MINUS, VK_SUBTRACT},   {SDL_SCANCODE_KP_PERIOD, VK_DECIMAL},
    {SDL_SCANCODE_KP_DIVIDE, VK_DIVIDE},    {SDL_SCANCODE_SEMICOLON, VK_OEM_1},
    {SDL_SCANCODE_EQUALS, VK_OEM_PLUS},     {SDL_SCANCODE_COMMA, VK_OEM_COMMA},
    {SDL_SCANCODE_MINUS, VK_OEM_MINUS},     {SDL_SCANCODE_PERIOD, VK_OEM_PERIOD},
    {SDL_SCANCODE_SLASH, VK_OEM_2},         {SDL_SCANCODE_GRAVE, VK_OEM_3},
    {SDL_SCANCODE_LEFTBRACKET, VK_OEM_4},   {SDL_SCANCODE_BACKSLASH, VK_OEM_5},
    {SDL_SCANCODE_RIGHTBRACKET, VK_OEM_6},  {SDL_SCANCODE_APOSTROPHE, VK_OEM_7},
};
// clang-format on

}  // namespace

int VirtualKeyFromSdl(SDL_Keycode sym, SDL_Scancode scancode) {
    if (sym >= SDLK_a && sym <= SDLK_z) return 'A' + (sym - SDLK_a);
    if (sym >= SDLK_0 && sym <= SDLK_9) return '0' + (sym - SDLK_0);
    if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12) return VK_F1 + (scancode - SDL_SCANCODE_F1);
    if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9)
        return VK_NUMPAD0 + 1 + (scancode - SDL_SCANCODE_KP_1);
    if (scancode == SDL_SCANCODE_KP_0) return VK_NUMPAD0;
    for (const ScancodeKey& key : kScancodeKeys)
        if (key.scancode == scancode) return key.virtualKey;
    // Letters on layouts whose letters are not ASCII (Cyrillic, Greek) go by
    // position; a key that types ASCII punctuation where QWERTY has a letter
    // (AZERTY's comma, Dvorak's) must not become that letter.
    const bool typesAscii = sym > 0 && sym < 128;
    if (!typesAscii && scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z)
        return 'A' + (scancode - SDL_SCANCODE_A);
    // The digit row is the digit row on every layout (AZERTY types digits
    // with Shift there).
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) return '1' + (scancode - SDL_SCANCODE_1);
    if (scancode == SDL_SCANCODE_0) return '0';
    return 0;
}

std::vector<uint32_t> DecodeUtf8(const char* text) {
    std::vector<uint32_t> codes;
    const auto* p = reinterpret_cast<const uint8_t*>(text);
    while (*p != 0) {
        uint32_t code = *p;
        int extra = 0;
        if (code >= 0xF0) {
            code &= 0x07;
            extra = 3;
        } else if (code >= 0xE0) {
            code &= 0x0F;
            extra = 2;
        } else if (code >= 0xC0) {
            code &= 0x1F;
            extra = 1;
        }
        ++p;
        for (int i = 0; i < extra && (*p & 0xC0) == 0x80; ++i, ++p) code = (code << 6) | (*p & 0x3F);
        codes.push_back(code);
    }
    return codes;
}

}  // namespace platform
