#include "draw/blit_scalar.h"

#include <cstddef>
#include <cstring>

void CopyRowScalar(uint16_t* dst, const uint16_t* src, int count) {
    if (count > 0) std::memcpy(dst, src, static_cast<size_t>(count) * 2);
}

void SolidScalar(const BlitRect& r) {
    uint16_t* d = r.dst;
    const uint16_t* s = r.src;
    for (int row = 0; row < r.height; ++row, d += r.dstPitch, s += r.srcPitch) CopyRowScalar(d, s, r.width);
}

void TransparentScalar(const BlitRect& r) {
    uint16_t* d = r.dst;
    const uint16_t* s = r.src;
    for (int row = 0; row < r.height; ++row, d += r.dstPitch, s += r.srcPitch)
        for (int i = 0; i < r.width; ++i)
            if (s[i] != 0) d[i] = s[i];
}

void AlphaScalar(const BlitRect& r, const ChannelMasks& m) {
    uint16_t* d = r.dst;
    const uint16_t* s = r.src;
    const uint8_t* a = r.alpha;
    for (int row = 0; row < r.height; ++row, d += r.dstPitch, s += r.srcPitch, a += r.srcPitch)
        for (int i = 0; i < r.width; ++i) d[i] = AlphaPixel(d[i], s[i], a[i], m);
}

void AdditiveScalar(const BlitRect& r, const ChannelMasks& m) {
    uint16_t* d = r.dst;
    const uint16_t* s = r.src;
    const uint8_t* a = r.alpha;
    for (int row = 0; row < r.height; ++row, d += r.dstPitch, s += r.srcPitch, a += r.srcPitch)
        for (int i = 0; i < r.width; ++i) d[i] = AdditivePixel(d[i], s[i], a[i], m);
}

// Each screen row: the rest of the tile row from tileX, then whole tile rows,
// then the part of one that is left, each as one block copy.
void TiledScalar(const TiledFill& f) {
    uint16_t* row = f.dst;
    int ty = f.tileY;
    for (int y = 0; y < f.height; ++y, row += f.dstPitch) {
        const uint16_t* tileRow = f.tile + static_cast<ptrdiff_t>(ty) * f.tileWidth;
        uint16_t* d = row;
        int left = f.width;
        const int first = f.tileWidth - f.tileX < left ? f.tileWidth - f.tileX : left;
        CopyRowScalar(d, tileRow + f.tileX, first);
        d += first;
        left -= first;
        for (; left >= f.tileWidth; left -= f.tileWidth, d += f.tileWidth) CopyRowScalar(d, tileRow, f.tileWidth);
        CopyRowScalar(d, tileRow, left);
        if (++ty == f.tileHeight) ty = 0;
    }
}

const BlitKernels kScalarBlitKernels = {"scalar",       SolidScalar,   TransparentScalar, AlphaScalar,
                                        AdditiveScalar, CopyRowScalar, TiledScalar};
