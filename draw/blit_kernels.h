// Kernels behind the 16-bit blits. Each walks a rectangle that the caller has
// already clipped, row by row, and applies one member's pixel rule. Builds of
// every kernel: the scalar rule (the reference that every fast path must match
// bit for bit), SSE2 (any x86-64), AVX2 and AVX-512 (AVX2 plus masked stores
// for keyed images), the last two chosen at run time when the processor has
// them, and WebAssembly SIMD in a browser build made with it. Other
// processors get the scalar set.
//
// Depends on nothing but the pointers and channel masks it is given. The
// vector builds need masks that fit in 16 bits; with wider masks they hand
// the work to the scalar rule.
#pragma once

#include <cstdint>

// A pre-clipped rectangle: strides are in elements (pixels, alpha bytes).
// `alpha` has the same stride as `src`; it may be null for the members that
// do not read it.
struct BlitRect {
    uint16_t* dst;
    int dstPitch;
    const uint16_t* src;
    int srcPitch;
    const uint8_t* alpha;
    int width;
    int height;
};

struct ChannelMasks {
    uint32_t red;
    uint32_t green;
    uint32_t blue;
};

// A rectangle of the screen covered by copies of a tile laid edge to edge.
// Tile pixel (tileX, tileY) shows at the rectangle's top-left pixel; tileX
// and tileY lie inside the tile.
struct TiledFill {
    uint16_t* dst;
    int dstPitch;
    const uint16_t* tile;
    int tileWidth;
    int tileHeight;
    int width;
    int height;
    int tileX;
    int tileY;
};

struct BlitKernels {
    const char* name;
    void (*solid)(const BlitRect& rect);
    void (*transparent)(const BlitRect& rect);
    void (*alphaBlend)(const BlitRect& rect, const ChannelMasks& masks);
    void (*additive)(const BlitRect& rect, const ChannelMasks& masks);
    // Copies `count` (>= 0) pixels between buffers that do not overlap.
    void (*copyRow)(uint16_t* dst, const uint16_t* src, int count);
    void (*tiled)(const TiledFill& fill);
};

enum class BlitLevel { kScalar, kSse2, kAvx2, kAvx512, kWasmSimd128 };

extern const BlitKernels kScalarBlitKernels;
#if defined(__x86_64__) || defined(__i386__)
extern const BlitKernels kSse2BlitKernels;
extern const BlitKernels kAvx2BlitKernels;
extern const BlitKernels kAvx512BlitKernels;
#endif
#if defined(__wasm_simd128__)
extern const BlitKernels kWasmSimdBlitKernels;
#endif

// The kernels of one level, or null when this processor cannot run them.
const BlitKernels* BlitKernelsFor(BlitLevel level);
// The kernels the blits use: the widest this processor runs, chosen once.
const BlitKernels& ActiveBlitKernels();
// Makes the blits use `level` (tests and benchmarks compare the levels).
// Returns false, changing nothing, when the processor cannot run it.
bool SetBlitLevel(BlitLevel level);
// Back to the widest level this processor runs.
void RestoreBestBlitLevel();
