// WebAssembly SIMD build of the blit kernels: eight pixels a register, for
// the browser build made with -msimd128 (every current browser runs it).
#if defined(__wasm_simd128__)

#include <wasm_simd128.h>

#include <cstddef>
#include <cstring>

#include "draw/blit_kernels.h"
#include "draw/blit_scalar.h"

namespace {

struct V128 {
    using T = v128_t;
    static constexpr int N = 8;
    static T Load(const uint16_t* p) { return wasm_v128_load(p); }
    static void Store(uint16_t* p, T v) { wasm_v128_store(p, v); }
    static T LoadA(const uint8_t* p) { return wasm_u16x8_load8x8(p); }
    static T Set1(uint32_t v) { return wasm_i16x8_splat(static_cast<int16_t>(v)); }
    static T Zero() { return wasm_i16x8_splat(0); }
    static T And(T a, T b) { return wasm_v128_and(a, b); }
    static T Or(T a, T b) { return wasm_v128_or(a, b); }
    static T Add(T a, T b) { return wasm_i16x8_add(a, b); }
    static T CmpEq(T a, T b) { return wasm_i16x8_eq(a, b); }
    // No 16-bit high multiply: the full 32-bit products, then their high halves.
    static T MulHi(T a, T b) {
        return wasm_i16x8_shuffle(wasm_u32x4_extmul_low_u16x8(a, b), wasm_u32x4_extmul_high_u16x8(a, b), 1, 3, 5, 7, 9,
                                  11, 13, 15);
    }
    static T AddSat(T a, T b) { return wasm_u16x8_add_sat(a, b); }
    static T Min(T a, T b) { return wasm_u16x8_min(a, b); }
    static T Shl8(T a) { return wasm_i16x8_shl(a, 8); }
    // mask ? b : a, bit by bit (the masks are whole lanes).
    static T Select(T a, T b, T mask) { return wasm_v128_bitselect(b, a, mask); }
};

#include "draw/blit_simd_rows.h"

using Set = KernelSet<V128, V128>;

}  // namespace

const BlitKernels kWasmSimdBlitKernels = {"wasm-simd128", Set::Solid,   Set::Transparent, Set::Alpha,
                                          Set::Additive,  Set::CopyRow, Set::Tiled};

#endif
