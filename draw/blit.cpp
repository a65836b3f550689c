#include "draw/blit.h"

#include <cstring>

#include "draw/pixel_format.h"
#include "engine/windows_dx.h"
#include "image/image.h"

namespace {

// The frame shared by every blit: clip once, then hand each visible row to
// the member's row rule.
template <bool kNeedsAlpha, typename RowRule>
int Blit(int x, int y, Image* image, RowRule rule) {
    if (image->data == nullptr) return 1;
    if (kNeedsAlpha && image->alpha == nullptr) return 1;
    int dstOffset = 0, srcOffset = 0, w = 0, h = 0;
    if (!Tarvo.ClipImage(x, y, image, dstOffset, srcOffset, w, h)) return 1;
    uint16_t* d = Tarvo.backBuffer + dstOffset;
    const uint16_t* s = image->Pixels16() + srcOffset;
    const uint8_t* a = kNeedsAlpha ? image->alpha + srcOffset : nullptr;
    for (int row = 0; row < h; ++row) {
        rule(d, s, a, w);
        d += Tarvo.pitch;
        s += image->width;
        if (kNeedsAlpha) a += image->width;
    }
    return 1;
}

}  // namespace

int DrawPixel16(int x, int y, int r, int g, int b) {
    Tarvo.backBuffer[Tarvo.rowOffset[y] + x] = static_cast<uint16_t>(r * 1024 + g * 32 + b);
    return 1;
}

int DrawSolid16(int x, int y, Image* image) {
    return Blit<false>(x, y, image, [](uint16_t* d, const uint16_t* s, const uint8_t*, int w) {
        if (w > 0) std::memcpy(d, s, static_cast<size_t>(w) * 2);
    });
}

int DrawTransparent16(int x, int y, Image* image) {
    return Blit<false>(x, y, image, [](uint16_t* d, const uint16_t* s, const uint8_t*, int w) {
        for (int i = 0; i < w; ++i)
            if (s[i] != 0) d[i] = s[i];
    });
}

int DrawAlpha16(int x, int y, Image* image) {
    return Blit<true>(x, y, image, [](uint16_t* d, const uint16_t* s, const uint8_t* a, int w) {
        const uint32_t rm = static_cast<uint32_t>(redMask), gm = static_cast<uint32_t>(greenMask),
                       bm = static_cast<uint32_t>(blueMask);
        for (int i = 0; i < w; ++i) {
            const uint32_t A = a[i];
            if (A == 255) continue;
            const uint32_t D = d[i];
            const uint32_t scaled = (((D & bm) * A) >> 8) | ((((D & gm) * A) >> 8) & gm) | ((((D & rm) * A) >> 8) & rm);
            d[i] = static_cast<uint16_t>(scaled + s[i]);
        }
    });
}

int DrawAdditive16(int x, int y, Image* image) {
    return Blit<true>(x, y, image, [](uint16_t* d, const uint16_t* s, const uint8_t* a, int w) {
        const uint32_t rm = static_cast<uint32_t>(redMask), gm = static_cast<uint32_t>(greenMask),
                       bm = static_cast<uint32_t>(blueMask);
        for (int i = 0; i < w; ++i) {
            const uint32_t S = s[i];
            if (a[i] == 255 || S == 0) continue;
            const uint32_t D = d[i];
            uint32_t b = (S & bm) + (D & bm);
            if (b > bm) b = bm;
            uint32_t g = (S & gm) + (D & gm);
            if (g > gm) g = gm;
            uint32_t r = (S & rm) + (D & rm);
            if (r > rm) r = rm;
            d[i] = static_cast<uint16_t>(b | g | r);
        }
    });
}
