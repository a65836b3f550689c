#include "platform/platform.h"

#include <cstdio>
#include <cstdlib>

namespace platform {

namespace {
Platform* current = nullptr;
}

Platform& Current() {
    if (current == nullptr) {
        // A program must choose its backend before the engine runs; going on
        // would dereference nothing.
        std::fputs("Tarvo: no platform backend was installed before the engine started.\n", stderr);
        std::abort();
    }
    return *current;
}

void SetCurrent(Platform* platform) { current = platform; }

Platform* CurrentOrNull() { return current; }

int ControlCharacterOfKey(int virtualKey) {
    switch (virtualKey) {
        case VK_ESCAPE:
            return 27;
        case VK_RETURN:
            return 13;
        case VK_BACK:
            return 8;
        case VK_TAB:
            return 9;
        default:
            return 0;
    }
}

}  // namespace platform
