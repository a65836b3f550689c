// Screen buffer operations: clipping, fills, text colour, saturation table.
#include "draw/screen.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "base/pixel_format.h"
#include "image/image.h"

ScreenBuffer::~ScreenBuffer() {
    delete[] saturationTable;
    saturationTable = nullptr;
}

bool ScreenBuffer::ClipImage(int x, int y, const Image* image, int& dstOffset, int& srcOffset, int& visibleWidth,
                             int& visibleHeight) {
    const int w = image->width;
    const int h = image->height;
    visibleWidth = w;
    visibleHeight = h;
    // Worked in 64 bits so that positions near the int limits cannot wrap into view.
    const int64_t right = int64_t{x} + w - 1;
    const int64_t bottom = int64_t{y} + h - 1;
    if (right < clipLeft || x > clipRight || bottom < clipTop || y > clipBottom) return false;

    int64_t dst = int64_t{clipTop} * pitch + clipLeft;
    int64_t src = 0;
    int64_t vw = w;
    int64_t vh = h;
    if (x < clipLeft) {
        vw -= int64_t{clipLeft} - x;
        src += int64_t{clipLeft} - x;
    } else {
        dst += int64_t{x} - clipLeft;
    }
    if (right > clipRight) vw -= right - clipRight;
    if (y < clipTop) {
        vh -= int64_t{clipTop} - y;
        src += (int64_t{clipTop} - y) * w;
    } else {
        dst += (int64_t{y} - clipTop) * pitch;
    }
    if (bottom > clipBottom) vh -= bottom - clipBottom;
    dstOffset = static_cast<int>(dst);
    srcOffset = static_cast<int>(src);
    visibleWidth = static_cast<int>(vw);
    visibleHeight = static_cast<int>(vh);
    return true;
}

void ScreenBuffer::SetClipRect(int left, int top, int right, int bottom) {
    clipLeft = left;
    clipTop = top;
    clipRight = right;
    clipBottom = bottom;
}

void ScreenBuffer::ClearScreen() {
    auto* row = reinterpret_cast<uint8_t*>(backBuffer);
    for (int y = 0; y < screenHeight; ++y) {
        std::memset(row, 0, static_cast<size_t>(pitchBytes));
        row += static_cast<ptrdiff_t>(pitch) * 2;
    }
}

void ScreenBuffer::FillRect(int x1, int y1, int x2, int y2, int r, int g, int b) {
    const uint16_t colour = static_cast<uint16_t>(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
    // Cut to the screen: corners are inclusive, so (0, 0, width, height) is an
    // easy off-by-one that would otherwise write past the buffer.
    x1 = std::max(x1, 0);
    y1 = std::max(y1, 0);
    x2 = std::min(x2, screenWidth - 1);
    y2 = std::min(y2, screenHeight - 1);
    if (y1 > y2 || x1 > x2) return;
    const size_t count = static_cast<size_t>(x2 - x1) + 1;
    for (int y = y1; y <= y2; ++y) {
        uint16_t* p = backBuffer + static_cast<ptrdiff_t>(y) * pitch + x1;
        for (size_t i = 0; i < count; ++i) p[i] = colour;
    }
}

uint16_t ScreenBuffer::ScreenColor(int r, int g, int b) const {
    // The top bits of each component, as many as the channel has.
    const auto channel = [](int value, int32_t bits, int32_t shift) {
        return static_cast<uint32_t>((value & 0xFF) >> (8 - bits)) << shift;
    };
    return static_cast<uint16_t>(channel(r, redBits, redShift) | channel(g, greenBits, greenShift) |
                                 channel(b, blueBits, blueShift));
}

void ScreenBuffer::MakeSaturationTable() {
    // Rebuilding replaces the old table instead of leaking it.
    delete[] saturationTable;
    saturationTable = new uint16_t[1024];
    for (int i = 0; i < 32; ++i)
        for (int j = 0; j < 32; ++j) saturationTable[i * 32 + j] = static_cast<uint16_t>(i + j < 31 ? i + j : 31);
}
