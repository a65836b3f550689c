// SSE2 build of the blit kernels: eight pixels a register. SSE2 is part of
// every x86-64 processor, so this set needs no run-time check.
#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#include <cstddef>
#include <cstring>

#include "draw/blit_kernels.h"
#include "draw/blit_scalar.h"

namespace {

struct V128 {
    using T = __m128i;
    static constexpr int N = 8;
    static T Load(const uint16_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
    static void Store(uint16_t* p, T v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
    static T LoadA(const uint8_t* p) {
        return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), _mm_setzero_si128());
    }
    static T Set1(uint32_t v) { return _mm_set1_epi16(static_cast<short>(v)); }
    static T Zero() { return _mm_setzero_si128(); }
    static T And(T a, T b) { return _mm_and_si128(a, b); }
    static T Or(T a, T b) { return _mm_or_si128(a, b); }
    static T Add(T a, T b) { return _mm_add_epi16(a, b); }
    static T CmpEq(T a, T b) { return _mm_cmpeq_epi16(a, b); }
    static T MulHi(T a, T b) { return _mm_mulhi_epu16(a, b); }
    static T AddSat(T a, T b) { return _mm_adds_epu16(a, b); }
    // Unsigned minimum without SSE4.1: a - max(a - b, 0).
    static T Min(T a, T b) { return _mm_sub_epi16(a, _mm_subs_epu16(a, b)); }
    static T Shl8(T a) { return _mm_slli_epi16(a, 8); }
    // mask ? b : a, lane by lane.
    static T Select(T a, T b, T mask) { return _mm_or_si128(_mm_and_si128(mask, b), _mm_andnot_si128(mask, a)); }
};

#include "draw/blit_simd_rows.h"

using Set = KernelSet<V128, V128>;

}  // namespace

const BlitKernels kSse2BlitKernels = {"sse2", Set::Solid, Set::Transparent, Set::Alpha, Set::Additive, Set::CopyRow,
                                      Set::Tiled};

#endif
