// The smallest game on Tarvo: a picture that the arrow keys move. Escape quits.
#include <tarvo/tarvo.h>

#include <cstdlib>

namespace {
Image picture;
int x = 144, y = 104;
}  // namespace

void initialize() {
    Tarvo.Initialize(false, 320, 240);
    if (Tarvo.status != INIT_OK) return;  // the entry point reports why
    // A diamond drawn in code; black becomes the transparent key.
    picture.Allocate(32, 32, IMAGE_RGB24);
    for (int i = 0; i < 32 * 32; ++i) {
        const bool inside = std::abs(i % 32 - 16) + std::abs(i / 32 - 16) < 16;
        picture.data[3 * i] = inside ? 255 : 0;
        picture.data[3 * i + 1] = inside ? (i % 32) * 8 : 0;
        picture.data[3 * i + 2] = inside ? (i / 32) * 8 : 0;
    }
    picture.PrepareForScreen(0);
}

void run() {
    x += 2 * (Tarvo.IsKeyDown(platform::VK_RIGHT) - Tarvo.IsKeyDown(platform::VK_LEFT));
    y += 2 * (Tarvo.IsKeyDown(platform::VK_DOWN) - Tarvo.IsKeyDown(platform::VK_UP));
    if (Tarvo.BeginDraw()) {
        Tarvo.ClearScreen();
        Tarvo.DrawTransparent(x, y, &picture);
        Tarvo.EndDraw();
    }
    Tarvo.GetKey();
    Tarvo.ViewUpdate();
}
