// Screen buffer operations: clipping, fills, text colour, saturation table.
#include <cstddef>
#include <cstring>

#include "engine/windows_dx.h"
#include "image/image.h"

bool WindowsDX::ClipImage(int x, int y, const Image* image, int& dstOffset, int& srcOffset, int& visibleWidth,
                          int& visibleHeight) {
    const int w = image->width;
    const int h = image->height;
    visibleWidth = w;
    visibleHeight = h;
    const int right = x + w - 1;
    const int bottom = y + h - 1;
    if (right < clipLeft || x > clipRight || bottom < clipTop || y > clipBottom) return false;

    dstOffset = clipTop * pitch + clipLeft;
    srcOffset = 0;
    if (x < clipLeft) {
        visibleWidth -= clipLeft - x;
        srcOffset += clipLeft - x;
    } else {
        dstOffset += x - clipLeft;
    }
    if (right > clipRight) visibleWidth -= right - clipRight;
    if (y < clipTop) {
        visibleHeight -= clipTop - y;
        srcOffset += (clipTop - y) * w;
    } else {
        dstOffset += (y - clipTop) * pitch;
    }
    if (bottom > clipBottom) visibleHeight -= bottom - clipBottom;
    return true;
}

void WindowsDX::SetClipRect(int left, int top, int right, int bottom) {
    clipLeft = left;
    clipTop = top;
    clipRight = right;
    clipBottom = bottom;
}

void WindowsDX::SetTextRGB(int r, int g, int b) {
    textRed = r;
    textGreen = g;
    textBlue = b;
    textColor = static_cast<uint32_t>(r & 0xFF) | static_cast<uint32_t>(g & 0xFF) << 8 |
                static_cast<uint32_t>(b & 0xFF) << 16;
}

void WindowsDX::ClearScreen() {
    auto* row = reinterpret_cast<uint8_t*>(backBuffer);
    for (int y = 0; y < screenHeight; ++y) {
        std::memset(row, 0, static_cast<size_t>(pitchBytes));
        row += static_cast<ptrdiff_t>(pitch) * 2;
    }
}

void WindowsDX::FillRect(int x1, int y1, int x2, int y2, int r, int g, int b) {
    const uint16_t colour = static_cast<uint16_t>(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
    if (y1 > y2 || x1 > x2) return;
    const size_t count = static_cast<size_t>(x2 - x1) + 1;
    for (int y = y1; y <= y2; ++y) {
        uint16_t* p = backBuffer + static_cast<ptrdiff_t>(y) * pitch + x1;
        for (size_t i = 0; i < count; ++i) p[i] = colour;
    }
}

void WindowsDX::MakeSaturationTable() {
    // Rebuilding replaces the old table instead of leaking it.
    delete[] saturationTable;
    saturationTable = new uint16_t[1024];
    for (int i = 0; i < 32; ++i)
        for (int j = 0; j < 32; ++j) saturationTable[i * 32 + j] = static_cast<uint16_t>(i + j < 31 ? i + j : 31);
}
