// AVX-512 build of the blit kernels: the AVX2 kernels on 256-bit registers,
// plus AVX-512BW/VL masked loads and stores for keyed images, which then
// write their non-key words without reading the screen. Compiled for those
// extensions whatever the build's target; only called after the processor
// has been checked (blit.cpp).
//
// Everything compiled for these extensions lives in the anonymous namespace
// below, and all headers are included before the target is switched, so no
// shared inline function can end up in a copy that other files might use.
#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#include <cstddef>
#include <cstring>

#include "draw/blit_kernels.h"
#include "draw/blit_scalar.h"

#pragma GCC push_options
#pragma GCC target("avx2,avx512f,avx512bw,avx512vl")

namespace {

#include "draw/blit_simd_v256.h"

// With AVX-512 the keyed rows store through a mask and never read the screen.
struct V256Masked : V256 {
    static constexpr bool kMaskedStores = true;
    // Stores the non-key words among the next N image words.
    static void StoreNonKey(uint16_t* d, const uint16_t* s) {
        const T S = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s));
        _mm256_mask_storeu_epi16(d, _mm256_test_epi16_mask(S, S), S);
    }
    // The same for the first `count` (< N) of them.
    static void StoreNonKey(uint16_t* d, const uint16_t* s, int count) {
        const T S = _mm256_maskz_loadu_epi16(static_cast<__mmask16>((1u << count) - 1), s);
        _mm256_mask_storeu_epi16(d, _mm256_test_epi16_mask(S, S), S);
    }
};

#include "draw/blit_simd_v128.h"

#include "draw/blit_simd_rows.h"

using Set = KernelSet<V256Masked, V128>;

}  // namespace

#pragma GCC pop_options

const BlitKernels kAvx512BlitKernels = {"avx512", Set::Solid, Set::Transparent, Set::Alpha, Set::Additive, Set::CopyRow,
                                      Set::Tiled};

#endif
