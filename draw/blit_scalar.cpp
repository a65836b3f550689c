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

void TiledScalar(const TiledFill& f) {
    uint16_t* row = f.dst;
    for (int y = 0; y < f.height; ++y, row += f.dstPitch) {
        const uint16_t* tileRow = f.tile + static_cast<ptrdiff_t>((f.tileY + y) % f.tileHeight) * f.tileWidth;
        for (int x = 0; x < f.width; ++x) row[x] = tileRow[(f.tileX + x) % f.tileWidth];
    }
}

const BlitKernels kScalarBlitKernels = {"scalar",       SolidScalar,   TransparentScalar, AlphaScalar,
                                        AdditiveScalar, CopyRowScalar, TiledScalar};
