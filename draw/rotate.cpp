#include <cmath>
#include <cstddef>
#include <cstdint>

#include "draw/blit_kernels.h"
#include "draw/rotate_pass.h"
#include "image/image.h"

namespace {

// 3.141592 / 180, the engine's degrees-to-radians factor.
constexpr double kDegreesToRadians = 0.01745328888888889;
// Direction from the target's centre to its top-left corner, y up.
constexpr double kCornerDegrees = 135.0;

bool Inside(double x, double y, int w, int h) { return x >= 0 && x < w && y >= 0 && y < h; }

template <class T>
void RowScalar(const RotatePlane<T>& p, const RotateGeometry& g, int rowIndex, double xr, double yr) {
    const int sw = p.srcWidth, sh = p.srcHeight, tw = p.dstWidth;
    T* row = p.dst + static_cast<ptrdiff_t>(rowIndex) * tw;
    int n = tw;
    // Right trim: a pixel goes while the sample one step to its right lies
    // outside, so the last copied sample is a full step inside.
    double xe = xr + g.ea, ye = yr + g.eb;
    T* q = row + tw - 1;
    while (!Inside(xe, ye, sw, sh) && n > 0) {
        *q-- = p.clear;
        --n;
        xe -= g.a;
        ye -= g.b;
    }
    double x = xr, y = yr;
    q = row;
    while (!Inside(x, y, sw, sh) && n > 0) {
        *q++ = p.clear;
        --n;
        x += g.a;
        y += g.b;
    }
    for (; n > 0; --n) {
        if (x > -1 && x < sw && y > -1 && y < sh)
            *q++ = p.src[static_cast<ptrdiff_t>(static_cast<int>(y)) * sw + static_cast<int>(x)];
        else
            *q++ = p.clear;
        x += g.a;
        y += g.b;
    }
}

template <class T>
void PassScalar(const RotatePlane<T>& p, const RotateGeometry& g) {
    double xr = g.x0, yr = g.y0;
    for (int r = 0; r < p.dstHeight; ++r) {
        RowScalar(p, g, r, xr, yr);
        xr -= g.b;
        yr += g.a;
    }
}

// Unused where the AVX2 pass is not built (the web build).
[[maybe_unused]] bool UseAvx2() {
#if defined(__x86_64__) || defined(__i386__)
    // The rotation needs AVX2 only; the AVX-512 set implies it.
    return &ActiveBlitKernels() == &kAvx2BlitKernels || &ActiveBlitKernels() == &kAvx512BlitKernels;
#else
    return false;
#endif
}

template <class T>
void RunPass(const RotatePlane<T>& p, const RotateGeometry& g) {
#if defined(__x86_64__) || defined(__i386__)
    if (UseAvx2()) {
        RotatePassAvx2(p, g);
        return;
    }
#endif
#if defined(__wasm_simd128__)
    RotatePassWasmSimd(p, g);
#else
    PassScalar(p, g);
#endif
}

// What both passes need of the images before they touch anything.
bool CanRotate(const Image& source, const Image* target, float scale) {
    return target != nullptr && target != &source && scale != 0 && source.width > 0 && source.height > 0 &&
           target->width > 0 && target->height > 0;
}

}  // namespace

RotateGeometry MakeRotateGeometry(int sw, int sh, int tw, int th, float angle, float scale, double q) {
    RotateGeometry g;
    const double s = scale;
    const float halfDiagonal =
        static_cast<float>(static_cast<float>(std::sqrt(static_cast<double>(tw) * tw + static_cast<double>(th) * th)) * 0.5);
    const double R = halfDiagonal;
    const double beta = (kCornerDegrees - angle) * kDegreesToRadians;
    const double alpha = angle * kDegreesToRadians;
    g.x0 = static_cast<float>(R * std::cos(beta) / s + sw * 0.5);
    g.y0 = sh * 0.5 - std::sin(beta) * q * R / s;
    g.a = static_cast<float>(std::cos(alpha) / s);
    g.b = static_cast<float>(q * std::sin(alpha) / s);
    g.ea = static_cast<float>(tw * static_cast<double>(g.a));
    g.eb = static_cast<float>(tw * static_cast<double>(g.b));
    return g;
}

void RotatePassScalar(const RotatePlane<uint16_t>& p, const RotateGeometry& g) { PassScalar(p, g); }
void RotatePassScalar(const RotatePlane<uint8_t>& p, const RotateGeometry& g) { PassScalar(p, g); }
void RotateRowScalar(const RotatePlane<uint16_t>& p, const RotateGeometry& g, int row, double xr, double yr) {
    RowScalar(p, g, row, xr, yr);
}
void RotateRowScalar(const RotatePlane<uint8_t>& p, const RotateGeometry& g, int row, double xr, double yr) {
    RowScalar(p, g, row, xr, yr);
}

void Image::Rotate(Image* target, float angle, float scale) {
    RotateColor(target, angle, scale);
    RotateAlpha(target, angle, scale);
}

void Image::RotateColor(Image* target, float angle, float scale) {
    // Pixels move as 16-bit words: a picture of one byte a pixel would be
    // read or written past its end. Alpha bytes are one a pixel in any mode.
    if (!CanRotate(*this, target, scale) || data == nullptr || target->data == nullptr || !Is16Bit() ||
        !target->Is16Bit())
        return;
    // The colour pass stretches y by width / height; the alpha pass does not.
    const double q = width / height;
    const RotateGeometry g = MakeRotateGeometry(width, height, target->width, target->height, angle, scale, q);
    RunPass(RotatePlane<uint16_t>{Pixels16(), width, height, target->Pixels16(), target->width, target->height, 0}, g);
}

void Image::RotateAlpha(Image* target, float angle, float scale) {
    if (!CanRotate(*this, target, scale) || alpha == nullptr || target->alpha == nullptr) return;
    const RotateGeometry g = MakeRotateGeometry(width, height, target->width, target->height, angle, scale, 1.0);
    RunPass(RotatePlane<uint8_t>{alpha, width, height, target->alpha, target->width, target->height, 255}, g);
}
