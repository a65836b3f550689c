// A ready 16-bit screen in the engine object, without any platform: a pixel
// buffer, pitch, row table, full-screen clip rectangle, pixel format and the
// drawing slots, as if the engine had started. For drawing tests.
//
//   ScreenFixture screen(8, 4, ScreenFixture::k565);
//   Tarvo.DrawSolid(1, 1, &image);
//   EXPECT_EQ(screen.At(1, 1), 0x1234);
#pragma once

#include <cstdint>
#include <vector>

#include "base/pixel_format.h"
#include "draw/blit.h"
#include "engine/windows_dx.h"
#include "tests/support/engine_reset.h"

class ScreenFixture {
public:
    enum Layout { k565, k555 };

    // rowPadding: extra pixels at the end of each row (pitch > width).
    ScreenFixture(int width, int height, Layout layout = k565, int rowPadding = 0, uint16_t fill = 0)
        : width(width), height(height), pixels(static_cast<size_t>((width + rowPadding) * height), fill) {
        ResetEngine();
        if (layout == k565)
            SetPixelFormat(0xF800, 0x07E0, 0x001F);
        else
            SetPixelFormat(0x7C00, 0x03E0, 0x001F);
        Tarvo.pitch = width + rowPadding;
        Tarvo.pitchBytes = Tarvo.pitch * 2;
        Tarvo.screenHeight = height;
        Tarvo.screenWidth = width;
        Tarvo.backBuffer = pixels.data();
        Tarvo.rowOffset.assign(static_cast<size_t>(height) + 1, 0);
        for (int y = 0; y <= height; ++y) Tarvo.rowOffset[static_cast<size_t>(y)] = y * Tarvo.pitch;
        Tarvo.SetClipRect(0, 0, width - 1, height - 1);
        Tarvo.DrawPixel = &DrawPixel16;
        Tarvo.DrawSolid = &DrawSolid16;
        Tarvo.DrawTransparent = &DrawTransparent16;
        Tarvo.DrawAlpha = &DrawAlpha16;
        Tarvo.DrawAdditive = &DrawAdditive16;
    }
    ~ScreenFixture() { Tarvo.backBuffer = nullptr; }

    uint16_t& At(int x, int y) { return pixels[static_cast<size_t>(y * Tarvo.pitch + x)]; }

    const int width;
    const int height;
    std::vector<uint16_t> pixels;
};
