// 5-6-5 words as RGBA bytes for a 2D canvas: each channel widened to 8 bits
// by repeating its top bits below it, alpha 255. With WebAssembly SIMD eight
// words a step; the scalar rule does the rest of the row and every word
// without SIMD, and the two agree on every word.
#pragma once

#include <cstdint>

#include "base/pixel_format.h"

#if defined(__wasm_simd128__)
#include <wasm_simd128.h>
#endif

namespace platform {

inline void Rgba565Row(const uint16_t* src, uint8_t* out, int count) {
    int x = 0;
#if defined(__wasm_simd128__)
    const v128_t five = wasm_u16x8_splat(31), six = wasm_u16x8_splat(63), opaque = wasm_u16x8_splat(0xFF00);
    for (; x + 8 <= count; x += 8) {
        const v128_t w = wasm_v128_load(src + x);
        const v128_t r5 = wasm_u16x8_shr(w, 11);
        const v128_t g6 = wasm_v128_and(wasm_u16x8_shr(w, 5), six);
        const v128_t b5 = wasm_v128_and(w, five);
        const v128_t r = wasm_v128_or(wasm_i16x8_shl(r5, 3), wasm_u16x8_shr(r5, 2));
        const v128_t g = wasm_v128_or(wasm_i16x8_shl(g6, 2), wasm_u16x8_shr(g6, 4));
        const v128_t b = wasm_v128_or(wasm_i16x8_shl(b5, 3), wasm_u16x8_shr(b5, 2));
        // Lanes of bytes (red, green) and (blue, 255), interleaved: R G B A.
        const v128_t rg = wasm_v128_or(r, wasm_i16x8_shl(g, 8));
        const v128_t ba = wasm_v128_or(b, opaque);
        wasm_v128_store(out + 4 * x, wasm_i16x8_shuffle(rg, ba, 0, 8, 1, 9, 2, 10, 3, 11));
        wasm_v128_store(out + 4 * x + 16, wasm_i16x8_shuffle(rg, ba, 4, 12, 5, 13, 6, 14, 7, 15));
    }
#endif
    for (; x < count; ++x) {
        uint8_t* p = out + 4 * x;
        Rgb8From565(src[x], p[0], p[1], p[2]);
        p[3] = 255;
    }
}

}  // namespace platform
