// AVX2 build of the rotation pass, bit-identical to the scalar rule. Two ways:
//
// Spans (most geometry): sixteen rows a group. The right and left trims are
// not walked: along a row the rule adds the same step again and again, so
// each inside test changes once, at a column computed from the row's line;
// the walked values stay within a tiny margin of that line, and a row whose
// line meets an edge within that margin of a column, or whose copied span
// would reach outside the source, is redone by the scalar rule. The source
// indices of the copied columns then come from a walk in 32-bit fixed point
// where that provably gives the rule's truncations (see FixedBits), else from
// the rule's own double additions, one row a lane; each row is cleared and
// its span copied through the indices.
//
// Walk (steps below 2^-20, i.e. within about 5e-5 degrees of a multiple of
// 90, or extreme values): eight rows at once, one row a lane, every lane
// repeating the rule's additions:
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

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "draw/rotate_pass.h"
#include "draw/rotate_spans.h"

#pragma GCC push_options
#pragma GCC target("avx2")

namespace {

using namespace rotate_spans;

// Rows a group: two registers of four, so that two chains of additions are
// in flight at once.
constexpr int kVectors = 2;
constexpr int kRows = 4 * kVectors;
// Rows a group of the spans pass, in registers of four: sixteen rows keep
// two fixed-point registers of eight rows in flight.
constexpr int kSpanVectors = 4;

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

template <class T>
void Fill(T* p, int count, T value) {
    for (int i = 0; i < count; ++i) p[i] = value;
}

template <class T>
void PassWalk(const RotatePlane<T>& p, const RotateGeometry& g) {
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
    const double slack = EndSlack(g, tw, th);

    double xr = g.x0, yr = g.y0;
    int r = 0;
    for (; r + kRows <= th; r += kRows) {
        alignas(32) double startX[kRows], startY[kRows];
        RowStarts(g, kRows, xr, yr, startX, startY);
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
            if (begin < end && !EndInside(endX[k], endY[k], slack, sw, sh)) {
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

// ---- Spans found by arithmetic (see draw/rotate_spans.h) --------------------

// SpanEdges in registers.
struct SpanAxis {
    __m256d enter, leave, inverse, tolerance;
    SpanAxis(double step, double size, double margin) {
        const SpanEdges e = MakeSpanEdges(step, size, margin);
        enter = _mm256_set1_pd(e.enter);
        leave = _mm256_set1_pd(e.leave);
        inverse = _mm256_set1_pd(e.inverse);
        tolerance = _mm256_set1_pd(e.tolerance);
    }
};

struct SpanLanes {
    __m256d absMask;

    // Whether the walk crosses an edge at step t far enough from every
    // whole step to know each step's side without walking.
    __m256d Far(__m256d t, __m256d tolerance) const {
        const __m256d whole = _mm256_round_pd(t, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
        return _mm256_cmp_pd(_mm256_and_pd(_mm256_sub_pd(t, whole), absMask), tolerance, _CMP_GT_OQ);
    }
    // Narrows [lo, hi] to the steps k at which start + k * step lies in
    // [0, size), and clears `ok` where that cannot be told apart.
    void Axis(__m256d start, const SpanAxis& e, __m256d& lo, __m256d& hi, __m256d& ok) const {
        const __m256d tEnter = _mm256_mul_pd(_mm256_sub_pd(e.enter, start), e.inverse);
        const __m256d tLeave = _mm256_mul_pd(_mm256_sub_pd(e.leave, start), e.inverse);
        lo = _mm256_max_pd(lo, _mm256_ceil_pd(tEnter));
        hi = _mm256_min_pd(hi, _mm256_floor_pd(tLeave));
        ok = _mm256_and_pd(ok, _mm256_and_pd(Far(tEnter, e.tolerance), Far(tLeave, e.tolerance)));
    }
};

// Eight whole numbers (below 2^51 in magnitude), four in each of lo and hi,
// modulo 2^32: adding 1.5 * 2^52 leaves each number's two's complement in
// the low bits of its double.
inline __m256i LowWords(__m256d lo, __m256d hi) {
    const __m256d magic = _mm256_set1_pd(0x1.8p52);
    const __m256i pick = _mm256_setr_epi32(0, 2, 4, 6, 1, 3, 5, 7);
    const __m256i a = _mm256_permutevar8x32_epi32(_mm256_castpd_si256(_mm256_add_pd(lo, magic)), pick);
    const __m256i b = _mm256_permutevar8x32_epi32(_mm256_castpd_si256(_mm256_add_pd(hi, magic)), pick);
    return _mm256_permute2x128_si256(a, b, 0x20);
}

template <class T, int kGroupVectors, bool kFixed>
void PassSpans(const RotatePlane<T>& p, const RotateGeometry& g, double margin, int fractionBits) {
    static_assert(kGroupVectors % 2 == 0 && 4 * kGroupVectors <= 32, "whole registers of eight rows, one bit a row");
    constexpr int kGroupRows = 4 * kGroupVectors;
    const int sw = p.srcWidth, sh = p.srcHeight, tw = p.dstWidth, th = p.dstHeight;
    // Column c's indices of the group's rows sit at index[c * kGroupRows ...].
    alignas(32) int32_t index[kMaxRowPixels * kGroupRows];
    SpanLanes S;
    S.absMask = _mm256_castsi256_pd(_mm256_set1_epi64x(0x7FFFFFFFFFFFFFFF));
    const __m256d zero = _mm256_setzero_pd(), cols = _mm256_set1_pd(tw);
    // The right trim walks back by (a, b), the left trim forward.
    const SpanAxis backX(-g.a, sw, margin), backY(-g.b, sh, margin);
    const SpanAxis forwardX(g.a, sw, margin), forwardY(g.b, sh, margin);
    const __m256d EA = _mm256_set1_pd(g.ea), EB = _mm256_set1_pd(g.eb);
    const __m256d A = _mm256_set1_pd(g.a), B = _mm256_set1_pd(g.b);
    const __m256d minusOne = _mm256_set1_pd(-1.0), big = _mm256_set1_pd(tw + 1.0);
    const __m128i widthI = _mm_set1_epi32(sw);
    // 2^fractionBits: scaling by it is exact.
    const double unit = PowerOfTwo(fractionBits);

    double xr = g.x0, yr = g.y0;
    int r = 0;
    for (; r + kGroupRows <= th; r += kGroupRows) {
        alignas(32) double startX[kGroupRows], startY[kGroupRows];
        RowStarts(g, kGroupRows, xr, yr, startX, startY);
        alignas(16) int32_t kept[kGroupRows], firstCol[kGroupRows];
        // Bit k: row k takes the fast copy.
        unsigned fast = 0;
        __m256d X[kGroupVectors], Y[kGroupVectors];
        for (int v = 0; v < kGroupVectors; ++v) {
            X[v] = _mm256_load_pd(startX + 4 * v);
            Y[v] = _mm256_load_pd(startY + 4 * v);
            // Right trim: the walk back from (xr + ea, yr + eb) by (a, b)
            // stops at the first inside step K; n = tw - K pixels remain.
            __m256d lo = minusOne, hi = big, ok = _mm256_cmp_pd(zero, zero, _CMP_EQ_OQ);
            const __m256d xe = _mm256_add_pd(X[v], EA), ye = _mm256_add_pd(Y[v], EB);
            S.Axis(xe, backX, lo, hi, ok);
            S.Axis(ye, backY, lo, hi, ok);
            lo = _mm256_max_pd(lo, zero);
            // No inside step before tw: everything is trimmed.
            const __m256d none = _mm256_or_pd(_mm256_cmp_pd(lo, hi, _CMP_GT_OQ), _mm256_cmp_pd(lo, cols, _CMP_GE_OQ));
            const __m256d n = _mm256_blendv_pd(_mm256_sub_pd(cols, lo), zero, none);
            // Left trim: the walk forward from (xr, yr) stops at the first
            // inside column, or at n.
            __m256d flo = minusOne, fhi = big;
            S.Axis(X[v], forwardX, flo, fhi, ok);
            S.Axis(Y[v], forwardY, flo, fhi, ok);
            flo = _mm256_max_pd(flo, zero);
            const __m256d empty = _mm256_or_pd(_mm256_cmp_pd(flo, fhi, _CMP_GT_OQ), _mm256_cmp_pd(flo, n, _CMP_GE_OQ));
            const __m256d first = _mm256_blendv_pd(flo, n, empty);
            // Every copied column must be inside: n - 1 <= fhi, unless
            // nothing is copied.
            const __m256d reaches =
                _mm256_or_pd(empty, _mm256_cmp_pd(_mm256_sub_pd(n, _mm256_set1_pd(1.0)), fhi, _CMP_LE_OQ));
            ok = _mm256_and_pd(ok, reaches);
            _mm_store_si128(reinterpret_cast<__m128i*>(kept + 4 * v), _mm256_cvttpd_epi32(n));
            _mm_store_si128(reinterpret_cast<__m128i*>(firstCol + 4 * v), _mm256_cvttpd_epi32(first));
            fast |= static_cast<unsigned>(_mm256_movemask_pd(ok)) << (4 * v);
        }
        int longest = 0;
        for (int k = 0; k < kGroupRows; ++k)
            if (kept[k] > longest) longest = kept[k];

        if constexpr (kFixed) {
            // Both coordinates in fixed point (see FixedBits), eight rows a
            // register, from the first column any row of the group copies
            // (fixed point can jump there). A copied sample lies in
            // [0, sw) x [0, sh), where a logical shift truncates. y is
            // walked one unit high: its truncation is unchanged unless the
            // fraction bits come out 0 or 1, which `nearest` (their least
            // value over the row) marks as too close to an integer.
            constexpr int kHalves = kGroupVectors / 2;
            int from = longest;
            for (int k = 0; k < kGroupRows; ++k)
                if (firstCol[k] < from) from = firstCol[k];
            const uint32_t stepFx = ToFixed(g.a, unit), stepFy = ToFixed(g.b, unit);
            const __m256i stepX = _mm256_set1_epi32(static_cast<int32_t>(stepFx));
            const __m256i stepY = _mm256_set1_epi32(static_cast<int32_t>(stepFy));
            const __m256i skipX = _mm256_set1_epi32(static_cast<int32_t>(static_cast<uint32_t>(from) * stepFx));
            const __m256i skipY = _mm256_set1_epi32(static_cast<int32_t>(static_cast<uint32_t>(from) * stepFy + 1));
            const __m256d units = _mm256_set1_pd(unit);
            const __m128i shift = _mm_cvtsi32_si128(fractionBits);
            const __m256i width8 = _mm256_set1_epi32(sw);
            const __m256i fraction = _mm256_set1_epi32(static_cast<int32_t>((1u << fractionBits) - 1));
            __m256i xf[kHalves], yf[kHalves], nearest[kHalves];
            for (int h = 0; h < kHalves; ++h) {
                const __m256d x0 = _mm256_mul_pd(X[2 * h], units), x1 = _mm256_mul_pd(X[2 * h + 1], units);
                const __m256d y0 = _mm256_floor_pd(_mm256_mul_pd(Y[2 * h], units));
                const __m256d y1 = _mm256_floor_pd(_mm256_mul_pd(Y[2 * h + 1], units));
                xf[h] = _mm256_add_epi32(LowWords(x0, x1), skipX);
                yf[h] = _mm256_add_epi32(LowWords(y0, y1), skipY);
                nearest[h] = fraction;
            }
            for (int col = from; col < longest; ++col)
                for (int h = 0; h < kHalves; ++h) {
                    const __m256i ty = _mm256_srl_epi32(yf[h], shift), tx = _mm256_srl_epi32(xf[h], shift);
                    _mm256_store_si256(reinterpret_cast<__m256i*>(index + col * kGroupRows + 8 * h),
                                       _mm256_add_epi32(_mm256_mullo_epi32(ty, width8), tx));
                    nearest[h] = _mm256_min_epu32(nearest[h], _mm256_and_si256(yf[h], fraction));
                    xf[h] = _mm256_add_epi32(xf[h], stepX);
                    yf[h] = _mm256_add_epi32(yf[h], stepY);
                }
            alignas(32) uint32_t nearestRows[kGroupRows];
            for (int h = 0; h < kHalves; ++h)
                _mm256_store_si256(reinterpret_cast<__m256i*>(nearestRows + 8 * h), nearest[h]);
            for (int k = 0; k < kGroupRows; ++k)
                if (nearestRows[k] < 2) fast &= ~(1u << k);
        } else {
            // Source indices of columns 0 .. longest - 1, by the rows' own
            // additions.
            __m256d x[kGroupVectors], y[kGroupVectors];
            for (int v = 0; v < kGroupVectors; ++v) {
                x[v] = X[v];
                y[v] = Y[v];
            }
            for (int col = 0; col < longest; ++col)
                for (int v = 0; v < kGroupVectors; ++v) {
                    StoreIndex(index + col * kGroupRows + 4 * v, x[v], y[v], widthI);
                    x[v] = _mm256_add_pd(x[v], A);
                    y[v] = _mm256_add_pd(y[v], B);
                }
        }

        for (int k = 0; k < kGroupRows; ++k) {
            if ((fast & (1u << k)) == 0) {
                RotateRowScalar(p, g, r + k, startX[k], startY[k]);
                continue;
            }
            const int begin = firstCol[k];
            const int end = kept[k];
            T* row = p.dst + static_cast<ptrdiff_t>(r + k) * tw;
            // The whole row cleared first and the span copied over it: the
            // same number of stores every row, so the branches of fills and
            // tails that vary from row to row are gone.
            Fill(row, tw, p.clear);
            const int32_t* idx = index + k;
            const auto copyFour = [&](int i) {
                const T s0 = p.src[idx[i * kGroupRows]], s1 = p.src[idx[(i + 1) * kGroupRows]];
                const T s2 = p.src[idx[(i + 2) * kGroupRows]], s3 = p.src[idx[(i + 3) * kGroupRows]];
                row[i] = s0;
                row[i + 1] = s1;
                row[i + 2] = s2;
                row[i + 3] = s3;
            };
            // Words are gathered into a vector register (an insert that
            // loads, one store for eight), which leaves the integer units
            // free for the index loads.
            const auto copyEight = [&](int i) {
                if constexpr (sizeof(T) == 2) {
                    __m128i v = _mm_cvtsi32_si128(p.src[idx[i * kGroupRows]]);
                    v = _mm_insert_epi16(v, p.src[idx[(i + 1) * kGroupRows]], 1);
                    v = _mm_insert_epi16(v, p.src[idx[(i + 2) * kGroupRows]], 2);
                    v = _mm_insert_epi16(v, p.src[idx[(i + 3) * kGroupRows]], 3);
                    v = _mm_insert_epi16(v, p.src[idx[(i + 4) * kGroupRows]], 4);
                    v = _mm_insert_epi16(v, p.src[idx[(i + 5) * kGroupRows]], 5);
                    v = _mm_insert_epi16(v, p.src[idx[(i + 6) * kGroupRows]], 6);
                    v = _mm_insert_epi16(v, p.src[idx[(i + 7) * kGroupRows]], 7);
                    _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i), v);
                } else {
                    copyFour(i);
                    copyFour(i + 4);
                }
            };
            // Tails are whole blocks ending at `end`, overlapping pixels
            // already copied.
            if (end - begin >= 8) {
                for (int i = begin; i + 8 <= end; i += 8) copyEight(i);
                copyEight(end - 8);
            } else if (end - begin >= 4) {
                copyFour(begin);
                copyFour(end - 4);
            } else {
                for (int i = begin; i < end; ++i) row[i] = p.src[idx[i * kGroupRows]];
            }
        }
    }
    for (; r < th; ++r) {
        RotateRowScalar(p, g, r, xr, yr);
        xr -= g.b;
        yr += g.a;
    }
}

template <class T>
void Pass(const RotatePlane<T>& p, const RotateGeometry& g) {
    double margin = 0;
    if (p.dstWidth <= kMaxRowPixels && SpansApply(g, p.srcWidth, p.srcHeight, p.dstWidth, p.dstHeight, margin)) {
        const int bits = FixedBits(g, p.srcWidth, p.srcHeight, p.dstWidth, p.dstHeight, margin);
        if (bits >= 0)
            PassSpans<T, kSpanVectors, true>(p, g, margin, bits);
        else
            PassSpans<T, kSpanVectors, false>(p, g, margin, 0);
        return;
    }
    PassWalk(p, g);
}

}  // namespace

#pragma GCC pop_options

void RotatePassAvx2(const RotatePlane<uint16_t>& plane, const RotateGeometry& g) { Pass(plane, g); }
void RotatePassAvx2(const RotatePlane<uint8_t>& plane, const RotateGeometry& g) { Pass(plane, g); }

#endif
