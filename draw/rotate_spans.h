// What the vector passes of the rotation (AVX2, WebAssembly SIMD) share: the
// scalar arithmetic that decides which way a pass takes and proves that the
// vector results equal the scalar rule's. Nothing here uses vector
// instructions; an instruction-set file includes it before switching its
// target, so that these inline functions are compiled for the baseline alone.
//
// The spans way, in short: along a row the sample points follow a line, and
// every step adds the same value, so each of the four inside tests changes at
// most once along a walk (rounding is monotonic). Where that change happens
// is computed from the line (t = (edge - start) / step) instead of walked to.
// The walked values differ from the line by less than `margin` (one rounding
// a step); a row whose line passes an edge within that margin of a column, or
// whose copied span would reach past the inside interval, is redone by the
// scalar rule.
#pragma once

#include <cstdint>
#include <cstring>

#include "draw/rotate_pass.h"

namespace rotate_spans {

// Widest target row the passes' stack buffers of indices take; wider
// targets use the scalar pass.
constexpr int kMaxRowPixels = 1024;

inline double Magnitude(double v) { return v < 0 ? -v : v; }

// Where each of `count` rows starts, stepped row to row as the rule does;
// (xr, yr) moves on to the row after them.
inline void RowStarts(const RotateGeometry& g, int count, double& xr, double& yr, double* startX, double* startY) {
    for (int k = 0; k < count; ++k) {
        startX[k] = xr;
        startY[k] = yr;
        xr -= g.b;
        yr += g.a;
    }
}

// Margin for telling, without walking to it, whether a row's last copied
// sample truncates to a position inside the source (the walk way). The right
// trim stopped at (xe, ye) inside the source; the last copied sample is one
// step back from there, (xe - a, ye - b), up to the rounding of the two walks
// (one double rounding a step, at most tw + 2 steps) and of the float ea, eb.
// The margin is far wider than those roundings for every row of the pass
// (reach bounds |xr| + |yr| of all rows); a row that comes closer to an edge
// than it is redone by the scalar rule.
inline double EndSlack(const RotateGeometry& g, int tw, int th) {
    const double steps = Magnitude(g.a) + Magnitude(g.b);
    const double reach = Magnitude(g.x0) + Magnitude(g.y0) + (tw + th + 4.0) * steps + 2.0;
    return (tw + 8.0) * reach * 0x1p-48 + tw * steps * 0x1p-20;
}

inline bool EndInside(double endX, double endY, double slack, int sw, int sh) {
    return endX - slack > -1 && endX + slack < sw && endY - slack > -1 && endY + slack < sh;
}

// Whole-pass conditions of the spans way: steps neither tiny nor huge,
// values finite and far from the limits of double precision. Anything else
// walks.
inline bool SpansApply(const RotateGeometry& g, int sw, int sh, int tw, int th, double& margin) {
    const double a = Magnitude(g.a), b = Magnitude(g.b);
    if (!(a >= 0x1p-20 && a <= 0x1p20 && b >= 0x1p-20 && b <= 0x1p20)) return false;
    if (!(Magnitude(g.ea) <= 0x1p40 && Magnitude(g.eb) <= 0x1p40)) return false;
    const double reach = Magnitude(g.x0) + Magnitude(g.y0) + (tw + th + 4.0) * (a + b) + Magnitude(g.ea) +
                         Magnitude(g.eb) + sw + sh + 2.0;
    if (!(reach <= 0x1p40)) return false;
    // Walk of at most tw + 1 roundings of at most reach * 2^-53 each, plus
    // the roundings of t itself; kept far wider than both.
    margin = (tw + 8.0) * reach * 0x1p-46;
    return true;
}

// One coordinate of one walk: the edge where the walk enters [0, size) and
// the one where it leaves (by the sign of the step), 1 / step, and the
// margin in steps.
struct SpanEdges {
    double enter, leave, inverse, tolerance;
};

inline SpanEdges MakeSpanEdges(double step, double size, double margin) {
    return {step > 0 ? 0.0 : size, step > 0 ? size : 0.0, 1.0 / step, margin / Magnitude(step)};
}

// Exponent of the lowest set bit of v (v != 0): v is an odd multiple of
// 2^result.
inline int LowBitExponent(double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    uint64_t mantissa = bits & ((uint64_t{1} << 52) - 1);
    // Normal numbers carry the hidden bit; subnormals have exponent 1 - 1075.
    if (biased != 0) mantissa |= uint64_t{1} << 52;
    return (biased != 0 ? biased : 1) - 1075 + __builtin_ctzll(mantissa);
}

// 2^k for 0 <= k <= 30, exactly.
inline double PowerOfTwo(int k) { return static_cast<double>(uint64_t{1} << k); }

// Fraction bits k for walking both coordinates in 32-bit fixed point, or -1.
// x: every walked x is X0 - r * b + c * a; with X0, a and b multiples of
// 2^-k and every partial sum below 2^(53 - k) in magnitude, each double
// addition of the rule is exact, so the walk equals the fixed-point sum.
// y: the row start is a full double, so the walk may round where y enters a
// larger binade; the fixed-point y (row start rounded down to 2^-k, then
// steps of b, exact) stays within one unit plus `margin` of the walked y,
// which decides the truncation except where the fixed-point value is within
// a unit of an integer: such rows are marked and redone by the scalar rule.
// A copied sample lies in [0, sw) x [0, sh), which must fit 32 bits unsigned.
inline int FixedBits(const RotateGeometry& g, int sw, int sh, int tw, int th, double margin) {
    int k = 0;
    const double values[] = {g.x0, g.a, g.b};
    for (const double v : values)
        if (v != 0 && -LowBitExponent(v) > k) k = -LowBitExponent(v);
    const double steps = (th + tw + 2.0) * (Magnitude(g.a) + Magnitude(g.b));
    const double reach = Magnitude(g.x0) + Magnitude(g.y0) + steps;
    const double size = sw > sh ? sw : sh;
    const auto fits = [&](int bits) {
        const double unit = PowerOfTwo(bits);
        return bits <= 30 && reach * unit < 0x1p51 && margin * unit < 0.25 && size * unit <= 0x1p32 - 2;
    };
    if (!fits(k)) return -1;
    // More fraction bits than needed are as exact and leave fewer rows
    // unsure.
    while (fits(k + 1)) ++k;
    return k;
}

// v * unit as a 32-bit fixed-point word (modulo 2^32); v * unit is an
// integer below 2^53 in magnitude wherever this is called.
inline uint32_t ToFixed(double v, double unit) {
    return static_cast<uint32_t>(static_cast<uint64_t>(static_cast<int64_t>(v * unit)));
}

}  // namespace rotate_spans
