// AVX2 build of the rotation pass: four target rows at once, one row a lane
// of double-precision registers. Every lane repeats exactly the additions of
// the scalar rule for its row (same values, same order), so the trims and the
// sampled positions are bit-identical; only the work is spread differently:
//   1. the right trims of the four rows, stepped together;
//   2. one walk along the rows that finds each row's left trim and stores the
//      source index of every column;
//   3. per row, the clears and a plain indexed copy.
// A row whose last copied sample would truncate to a position outside the
// source (rounding at the very end of a row) is redone by the scalar rule.
//
// Compiled for AVX2 whatever the build's target; all headers are included
// before the target is switched and everything compiled for AVX2 is local to
// this file.
#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "draw/rotate_pass.h"

#pragma GCC push_options
#pragma GCC target("avx2")

namespace {

// Widest target row the stack buffer of indices takes; wider targets use the
// scalar pass.
constexpr int kMaxRowPixels = 1024;

struct Lanes {
    __m256d zero, one, srcW, srcH;
    __m256d Inside(__m256d x, __m256d y) const {
        const __m256d inX = _mm256_and_pd(_mm256_cmp_pd(x, zero, _CMP_GE_OQ), _mm256_cmp_pd(x, srcW, _CMP_LT_OQ));
        const __m256d inY = _mm256_and_pd(_mm256_cmp_pd(y, zero, _CMP_GE_OQ), _mm256_cmp_pd(y, srcH, _CMP_LT_OQ));
        return _mm256_and_pd(inX, inY);
    }
};

template <class T>
void Fill(T* p, int count, T value) {
    for (int i = 0; i < count; ++i) p[i] = value;
}

template <class T>
void Pass(const RotatePlane<T>& p, const RotateGeometry& g) {
    const int sw = p.srcWidth, sh = p.srcHeight, tw = p.dstWidth, th = p.dstHeight;
    if (tw > kMaxRowPixels) {
        RotatePassScalar(p, g);
        return;
    }
    alignas(32) int32_t index[kMaxRowPixels * 4];
    Lanes L;
    L.zero = _mm256_setzero_pd();
    L.one = _mm256_set1_pd(1.0);
    L.srcW = _mm256_set1_pd(sw);
    L.srcH = _mm256_set1_pd(sh);
    const __m256d A = _mm256_set1_pd(g.a), B = _mm256_set1_pd(g.b);
    const __m256d EA = _mm256_set1_pd(g.ea), EB = _mm256_set1_pd(g.eb);
    const __m128i widthI = _mm_set1_epi32(sw);

    double xr = g.x0, yr = g.y0;
    int r = 0;
    for (; r + 4 <= th; r += 4) {
        alignas(32) double startX[4], startY[4];
        for (int k = 0; k < 4; ++k) {
            startX[k] = xr;
            startY[k] = yr;
            xr -= g.b;
            yr += g.a;
        }
        const __m256d X = _mm256_load_pd(startX), Y = _mm256_load_pd(startY);

        // 1. Right trims: n counts each row's pixels still to decide.
        __m256d n = _mm256_set1_pd(tw);
        __m256d xe = _mm256_add_pd(X, EA), ye = _mm256_add_pd(Y, EB);
        for (;;) {
            const __m256d trim = _mm256_andnot_pd(L.Inside(xe, ye), _mm256_cmp_pd(n, L.zero, _CMP_GT_OQ));
            if (_mm256_movemask_pd(trim) == 0) break;
            n = _mm256_sub_pd(n, _mm256_and_pd(trim, L.one));
            xe = _mm256_blendv_pd(xe, _mm256_sub_pd(xe, A), trim);
            ye = _mm256_blendv_pd(ye, _mm256_sub_pd(ye, B), trim);
        }
        alignas(32) double kept[4];
        _mm256_store_pd(kept, n);
        int longest = 0;
        for (int k = 0; k < 4; ++k)
            if (static_cast<int>(kept[k]) > longest) longest = static_cast<int>(kept[k]);

        // 2. Left trims and source indices, columns 0 .. longest - 1.
        const __m256d lastColumn = _mm256_sub_pd(n, L.one);
        __m256d x = X, y = Y, c = L.zero;
        __m256d started = L.zero, first = n;
        __m256d lastX = X, lastY = Y;
        int col = 0;
        bool trimming = true;
        for (; col < longest; ++col) {
            if (trimming) {
                const __m256d settled = _mm256_or_pd(started, _mm256_cmp_pd(c, n, _CMP_GE_OQ));
                if (_mm256_movemask_pd(settled) == 0xF) {
                    trimming = false;
                } else {
                    const __m256d begins = _mm256_andnot_pd(settled, L.Inside(x, y));
                    first = _mm256_blendv_pd(first, c, begins);
                    started = _mm256_or_pd(started, begins);
                }
            }
            const __m128i tx = _mm256_cvttpd_epi32(x), ty = _mm256_cvttpd_epi32(y);
            _mm_store_si128(reinterpret_cast<__m128i*>(index + col * 4),
                            _mm_add_epi32(_mm_mullo_epi32(ty, widthI), tx));
            const __m256d atLast = _mm256_cmp_pd(c, lastColumn, _CMP_EQ_OQ);
            lastX = _mm256_blendv_pd(lastX, x, atLast);
            lastY = _mm256_blendv_pd(lastY, y, atLast);
            x = _mm256_add_pd(x, A);
            y = _mm256_add_pd(y, B);
            c = _mm256_add_pd(c, L.one);
        }

        // 3. Clears and copies, row by row.
        alignas(32) double firstCol[4], endX[4], endY[4];
        _mm256_store_pd(firstCol, first);
        _mm256_store_pd(endX, lastX);
        _mm256_store_pd(endY, lastY);
        for (int k = 0; k < 4; ++k) {
            const int begin = static_cast<int>(firstCol[k]);
            const int end = static_cast<int>(kept[k]);
            if (begin < end && !(endX[k] > -1 && endX[k] < sw && endY[k] > -1 && endY[k] < sh)) {
                RotateRowScalar(p, g, r + k, startX[k], startY[k]);
                continue;
            }
            T* row = p.dst + static_cast<ptrdiff_t>(r + k) * tw;
            Fill(row, begin, p.clear);
            const int32_t* idx = index + k;
            for (int i = begin; i < end; ++i) row[i] = p.src[idx[i * 4]];
            Fill(row + end, tw - end, p.clear);
        }
    }
    for (; r < th; ++r) {
        RotateRowScalar(p, g, r, xr, yr);
        xr -= g.b;
        yr += g.a;
    }
}

}  // namespace

#pragma GCC pop_options

void RotatePassAvx2(const RotatePlane<uint16_t>& plane, const RotateGeometry& g) { Pass(plane, g); }
void RotatePassAvx2(const RotatePlane<uint8_t>& plane, const RotateGeometry& g) { Pass(plane, g); }

#endif
