// The window messages every backend builds the same way: an lParam's two
// 16-bit halves, a key going down or up (with the character a control key
// types), a mouse button.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace platform {

// A window message's lParam from two 16-bit halves (a position, a size);
// each half keeps only its low 16 bits, as the desktop's does.
constexpr intptr_t MakeLParam(int low, int high) {
    return static_cast<intptr_t>((static_cast<uint32_t>(low) & 0xFFFFu) |
                                 ((static_cast<uint32_t>(high) & 0xFFFFu) << 16));
}
// The halves back, each 0 to 65535.
constexpr int LowWord(intptr_t value) { return static_cast<int>(static_cast<uintptr_t>(value) & 0xFFFFu); }
constexpr int HighWord(intptr_t value) { return static_cast<int>((static_cast<uintptr_t>(value) >> 16) & 0xFFFFu); }

// A key going down or up as the keyboard sends it: WM_KEYDOWN or WM_KEYUP
// with the virtual-key code, then for the key-down of a control key (Escape,
// Enter, Backspace, Tab) the WM_CHAR it types, which no text event brings.
// `post(message, wParam)` queues one message.
template <typename PostFn>
void PostKeyMessages(int virtualKey, bool down, PostFn&& post) {
    post(down ? WM_KEYDOWN : WM_KEYUP, static_cast<uintptr_t>(virtualKey));
    const int c = down ? ControlCharacterOfKey(virtualKey) : 0;
    if (c != 0) post(WM_CHAR, static_cast<uintptr_t>(c));
}

enum class MouseButton { Left, Middle, Right, Other };

// The message of a mouse button going down or up; 0 for a button the
// engine hears nothing of.
constexpr uint32_t MouseButtonMessage(MouseButton button, bool down) {
    switch (button) {
        case MouseButton::Left:
            return down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
        case MouseButton::Middle:
            return down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
        case MouseButton::Right:
            return down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
        default:
            return 0;
    }
}

}  // namespace platform
