#include "image/image.h"

#include <cstddef>
#include <cstdint>

#include "base/pixel_format.h"

namespace {

constexpr uint8_t kExtraByte = 0x02;
constexpr uint8_t kDepth8 = 0x04;
constexpr uint8_t kDepthOther = 0x08;
constexpr uint8_t kDepthBits[] = {kDepth8, kDepthOther, IMAGE_RGB16, IMAGE_RGB24};
// Image::Is16BitMode (in the header, for the blits) spells these bits out.
static_assert(Image::Is16BitMode(IMAGE_RGB16) && !Image::Is16BitMode(IMAGE_RGB16 | kDepth8) &&
              !Image::Is16BitMode(IMAGE_RGB16 | kDepthOther) && !Image::Is16BitMode(IMAGE_RGB24));

// Bytes a pixel for a mode: the first depth bit set decides, 0x02 adds one.
// 0x08 alone is otherwise unused; it is given one byte like 0x04 so that
// every depth bit yields a real buffer.
int BytesPerPixel(uint8_t mode) {
    const int extra = (mode & kExtraByte) ? 1 : 0;
    if (mode & kDepth8) return 1 + extra;
    if (mode & kDepthOther) return extra ? 2 : 1;
    if (mode & IMAGE_RGB16) return 2 + extra;
    if (mode & IMAGE_RGB24) return 3 + extra;
    return 0;
}

// Largest buffer an image may own: offsets into it are kept in int.
constexpr int64_t kMaxBufferBytes = INT32_MAX;

}  // namespace

Image::Image(int width, int height, uint8_t mode) { Allocate(width, height, mode); }

Image::~Image() { Release(); }

void Image::Release() {
    delete[] data;
    delete[] alpha;
    data = nullptr;
    alpha = nullptr;
    width = 0;
    height = 0;
    mode = 0;
}

void Image::Allocate(int newWidth, int newHeight, uint8_t newMode) {
    // A negative size or one too large for the blits' int offsets gives an
    // empty image rather than a wrapped, too small buffer. The pixel count is
    // checked before it is multiplied, so that product cannot overflow.
    const int64_t pixels = static_cast<int64_t>(newWidth) * newHeight;
    if (newWidth < 0 || newHeight < 0 || pixels > kMaxBufferBytes) {
        Release();
        return;
    }
    const int64_t bytes = pixels * BytesPerPixel(newMode);
    if (bytes > kMaxBufferBytes) {
        Release();
        return;
    }
    delete[] data;
    // No pixel bytes means no buffer: a null `data` is what every blit skips.
    data = bytes > 0 ? new uint8_t[static_cast<size_t>(bytes)] : nullptr;
    if (newMode != 0) {
        delete[] alpha;
        alpha = pixels > 0 ? new uint8_t[static_cast<size_t>(pixels)] : nullptr;
    } else if (alpha != nullptr && pixels != static_cast<int64_t>(width) * height) {
        // Mode 0 keeps the alpha buffer, but only while it still has one byte
        // a pixel; a buffer of the old size would be overrun by its readers.
        delete[] alpha;
        alpha = nullptr;
    }
    width = newWidth;
    height = newHeight;
    mode = newMode;
}

void Image::ConvertTo(uint8_t target) {
    const bool from24 = !(mode & (kDepth8 | kDepthOther | IMAGE_RGB16)) && (mode & IMAGE_RGB24);
    if (from24 && Is16BitMode(target) && data != nullptr) {
        const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
        const size_t wordBytes = (target & kExtraByte) ? 3 : 2;
        uint8_t* converted = new uint8_t[count * wordBytes];
        uint16_t* out = reinterpret_cast<uint16_t*>(converted);
        const uint8_t* in = data;
        const int rs = redShift, gs = greenShift, bs = blueShift;
        const int rb = redBits, gb = greenBits, bb = blueBits;
        for (size_t i = 0; i < count; ++i, in += 3) {
            // Each channel keeps its top bits: truncation, no rounding.
            const uint32_t r = ((static_cast<uint32_t>(in[0]) << rb) >> 8) << rs;
            const uint32_t g = ((static_cast<uint32_t>(in[1]) << gb) >> 8) << gs;
            const uint32_t b = ((static_cast<uint32_t>(in[2]) << bb) >> 8) << bs;
            out[i] = static_cast<uint16_t>(r | g | b);
        }
        delete[] data;
        data = converted;
    }
    for (uint8_t bit : kDepthBits)
        if (mode & bit) {
            mode = static_cast<uint8_t>(mode & ~bit);
            break;
        }
    for (uint8_t bit : kDepthBits)
        if (target & bit) {
            mode = static_cast<uint8_t>(mode | bit);
            break;
        }
}

void Image::PrepareForScreen(int alphaMode) {
    ConvertTo(IMAGE_RGB16);
    if (alphaMode == 1)
        KeyFromAlpha();
    else if (alphaMode == 2 || alphaMode == 3)
        PremultiplyAlpha();
}

void Image::KeyFromAlpha() {
    if (!(mode & IMAGE_ALPHA)) return;
    if (Is16BitMode(mode) && data != nullptr && alpha != nullptr) {
        uint16_t* pixels = Pixels16();
        const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
        for (size_t i = 0; i < count; ++i) {
            // Opaque black moves one blue step up so that it is not the key.
            if (pixels[i] == 0) pixels[i] = 1;
            if (alpha[i] == 0) pixels[i] = 0;
        }
    }
    delete[] alpha;
    alpha = nullptr;
    mode = static_cast<uint8_t>((mode & ~IMAGE_ALPHA) | IMAGE_KEYED);
}

void Image::PremultiplyAlpha() {
    if (!(mode & IMAGE_ALPHA) || (mode & (kDepth8 | kDepthOther))) return;
    if (data == nullptr || alpha == nullptr) return;
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    if (mode & IMAGE_RGB16) {
        uint16_t* pixels = Pixels16();
        const uint32_t rm = static_cast<uint32_t>(redMask), gm = static_cast<uint32_t>(greenMask),
                       bm = static_cast<uint32_t>(blueMask);
        const int rs = redShift, gs = greenShift, bs = blueShift;
        for (size_t i = 0; i < count; ++i) {
            const uint32_t a = alpha[i];
            const uint32_t c = pixels[i];
            const uint32_t r = ((((c & rm) >> rs) * a) >> 8) << rs;
            const uint32_t g = ((((c & gm) >> gs) * a) >> 8) << gs;
            const uint32_t b = ((((c & bm) >> bs) * a) >> 8) << bs;
            pixels[i] = static_cast<uint16_t>(r + g + b);
            alpha[i] = static_cast<uint8_t>(255 - a);
        }
    } else if (mode & IMAGE_RGB24) {
        uint8_t* p = data;
        for (size_t i = 0; i < count; ++i, p += 3) {
            const uint32_t a = alpha[i];
            for (int k = 0; k < 3; ++k) p[k] = static_cast<uint8_t>((p[k] * a) >> 8);
            alpha[i] = static_cast<uint8_t>(255 - a);
        }
    }
}
