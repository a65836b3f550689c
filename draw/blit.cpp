#include "draw/blit.h"

#include <cstdint>

#include "base/pixel_format.h"
#include "draw/blit_kernels.h"
#include "draw/screen.h"
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
#elif defined(__wasm_simd128__)
    return &kWasmSimdBlitKernels;
#else
    return &kScalarBlitKernels;
#endif
}

const BlitKernels* activeKernels = BestKernels();

// The screen the slot functions draw on (the engine object, once it exists).
ScreenBuffer* target = nullptr;

// Whether a picture at (x, y) can reach the clip rectangle at all. In a
// scrolling world most calls end here, so the blits decide it first, before
// they set up anything; 64-bit sums, so that positions near the int limits
// cannot wrap into view. ClipImage makes the same test again for the calls
// that pass.
inline bool MayShow(int x, int y, const Image* image) {
    return x <= target->clipRight && y <= target->clipBottom && int64_t{x} + image->width > target->clipLeft &&
           int64_t{y} + image->height > target->clipTop;
}

// The frame shared by every blit: clip once, then hand the visible rectangle
// to the member's kernel. False when there is nothing to draw.
bool ClipRect(int x, int y, Image* image, bool needsAlpha, BlitRect& rect) {
    // The kernels move 16-bit words; a buffer of one byte a pixel would be overrun.
    if (image->data == nullptr || !image->Is16Bit()) return false;
    if (needsAlpha && image->alpha == nullptr) return false;
    int dstOffset = 0, srcOffset = 0, w = 0, h = 0;
    if (!target->ClipImage(x, y, image, dstOffset, srcOffset, w, h)) return false;
    if (w <= 0 || h <= 0) return false;
    rect.dst = target->backBuffer + dstOffset;
    rect.dstPitch = target->pitch;
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

enum class Member { kSolid, kTransparent, kAlpha, kAdditive };

// Everything after MayShow, kept out of line so that a call that ends there
// sets up no stack frame.
template <Member kMember>
[[gnu::noinline]] int DrawClipped(int x, int y, Image* image) {
    constexpr bool kNeedsAlpha = kMember == Member::kAlpha || kMember == Member::kAdditive;
    BlitRect rect;
    if (!ClipRect(x, y, image, kNeedsAlpha, rect)) return 1;
    if constexpr (kMember == Member::kSolid)
        activeKernels->solid(rect);
    else if constexpr (kMember == Member::kTransparent)
        activeKernels->transparent(rect);
    else if constexpr (kMember == Member::kAlpha)
        activeKernels->alphaBlend(rect, ScreenMasks());
    else
        activeKernels->additive(rect, ScreenMasks());
    return 1;
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
#if defined(__wasm_simd128__)
        case BlitLevel::kWasmSimd128:
            return &kWasmSimdBlitKernels;
#endif
        default:
            return nullptr;
    }
}

void SetBlitTarget(ScreenBuffer* screen) { target = screen; }

const BlitKernels& ActiveBlitKernels() { return *activeKernels; }

void RestoreBestBlitLevel() { activeKernels = BestKernels(); }

bool SetBlitLevel(BlitLevel level) {
    const BlitKernels* kernels = BlitKernelsFor(level);
    if (kernels == nullptr) return false;
    activeKernels = kernels;
    return true;
}

int DrawPixel16(int x, int y, int r, int g, int b) {
    // Off the screen is nothing, as for FillRect: a game's stray pixel must
    // not write outside the buffer.
    if (x < 0 || y < 0 || x >= target->screenWidth || y >= target->screenHeight) return 1;
    target->backBuffer[target->rowOffset[y] + x] = static_cast<uint16_t>(r * 1024 + g * 32 + b);
    return 1;
}

int DrawSolid16(int x, int y, Image* image) {
    if (!MayShow(x, y, image)) return 1;
    return DrawClipped<Member::kSolid>(x, y, image);
}

int DrawTransparent16(int x, int y, Image* image) {
    if (!MayShow(x, y, image)) return 1;
    return DrawClipped<Member::kTransparent>(x, y, image);
}

int DrawAlpha16(int x, int y, Image* image) {
    if (!MayShow(x, y, image)) return 1;
    return DrawClipped<Member::kAlpha>(x, y, image);
}

int DrawAdditive16(int x, int y, Image* image) {
    if (!MayShow(x, y, image)) return 1;
    return DrawClipped<Member::kAdditive>(x, y, image);
}
