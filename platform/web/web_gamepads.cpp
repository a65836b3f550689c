// Standard-mapping gamepads as keys, through the desktop's translator: the
// page reads the pads (once a frame while one is in use, twice a second
// while none is) and a pad gone lets go of what it held.
#include "platform/web/web_backend.h"

namespace platform {

// The gamepads' buttons and sticks since the last look; each pad the page
// gives is five numbers (see library_gamepads.js).
void BrowserPlatform::ReadGamepads() {
    int slots[kMaxPads * 5] = {};
    const int n = PageReadGamepads(slots, kMaxPads);
    const auto post = [this](int vk, bool down) { PostKey(vk, down); };
    for (int i = 0; i < kMaxPads; ++i) {
        const int* slot = &slots[i * 5];
        PadState now;
        if (i < n && slot[0] != 0) now = {true, static_cast<uint32_t>(slot[1]), slot[2], slot[3]};
        PadState& was = padStates[i];
        if (was.connected && !now.connected) pads.Removed(i, post);
        if (!now.connected) now = PadState{};
        if (now.connected) {
            // A pad not seen before counts from all buttons up, stick centred.
            for (int b = 0; b < 17; ++b) {
                const bool down = (now.buttons >> b & 1u) != 0;
                if (down != ((was.buttons >> b & 1u) != 0)) pads.Button(i, StandardPadButton(b), down, post);
            }
            if (now.x != was.x) pads.Axis(i, PadAxis::LeftX, PadAxisValue(now.x / 1000.0), post);
            if (now.y != was.y) pads.Axis(i, PadAxis::LeftY, PadAxisValue(now.y / 1000.0), post);
        }
        was = now;
    }
}

}  // namespace platform
