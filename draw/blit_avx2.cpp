// AVX2 build of the blit kernels: sixteen pixels a register, eight for rows
// narrower than that. Compiled for AVX2 whatever the build's own target is;
// it is only called after the processor has been checked (blit.cpp).
//
// Everything compiled for AVX2 lives in the anonymous namespace below, and
// all headers are included before the target is switched, so no shared
// inline function can end up in an AVX2 copy that other files might use.
#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#include <cstddef>
#include <cstring>

#include "draw/blit_kernels.h"
#include "draw/blit_scalar.h"

#pragma GCC push_options
#pragma GCC target("avx2")

namespace {

struct V256 {
    using T = __m256i;
    static constexpr int N = 16;
    static T Load(const uint16_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
    static void Store(uint16_t* p, T v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
    static T LoadA(const uint8_t* p) {
        return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
    }
    static T Set1(uint32_t v) { return _mm256_set1_epi16(static_cast<short>(v)); }
    static T Zero() { return _mm256_setzero_si256(); }
    static T And(T a, T b) { return _mm256_and_si256(a, b); }
    static T Or(T a, T b) { return _mm256_or_si256(a, b); }
    static T Add(T a, T b) { return _mm256_add_epi16(a, b); }
    static T CmpEq(T a, T b) { return _mm256_cmpeq_epi16(a, b); }
    static T MulHi(T a, T b) { return _mm256_mulhi_epu16(a, b); }
    static T AddSat(T a, T b) { return _mm256_adds_epu16(a, b); }
    static T Min(T a, T b) { return _mm256_min_epu16(a, b); }
    static T Shl8(T a) { return _mm256_slli_epi16(a, 8); }
    static T Select(T a, T b, T mask) { return _mm256_blendv_epi8(a, b, mask); }
};

#include "draw/blit_simd_v128.h"

#include "draw/blit_simd_rows.h"

using Set = KernelSet<V256, V128>;

}  // namespace

#pragma GCC pop_options

const BlitKernels kAvx2BlitKernels = {"avx2", Set::Solid, Set::Transparent, Set::Alpha, Set::Additive, Set::CopyRow,
                                      Set::Tiled};

#endif
