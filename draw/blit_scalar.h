// The scalar pixel rules of the blits: the reference for every fast path.
// Each function is one pixel of one member; the kernels in blit_scalar.cpp
// apply them over a rectangle.
//
// Depends on: blit_kernels.h for the rectangle and mask types.
#pragma once

#include <cstdint>

#include "draw/blit_kernels.h"

// Screen word D scaled by the premultiplied alpha byte A (255 - opacity),
// plus the image word S, as a plain 16-bit addition. A = 255 keeps D.
inline uint16_t AlphaPixel(uint16_t D, uint16_t S, uint32_t A, const ChannelMasks& m) {
    if (A == 255) return D;
    const uint32_t d = D;
    // Blue lies in the lowest bits: its product needs no mask.
    const uint32_t scaled = (((d & m.blue) * A) >> 8) | ((((d & m.green) * A) >> 8) & m.green) |
                            ((((d & m.red) * A) >> 8) & m.red);
    return static_cast<uint16_t>(scaled + S);
}

// Per-channel add, each channel clamped at its own mask. Image word 0 and
// alpha 255 keep D.
inline uint16_t AdditivePixel(uint16_t D, uint16_t S, uint32_t A, const ChannelMasks& m) {
    if (A == 255 || S == 0) return D;
    uint32_t b = (S & m.blue) + (D & m.blue);
    if (b > m.blue) b = m.blue;
    uint32_t g = (S & m.green) + (D & m.green);
    if (g > m.green) g = m.green;
    uint32_t r = (S & m.red) + (D & m.red);
    if (r > m.red) r = m.red;
    return static_cast<uint16_t>(b | g | r);
}

// Scalar kernels (also the fallback of the vector builds).
void SolidScalar(const BlitRect& rect);
void TransparentScalar(const BlitRect& rect);
void AlphaScalar(const BlitRect& rect, const ChannelMasks& masks);
void AdditiveScalar(const BlitRect& rect, const ChannelMasks& masks);
void CopyRowScalar(uint16_t* dst, const uint16_t* src, int count);
void TiledScalar(const TiledFill& fill);
