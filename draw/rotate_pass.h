// The two passes of Image::Rotate over one plane (pixel words or alpha
// bytes): inverse mapping with nearest-pixel sampling, rows trimmed at both
// ends to the part that falls inside the source. The scalar pass is the rule;
// the vector passes (AVX2, WebAssembly SIMD) work on groups of rows, find the
// trims from each row's line and the source indices in fixed point where they
// can prove that gives the same results, hand every other row to the rule,
// and give the same bits.
//
// Depends on nothing but the planes it is given. Source and target must not
// overlap. A sample whose truncated position falls outside the source (which
// only rounding at the very end of a row could produce) is cleared instead of
// read.
#pragma once

#include <cstdint>

// Geometry of one pass: start point of row 0, steps a column (a, b), and the
// steps across a whole row (ea, eb). Rounded exactly as the rule says.
struct RotateGeometry {
    double x0;
    double y0;
    float a;
    float b;
    float ea;
    float eb;
};

// q is the source's width / height (integer division) for the colour pass
// and 1 for the alpha pass.
RotateGeometry MakeRotateGeometry(int sourceWidth, int sourceHeight, int targetWidth, int targetHeight, float angle,
                                  float scale, double q);

template <class T>
struct RotatePlane {
    const T* src;
    int srcWidth;
    int srcHeight;
    T* dst;
    int dstWidth;
    int dstHeight;
    T clear;  // written where the source does not reach
};

void RotatePassScalar(const RotatePlane<uint16_t>& plane, const RotateGeometry& g);
void RotatePassScalar(const RotatePlane<uint8_t>& plane, const RotateGeometry& g);
// One target row whose start point is (xr, yr).
void RotateRowScalar(const RotatePlane<uint16_t>& plane, const RotateGeometry& g, int row, double xr, double yr);
void RotateRowScalar(const RotatePlane<uint8_t>& plane, const RotateGeometry& g, int row, double xr, double yr);

#if defined(__x86_64__) || defined(__i386__)
// Caller checks that the processor has AVX2.
void RotatePassAvx2(const RotatePlane<uint16_t>& plane, const RotateGeometry& g);
void RotatePassAvx2(const RotatePlane<uint8_t>& plane, const RotateGeometry& g);
#endif

#if defined(__wasm_simd128__)
void RotatePassWasmSimd(const RotatePlane<uint16_t>& plane, const RotateGeometry& g);
void RotatePassWasmSimd(const RotatePlane<uint8_t>& plane, const RotateGeometry& g);
#endif
