// AVX2 build of the rotation pass: eight target rows at once, one row a lane
// of two double-precision registers. Every lane repeats exactly the additions of
// the scalar rule for its row (same values, same order), so the trims and the
// sampled positions are bit-identical; only the work is spread differently:
//   1. the right trims of the eight rows, stepped together;
//   2. one walk along the rows that finds each row's left trim and stores the
//      source index of every column;
//   3. per row, the clears and a plain indexed copy.
// A row whose last copied sample might truncate to a position outside the
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
// Rows a group: two registers of four, so that two chains of additions are
// in flight at once.
constexpr int kVectors = 2;
constexpr int kRows = 4 * kVectors;

struct Lanes {
    __m256d zero, one, srcW, srcH;
    __m256d Inside(__m256d x, __m256d y) const {
        const __m256d inX = _mm256_and_pd(_mm256_cmp_pd(x, zero, _CMP_GE_OQ), _mm256_cmp_pd(x, srcW, _CMP_LT_OQ));
        const __m256d inY = _mm256_and_pd(_mm256_cmp_pd(y, zero, _CMP_GE_OQ), _mm256_cmp_pd(y, srcH, _CMP_LT_OQ));
        return _mm256_and_pd(inX, inY);
    }
};

// Source index trunc(y) * width + trunc(x) of four samples.
inline void StoreIndex(int32_t* to, __m256d x, __m256d y, __m128i width) {
    const __m128i tx = _mm256_cvttpd_epi32(x), ty = _mm256_cvttpd_epi32(y);
    _mm_store_si128(reinterpret_cast<__m128i*>(to), _mm_add_epi32(_mm_mullo_epi32(ty, width), tx));
}

double Magnitude(double v) { return v < 0 ? -v : v; }

