// WebAssembly SIMD build of the rotation pass, bit-identical to the scalar
// rule: the two ways of the AVX2 build (draw/rotate_avx2.cpp) in 128-bit
// registers, two doubles or four 32-bit words a register, for the browser
// build made with -msimd128.
//
// Spans (most geometry): eight rows a group. Each row's right and left
// trims come from its line (draw/rotate_spans.h), two rows a register; a row
// whose line meets an edge within the margin of a column, or whose copied
// span would reach outside the source, is redone by the scalar rule. The
// source indices of the copied columns come from a walk in 32-bit fixed
// point, four rows a register, where FixedBits proves that gives the rule's
// truncations, else from the rule's own double additions, one row a lane;
// each row is cleared and its span copied through the indices.
//
// Walk (steps below 2^-20 or extreme values): eight rows at once, one row a
// lane, every lane repeating the rule's additions:
//   1. the right trims of the eight rows, stepped together;
//   2. one walk along the rows that finds each row's left trim and stores the
//      source index of every column;
//   3. per row, the clears and a plain indexed copy.
// A row whose last copied sample might truncate to a position outside the
// source (rounding at the very end of a row) is redone by the scalar rule.
#if defined(__wasm_simd128__)

#include <wasm_simd128.h>

#include <cstddef>
#include <cstdint>

#include "draw/rotate_pass.h"
#include "draw/rotate_spans.h"

