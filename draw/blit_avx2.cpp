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

#include "draw/blit_simd_v256.h"

#include "draw/blit_simd_v128.h"

#include "draw/blit_simd_rows.h"

using Set = KernelSet<V256, V128>;

}  // namespace

#pragma GCC pop_options

const BlitKernels kAvx2BlitKernels = {"avx2", Set::Solid, Set::Transparent, Set::Alpha, Set::Additive, Set::CopyRow,
                                      Set::Tiled};

#endif