// Whether a row's last copied sample truncates to a position inside the
// source, known without walking to it. The right trim stopped at (xe, ye)
// inside the source; the last copied sample is one step back from there,
// (xe - a, ye - b), up to the rounding of the two walks (one double rounding
// a step, at most tw + 2 steps) and of the float ea, eb. The bound below is
// far wider than those roundings; a row that comes closer to an edge than it
// is redone by the scalar rule.
inline bool EndInside(double endX, double endY, double xr, double yr, const RotateGeometry& g, int sw, int sh,
                      int tw) {
    const double steps = Magnitude(g.a) + Magnitude(g.b);
    const double reach = Magnitude(xr) + Magnitude(yr) + (tw + 2.0) * steps + 1.0;
    const double slack = (tw + 8.0) * reach * 0x1p-48 + tw * steps * 0x1p-20;
    return endX - slack > -1 && endX + slack < sw && endY - slack > -1 && endY + slack < sh;
}

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
    // Column c's indices of the group's rows sit at index[c * kRows ...].
    alignas(32) int32_t index[kMaxRowPixels * kRows];
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
    for (; r + kRows <= th; r += kRows) {
        alignas(32) double startX[kRows], startY[kRows];
        for (int k = 0; k < kRows; ++k) {
            startX[k] = xr;
            startY[k] = yr;
            xr -= g.b;
            yr += g.a;
        }
        __m256d X[kVectors], Y[kVectors], n[kVectors], xe[kVectors], ye[kVectors];
        for (int v = 0; v < kVectors; ++v) {
            X[v] = _mm256_load_pd(startX + 4 * v);
            Y[v] = _mm256_load_pd(startY + 4 * v);
        }

        // 1. Right trims: n counts each row's pixels still to decide. Both
        // registers step together, so that their chains overlap.
        for (int v = 0; v < kVectors; ++v) {
            n[v] = _mm256_set1_pd(tw);
            xe[v] = _mm256_add_pd(X[v], EA);
            ye[v] = _mm256_add_pd(Y[v], EB);
        }
        for (;;) {
            int trimming = 0;
            for (int v = 0; v < kVectors; ++v) {
                const __m256d trim =
                    _mm256_andnot_pd(L.Inside(xe[v], ye[v]), _mm256_cmp_pd(n[v], L.zero, _CMP_GT_OQ));
                trimming |= _mm256_movemask_pd(trim);
                n[v] = _mm256_sub_pd(n[v], _mm256_and_pd(trim, L.one));
                xe[v] = _mm256_blendv_pd(xe[v], _mm256_sub_pd(xe[v], A), trim);
                ye[v] = _mm256_blendv_pd(ye[v], _mm256_sub_pd(ye[v], B), trim);
            }
            if (trimming == 0) break;
        }
        alignas(32) double kept[kRows];
        for (int v = 0; v < kVectors; ++v) _mm256_store_pd(kept + 4 * v, n[v]);
        int longest = 0;
        for (int k = 0; k < kRows; ++k)
            if (static_cast<int>(kept[k]) > longest) longest = static_cast<int>(kept[k]);

        // 2. Left trims and source indices, columns 0 .. longest - 1. Once
        // every row has found its first inside sample, only indices remain.
        __m256d x[kVectors], y[kVectors], started[kVectors], first[kVectors];
        for (int v = 0; v < kVectors; ++v) {
            x[v] = X[v];
            y[v] = Y[v];
            started[v] = L.zero;
            first[v] = n[v];
        }
        __m256d c = L.zero;
        int col = 0;
        for (; col < longest; ++col) {
            int settledRows = 0;
            for (int v = 0; v < kVectors; ++v) {
                const __m256d settled = _mm256_or_pd(started[v], _mm256_cmp_pd(c, n[v], _CMP_GE_OQ));
                settledRows += __builtin_popcount(static_cast<unsigned>(_mm256_movemask_pd(settled)));
                const __m256d begins = _mm256_andnot_pd(settled, L.Inside(x[v], y[v]));
                first[v] = _mm256_blendv_pd(first[v], c, begins);
                started[v] = _mm256_or_pd(started[v], begins);
            }
            if (settledRows == kRows) break;
            for (int v = 0; v < kVectors; ++v) {
                StoreIndex(index + col * kRows + 4 * v, x[v], y[v], widthI);
                x[v] = _mm256_add_pd(x[v], A);
                y[v] = _mm256_add_pd(y[v], B);
            }
            c = _mm256_add_pd(c, L.one);
        }
        for (; col < longest; ++col)
            for (int v = 0; v < kVectors; ++v) {
                StoreIndex(index + col * kRows + 4 * v, x[v], y[v], widthI);
                x[v] = _mm256_add_pd(x[v], A);
                y[v] = _mm256_add_pd(y[v], B);
            }

        // 3. Clears and copies, row by row.
        alignas(32) double firstCol[kRows], endX[kRows], endY[kRows];
        for (int v = 0; v < kVectors; ++v) {
            _mm256_store_pd(firstCol + 4 * v, first[v]);
            _mm256_store_pd(endX + 4 * v, _mm256_sub_pd(xe[v], A));
            _mm256_store_pd(endY + 4 * v, _mm256_sub_pd(ye[v], B));
        }
        for (int k = 0; k < kRows; ++k) {
            const int begin = static_cast<int>(firstCol[k]);
            const int end = static_cast<int>(kept[k]);
            if (begin < end && !EndInside(endX[k], endY[k], startX[k], startY[k], g, sw, sh, tw)) {
                RotateRowScalar(p, g, r + k, startX[k], startY[k]);
                continue;
            }
            T* row = p.dst + static_cast<ptrdiff_t>(r + k) * tw;
            Fill(row, begin, p.clear);
            const int32_t* idx = index + k;
            int i = begin;
            for (; i + 4 <= end; i += 4) {
                const T s0 = p.src[idx[i * kRows]], s1 = p.src[idx[(i + 1) * kRows]];
                const T s2 = p.src[idx[(i + 2) * kRows]], s3 = p.src[idx[(i + 3) * kRows]];
                row[i] = s0;
                row[i + 1] = s1;
                row[i + 2] = s2;
                row[i + 3] = s3;
            }
            for (; i < end; ++i) row[i] = p.src[idx[i * kRows]];
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