namespace {

using namespace rotate_spans;

// Rows a group of the walk: four registers of two, so that several chains of
// additions are in flight at once.
constexpr int kWalkVectors = 4;
constexpr int kWalkRows = 2 * kWalkVectors;
// Rows a group of the spans: two fixed-point registers of four rows. Here as
// fast as sixteen rows, and it leaves fewer of a target's last rows (those
// that fill no group) to the scalar rule.
constexpr int kSpanVectors = 4;
constexpr int kSpanRows = 2 * kSpanVectors;

inline v128_t Splat(double v) { return wasm_f64x2_splat(v); }

inline v128_t Inside(v128_t x, v128_t y, v128_t srcW, v128_t srcH) {
    const v128_t zero = Splat(0.0);
    const v128_t inX = wasm_v128_and(wasm_f64x2_ge(x, zero), wasm_f64x2_lt(x, srcW));
    const v128_t inY = wasm_v128_and(wasm_f64x2_ge(y, zero), wasm_f64x2_lt(y, srcH));
    return wasm_v128_and(inX, inY);
}

// Four whole numbers (below 2^51 in magnitude), two in each of lo and hi,
// modulo 2^32: adding 1.5 * 2^52 leaves each number's two's complement in
// the low bits of its double.
inline v128_t LowWords(v128_t lo, v128_t hi) {
    const v128_t magic = Splat(0x1.8p52);
    return wasm_i32x4_shuffle(wasm_f64x2_add(lo, magic), wasm_f64x2_add(hi, magic), 0, 2, 4, 6);
}

// Truncations of four values, two in each of lo and hi, that lie in
// (-1, 2^31) wherever they are used (copied samples, trims): there the
// truncation is the floor of the value or of 0, whichever is larger. Three
// instructions a register under V8 where the saturating conversion takes
// five; other lanes may come out as anything.
inline v128_t Truncations(v128_t lo, v128_t hi) {
    const v128_t zero = Splat(0.0);
    return LowWords(wasm_f64x2_floor(wasm_f64x2_pmax(lo, zero)), wasm_f64x2_floor(wasm_f64x2_pmax(hi, zero)));
}

// Source index trunc(y) * width + trunc(x) of four samples, two a register.
inline void StoreIndex(int32_t* to, v128_t x0, v128_t y0, v128_t x1, v128_t y1, v128_t width) {
    wasm_v128_store(to, wasm_i32x4_add(wasm_i32x4_mul(Truncations(y0, y1), width), Truncations(x0, x1)));
}

// Four words shifted right by a count known only at run time. WebAssembly's
// shift takes the count as a plain integer, but this compiler (LLVM 14) moves
// a loop-invariant count's splat out of the loop and then, no longer seeing
// a splat, shifts the four lanes one by one; the empty asm keeps the count in
// the loop.
inline v128_t ShiftRight(v128_t v, uint32_t count) {
    __asm__ volatile("" : "+r"(count));
    return wasm_u32x4_shr(v, count);
}

template <class T>
v128_t SplatValue(T value) {
    if constexpr (sizeof(T) == 2)
        return wasm_i16x8_splat(static_cast<int16_t>(value));
    else
        return wasm_i8x16_splat(static_cast<int8_t>(value));
}

// Whole registers, the last one ending at the end and overlapping the one
// before, where the count takes one.
template <class T>
void Fill(T* p, int count, T value) {
    constexpr int kLanes = 16 / sizeof(T);
    if (count < kLanes) {
        for (int i = 0; i < count; ++i) p[i] = value;
        return;
    }
    const v128_t v = SplatValue(value);
    for (int i = 0; i + kLanes <= count; i += kLanes) wasm_v128_store(p + i, v);
    wasm_v128_store(p + count - kLanes, v);
}

template <class T>
void CopyFour(T* to, const T* src, const int32_t* idx, int stride) {
    const T s0 = src[idx[0]], s1 = src[idx[stride]], s2 = src[idx[2 * stride]], s3 = src[idx[3 * stride]];
    to[0] = s0;
    to[1] = s1;
    to[2] = s2;
    to[3] = s3;
}

// Columns begin .. end - 1 of a row through its indices, in blocks of four
// plain loads and stores (gathering into a register by loads into lanes is
// slower under V8); the tail is a whole block ending at `end`, overlapping
// pixels already copied.
template <class T>
void CopySpan(T* row, const T* src, const int32_t* idx, int stride, int begin, int end) {
    if (end - begin >= 4) {
        for (int i = begin; i + 4 <= end; i += 4) CopyFour(row + i, src, idx + i * stride, stride);
        CopyFour(row + end - 4, src, idx + (end - 4) * stride, stride);
    } else {
        for (int i = begin; i < end; ++i) row[i] = src[idx[i * stride]];
    }
}

template <class T>
void PassWalk(const RotatePlane<T>& p, const RotateGeometry& g) {
    const int sw = p.srcWidth, sh = p.srcHeight, tw = p.dstWidth, th = p.dstHeight;
    if (tw > kMaxRowPixels) {
        RotatePassScalar(p, g);
        return;
    }
    // Column c's indices of the group's rows sit at index[c * kWalkRows ...].
    alignas(16) int32_t index[kMaxRowPixels * kWalkRows];
    const v128_t zero = Splat(0.0), one = Splat(1.0), srcW = Splat(sw), srcH = Splat(sh);
    const v128_t A = Splat(g.a), B = Splat(g.b), EA = Splat(g.ea), EB = Splat(g.eb);
    const v128_t widthI = wasm_i32x4_splat(sw);
    const double slack = EndSlack(g, tw, th);

    double xr = g.x0, yr = g.y0;
    int r = 0;
    for (; r + kWalkRows <= th; r += kWalkRows) {
        alignas(16) double startX[kWalkRows], startY[kWalkRows];
        RowStarts(g, kWalkRows, xr, yr, startX, startY);
        v128_t X[kWalkVectors], Y[kWalkVectors], n[kWalkVectors], xe[kWalkVectors], ye[kWalkVectors];
        for (int v = 0; v < kWalkVectors; ++v) {
            X[v] = wasm_v128_load(startX + 2 * v);
            Y[v] = wasm_v128_load(startY + 2 * v);
        }

        // 1. Right trims: n counts each row's pixels still to decide.
        for (int v = 0; v < kWalkVectors; ++v) {
            n[v] = Splat(tw);
            xe[v] = wasm_f64x2_add(X[v], EA);
            ye[v] = wasm_f64x2_add(Y[v], EB);
        }
        for (;;) {
            v128_t trimming = zero;
            for (int v = 0; v < kWalkVectors; ++v) {
                const v128_t trim = wasm_v128_andnot(wasm_f64x2_gt(n[v], zero), Inside(xe[v], ye[v], srcW, srcH));
                trimming = wasm_v128_or(trimming, trim);
                n[v] = wasm_f64x2_sub(n[v], wasm_v128_and(trim, one));
                xe[v] = wasm_v128_bitselect(wasm_f64x2_sub(xe[v], A), xe[v], trim);
                ye[v] = wasm_v128_bitselect(wasm_f64x2_sub(ye[v], B), ye[v], trim);
            }
            if (!wasm_v128_any_true(trimming)) break;
        }
        alignas(16) double kept[kWalkRows];
        for (int v = 0; v < kWalkVectors; ++v) wasm_v128_store(kept + 2 * v, n[v]);
        int longest = 0;
        for (int k = 0; k < kWalkRows; ++k)
            if (static_cast<int>(kept[k]) > longest) longest = static_cast<int>(kept[k]);

        // 2. Left trims and source indices, columns 0 .. longest - 1. Once
        // every row has found its first inside sample, only indices remain.
        v128_t x[kWalkVectors], y[kWalkVectors], started[kWalkVectors], first[kWalkVectors];
        for (int v = 0; v < kWalkVectors; ++v) {
            x[v] = X[v];
            y[v] = Y[v];
            started[v] = zero;
            first[v] = n[v];
        }
        const auto storeAndStep = [&](int col) {
            for (int v = 0; v < kWalkVectors; v += 2)
                StoreIndex(index + col * kWalkRows + 2 * v, x[v], y[v], x[v + 1], y[v + 1], widthI);
            for (int v = 0; v < kWalkVectors; ++v) {
                x[v] = wasm_f64x2_add(x[v], A);
                y[v] = wasm_f64x2_add(y[v], B);
            }
        };
        v128_t c = zero;
        int col = 0;
        for (; col < longest; ++col) {
            v128_t allSettled = wasm_i32x4_splat(-1);
            for (int v = 0; v < kWalkVectors; ++v) {
                const v128_t settled = wasm_v128_or(started[v], wasm_f64x2_ge(c, n[v]));
                allSettled = wasm_v128_and(allSettled, settled);
                const v128_t begins = wasm_v128_andnot(Inside(x[v], y[v], srcW, srcH), settled);
                first[v] = wasm_v128_bitselect(c, first[v], begins);
                started[v] = wasm_v128_or(started[v], begins);
            }
            if (wasm_i64x2_all_true(allSettled)) break;
            storeAndStep(col);
            c = wasm_f64x2_add(c, one);
        }
        for (; col < longest; ++col) storeAndStep(col);

        // 3. Clears and copies, row by row.
        alignas(16) double firstCol[kWalkRows], endX[kWalkRows], endY[kWalkRows];
        for (int v = 0; v < kWalkVectors; ++v) {
            wasm_v128_store(firstCol + 2 * v, first[v]);
            wasm_v128_store(endX + 2 * v, wasm_f64x2_sub(xe[v], A));
            wasm_v128_store(endY + 2 * v, wasm_f64x2_sub(ye[v], B));
        }
        for (int k = 0; k < kWalkRows; ++k) {
            const int begin = static_cast<int>(firstCol[k]);
            const int end = static_cast<int>(kept[k]);
            if (begin < end && !EndInside(endX[k], endY[k], slack, sw, sh)) {
                RotateRowScalar(p, g, r + k, startX[k], startY[k]);
                continue;
            }
            T* row = p.dst + static_cast<ptrdiff_t>(r + k) * tw;
            Fill(row, begin, p.clear);
            CopySpan(row, p.src, index + k, kWalkRows, begin, end);
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
    v128_t enter, leave, inverse, tolerance;
    SpanAxis(double step, double size, double margin) {
        const SpanEdges e = MakeSpanEdges(step, size, margin);
        enter = Splat(e.enter);
        leave = Splat(e.leave);
        inverse = Splat(e.inverse);
        tolerance = Splat(e.tolerance);
    }
};

// Whether the walk crosses an edge at step t far enough from every whole
// step to know each step's side without walking.
inline v128_t Far(v128_t t, v128_t tolerance) {
    return wasm_f64x2_gt(wasm_f64x2_abs(wasm_f64x2_sub(t, wasm_f64x2_nearest(t))), tolerance);
}

// Narrows [lo, hi] to the steps k at which start + k * step lies in
// [0, size), and clears `ok` where that cannot be told apart. Nothing here is
// NaN, so the pseudo-minimum and -maximum (one instruction each) are the
// minimum and maximum; a zero's sign never matters below.
inline void Axis(v128_t start, const SpanAxis& e, v128_t& lo, v128_t& hi, v128_t& ok) {
    const v128_t tEnter = wasm_f64x2_mul(wasm_f64x2_sub(e.enter, start), e.inverse);
    const v128_t tLeave = wasm_f64x2_mul(wasm_f64x2_sub(e.leave, start), e.inverse);
    lo = wasm_f64x2_pmax(lo, wasm_f64x2_ceil(tEnter));
    hi = wasm_f64x2_pmin(hi, wasm_f64x2_floor(tLeave));
    ok = wasm_v128_and(ok, wasm_v128_and(Far(tEnter, e.tolerance), Far(tLeave, e.tolerance)));
}

template <class T, bool kFixed>
void PassSpans(const RotatePlane<T>& p, const RotateGeometry& g, double margin, int fractionBits) {
    static_assert(kSpanVectors % 2 == 0 && kSpanRows <= 32, "whole registers of four rows, one bit a row");
    const int sw = p.srcWidth, sh = p.srcHeight, tw = p.dstWidth, th = p.dstHeight;
    // Column c's indices of the group's rows sit at index[c * kSpanRows ...].
    alignas(16) int32_t index[kMaxRowPixels * kSpanRows];
    const v128_t zero = Splat(0.0), one = Splat(1.0), cols = Splat(tw);
    // The right trim walks back by (a, b), the left trim forward.
    const SpanAxis backX(-g.a, sw, margin), backY(-g.b, sh, margin);
    const SpanAxis forwardX(g.a, sw, margin), forwardY(g.b, sh, margin);
    const v128_t EA = Splat(g.ea), EB = Splat(g.eb);
    const v128_t A = Splat(g.a), B = Splat(g.b);
    const v128_t minusOne = Splat(-1.0), big = Splat(tw + 1.0);
    const v128_t widthI = wasm_i32x4_splat(sw);
    // 2^fractionBits: scaling by it is exact.
    const double unit = PowerOfTwo(fractionBits);

    double xr = g.x0, yr = g.y0;
    int r = 0;
    for (; r + kSpanRows <= th; r += kSpanRows) {
        alignas(16) double startX[kSpanRows], startY[kSpanRows];
        RowStarts(g, kSpanRows, xr, yr, startX, startY);
        alignas(16) int32_t kept[kSpanRows], firstCol[kSpanRows];
        // Bit k: row k takes the fast copy.
        unsigned fast = 0;
        v128_t X[kSpanVectors], Y[kSpanVectors], n[kSpanVectors], first[kSpanVectors];
        for (int v = 0; v < kSpanVectors; ++v) {
            X[v] = wasm_v128_load(startX + 2 * v);
            Y[v] = wasm_v128_load(startY + 2 * v);
            // Right trim: the walk back from (xr + ea, yr + eb) by (a, b)
            // stops at the first inside step K; n = tw - K pixels remain.
            v128_t lo = minusOne, hi = big, ok = wasm_i32x4_splat(-1);
            const v128_t xe = wasm_f64x2_add(X[v], EA), ye = wasm_f64x2_add(Y[v], EB);
            Axis(xe, backX, lo, hi, ok);
            Axis(ye, backY, lo, hi, ok);
            lo = wasm_f64x2_pmax(lo, zero);
            // No inside step before tw: everything is trimmed.
            const v128_t none = wasm_v128_or(wasm_f64x2_gt(lo, hi), wasm_f64x2_ge(lo, cols));
            n[v] = wasm_v128_bitselect(zero, wasm_f64x2_sub(cols, lo), none);
            // Left trim: the walk forward from (xr, yr) stops at the first
            // inside column, or at n.
            v128_t flo = minusOne, fhi = big;
            Axis(X[v], forwardX, flo, fhi, ok);
            Axis(Y[v], forwardY, flo, fhi, ok);
            flo = wasm_f64x2_pmax(flo, zero);
            const v128_t empty = wasm_v128_or(wasm_f64x2_gt(flo, fhi), wasm_f64x2_ge(flo, n[v]));
            first[v] = wasm_v128_bitselect(n[v], flo, empty);
            // Every copied column must be inside: n - 1 <= fhi, unless
            // nothing is copied.
            const v128_t reaches = wasm_v128_or(empty, wasm_f64x2_le(wasm_f64x2_sub(n[v], one), fhi));
            ok = wasm_v128_and(ok, reaches);
            fast |= static_cast<unsigned>(wasm_i64x2_bitmask(ok)) << (2 * v);
        }
        for (int v = 0; v < kSpanVectors; v += 2) {
            wasm_v128_store(kept + 2 * v, Truncations(n[v], n[v + 1]));
            wasm_v128_store(firstCol + 2 * v, Truncations(first[v], first[v + 1]));
        }
        int longest = 0;
        for (int k = 0; k < kSpanRows; ++k)
            if (kept[k] > longest) longest = kept[k];

        if constexpr (kFixed) {
            // Both coordinates in fixed point (see FixedBits), four rows a
            // register, from the first column any row of the group copies
            // (fixed point can jump there). A copied sample lies in
            // [0, sw) x [0, sh), where a logical shift truncates. y is
            // walked one unit high: its truncation is unchanged unless the
            // fraction bits come out 0 or 1, which `nearest` (their least
            // value over the row) marks as too close to an integer.
            constexpr int kQuads = kSpanVectors / 2;
            int from = longest;
            for (int k = 0; k < kSpanRows; ++k)
                if (firstCol[k] < from) from = firstCol[k];
            const uint32_t stepFx = ToFixed(g.a, unit), stepFy = ToFixed(g.b, unit);
            const v128_t stepX = wasm_i32x4_splat(static_cast<int32_t>(stepFx));
            const v128_t stepY = wasm_i32x4_splat(static_cast<int32_t>(stepFy));
            const v128_t skipX = wasm_i32x4_splat(static_cast<int32_t>(static_cast<uint32_t>(from) * stepFx));
            const v128_t skipY = wasm_i32x4_splat(static_cast<int32_t>(static_cast<uint32_t>(from) * stepFy + 1));
            const v128_t units = Splat(unit);
            const v128_t fraction = wasm_i32x4_splat(static_cast<int32_t>((1u << fractionBits) - 1));
            const uint32_t shift = static_cast<uint32_t>(fractionBits);
            v128_t xf[kQuads], yf[kQuads], nearest[kQuads];
            for (int h = 0; h < kQuads; ++h) {
                const v128_t x0 = wasm_f64x2_mul(X[2 * h], units), x1 = wasm_f64x2_mul(X[2 * h + 1], units);
                const v128_t y0 = wasm_f64x2_floor(wasm_f64x2_mul(Y[2 * h], units));
                const v128_t y1 = wasm_f64x2_floor(wasm_f64x2_mul(Y[2 * h + 1], units));
                xf[h] = wasm_i32x4_add(LowWords(x0, x1), skipX);
                yf[h] = wasm_i32x4_add(LowWords(y0, y1), skipY);
                nearest[h] = fraction;
            }
            for (int h = 0; h < kQuads; ++h)
                for (int col = from; col < longest; ++col) {
                    const v128_t ty = ShiftRight(yf[h], shift), tx = ShiftRight(xf[h], shift);
                    wasm_v128_store(index + col * kSpanRows + 4 * h, wasm_i32x4_add(wasm_i32x4_mul(ty, widthI), tx));
                    nearest[h] = wasm_u32x4_min(nearest[h], wasm_v128_and(yf[h], fraction));
                    xf[h] = wasm_i32x4_add(xf[h], stepX);
                    yf[h] = wasm_i32x4_add(yf[h], stepY);
                }
            alignas(16) uint32_t nearestRows[kSpanRows];
            for (int h = 0; h < kQuads; ++h) wasm_v128_store(nearestRows + 4 * h, nearest[h]);
            for (int k = 0; k < kSpanRows; ++k)
                if (nearestRows[k] < 2) fast &= ~(1u << k);
        } else {
            // Source indices of columns 0 .. longest - 1, by the rows' own
            // additions, four rows at a time.
            for (int v = 0; v < kSpanVectors; v += 2) {
                v128_t x0 = X[v], y0 = Y[v], x1 = X[v + 1], y1 = Y[v + 1];
                for (int col = 0; col < longest; ++col) {
                    StoreIndex(index + col * kSpanRows + 2 * v, x0, y0, x1, y1, widthI);
                    x0 = wasm_f64x2_add(x0, A);
                    y0 = wasm_f64x2_add(y0, B);
                    x1 = wasm_f64x2_add(x1, A);
                    y1 = wasm_f64x2_add(y1, B);
                }
            }
        }

        for (int k = 0; k < kSpanRows; ++k) {
            if ((fast & (1u << k)) == 0) {
                RotateRowScalar(p, g, r + k, startX[k], startY[k]);
                continue;
            }
            T* row = p.dst + static_cast<ptrdiff_t>(r + k) * tw;
            // The whole row cleared first and the span copied over it: the
            // same stores every row, whatever its trims.
            Fill(row, tw, p.clear);
            CopySpan(row, p.src, index + k, kSpanRows, firstCol[k], kept[k]);
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
            PassSpans<T, true>(p, g, margin, bits);
        else
            PassSpans<T, false>(p, g, margin, 0);
        return;
    }
    PassWalk(p, g);
}

}  // namespace

void RotatePassWasmSimd(const RotatePlane<uint16_t>& plane, const RotateGeometry& g) { Pass(plane, g); }
void RotatePassWasmSimd(const RotatePlane<uint8_t>& plane, const RotateGeometry& g) { Pass(plane, g); }

#endif
