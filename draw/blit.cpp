#include "draw/blit.h"

#include "draw/blit_kernels.h"
#include "draw/pixel_format.h"
#include "engine/windows_dx.h"
#include "image/image.h"

namespace {

#if defined(__x86_64__) || defined(__i386__)
bool HasAvx2() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}

bool HasAvx512() {
    __builtin_cpu_init();
    return HasAvx2() && __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
           __builtin_cpu_supports("avx512vl");
}
#endif

const BlitKernels* BestKernels() {
#if defined(__x86_64__) || defined(__i386__)
    if (HasAvx512()) return &kAvx512BlitKernels;
    if (HasAvx2()) return &kAvx2BlitKernels;
    return &kSse2BlitKernels;
#else
    return &kScalarBlitKernels;
#endif
}

const BlitKernels* activeKernels = BestKernels();

// The frame shared by every blit: clip once, then hand the visible rectangle
// to the member's kernel. False when there is nothing to draw.
bool ClipRect(int x, int y, Image* image, bool needsAlpha, BlitRect& rect) {
    // The kernels move 16-bit words; a buffer of one byte a pixel would be overrun.
    if (image->data == nullptr || !image->Is16Bit()) return false;
    if (needsAlpha && image->alpha == nullptr) return false;
    int dstOffset = 0, srcOffset = 0, w = 0, h = 0;
    if (!Tarvo.ClipImage(x, y, image, dstOffset, srcOffset, w, h)) return false;
    if (w <= 0 || h <= 0) return false;
    rect.dst = Tarvo.backBuffer + dstOffset;
    rect.dstPitch = Tarvo.pitch;
    rect.src = image->Pixels16() + srcOffset;
    rect.srcPitch = image->width;
    rect.alpha = needsAlpha ? image->alpha + srcOffset : nullptr;
    rect.width = w;
    rect.height = h;
    return true;
}

ChannelMasks ScreenMasks() {
    return ChannelMasks{static_cast<uint32_t>(redMask), static_cast<uint32_t>(greenMask),
                        static_cast<uint32_t>(blueMask)};
}

}  // namespace

const BlitKernels* BlitKernelsFor(BlitLevel level) {
    switch (level) {
        case BlitLevel::kScalar:
            return &kScalarBlitKernels;
#if defined(__x86_64__) || defined(__i386__)
        case BlitLevel::kSse2:
            return &kSse2BlitKernels;
        case BlitLevel::kAvx2:
            return HasAvx2() ? &kAvx2BlitKernels : nullptr;
        case BlitLevel::kAvx512:
            return HasAvx512() ? &kAvx512BlitKernels : nullptr;
#endif
        default:
            return nullptr;
    }
}

const BlitKernels& ActiveBlitKernels() { return *activeKernels; }

void RestoreBestBlitLevel() { activeKernels = BestKernels(); }

bool SetBlitLevel(BlitLevel level) {
    const BlitKernels* kernels = BlitKernelsFor(level);
    if (kernels == nullptr) return false;
    activeKernels = kernels;
    return true;
}

int DrawPixel16(int x, int y, int r, int g, int b) {
    Tarvo.backBuffer[Tarvo.rowOffset[y] + x] = static_cast<uint16_t>(r * 1024 + g * 32 + b);
    return 1;
}

int DrawSolid16(int x, int y, Image* image) {
    BlitRect rect;
    if (ClipRect(x, y, image, false, rect)) activeKernels->solid(rect);
    return 1;
}

int DrawTransparent16(int x, int y, Image* image) {
    BlitRect rect;
    if (ClipRect(x, y, image, false, rect)) activeKernels->transparent(rect);
    return 1;
}

int DrawAlpha16(int x, int y, Image* image) {
    BlitRect rect;
    if (ClipRect(x, y, image, true, rect)) activeKernels->alphaBlend(rect, ScreenMasks());
    return 1;
}

int DrawAdditive16(int x, int y, Image* image) {
    BlitRect rect;
    if (ClipRect(x, y, image, true, rect)) activeKernels->additive(rect, ScreenMasks());
    return 1;
}
