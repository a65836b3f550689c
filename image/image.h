/// @file
/// Image: the engine's picture. A block of pixels with an optional block of
/// alpha bytes, both owned, rows from the top, `width` pixels a row.
///
/// Life of a picture: the TIFF reader allocates it 24-bit (IMAGE_RGB24, 3
/// bytes a pixel: red, green, blue) with raw alpha (0 transparent, 255 opaque)
/// when the file has it; PrepareForScreen converts it to the screen's 16-bit
/// words and prepares the alpha: mode 1 folds it into the colour key 0, modes
/// 2 and 3 premultiply (alpha byte then = 255 - opacity, 0 opaque).
///
/// Depends on the screen's pixel format (draw/pixel_format.h): convert only
/// after the engine has started.
#pragma once

#include <cstdint>

constexpr uint8_t IMAGE_ALPHA = 0x01;
constexpr uint8_t IMAGE_RGB16 = 0x10;
constexpr uint8_t IMAGE_RGB24 = 0x20;
constexpr uint8_t IMAGE_KEYED = 0x40;

class Image {
public:
    uint8_t* data = nullptr;   ///< pixels; 16-bit words in IMAGE_RGB16 mode
    uint8_t* alpha = nullptr;  ///< one byte a pixel, or null
    int32_t width = 0;
    int32_t height = 0;
    uint8_t mode = 0;

    Image() = default;
    Image(int width, int height, uint8_t mode);
    ~Image();
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    /// Frees both buffers and empties the image. Safe to call twice.
    void Release();
    /// (Re)allocates the buffers for width x height pixels in `mode`. Contents
    /// are not initialised.
    void Allocate(int width, int height, uint8_t mode);
    /// Converts 24-bit pixels to the screen's 16-bit words; rewrites the depth
    /// bits of `mode` in every case.
    void ConvertTo(uint8_t target);
    /// ConvertTo(IMAGE_RGB16), then alpha mode 1: KeyFromAlpha; 2 or 3:
    /// PremultiplyAlpha; anything else: nothing more.
    void PrepareForScreen(int alphaMode);
    void KeyFromAlpha();
    void PremultiplyAlpha();

    /// Renders this image turned by `angle` degrees (counterclockwise on the
    /// screen) and enlarged by `scale` into `target`, which must already be
    /// allocated 16-bit with its final size.
    void Rotate(Image* target, float angle, float scale);
    void RotateColor(Image* target, float angle, float scale);
    void RotateAlpha(Image* target, float angle, float scale);

    /// True when the pixels are 16-bit words (at least two bytes each), the
    /// only form the blits and the rotation read and write. Written here, not
    /// kept as a flag, so that it follows `mode` however that is set; every
    /// blit call asks, so it must cost no call.
    bool Is16Bit() const { return Is16BitMode(mode); }
    /// The same for a mode byte: IMAGE_RGB16 set and neither one-byte depth
    /// bit (0x04, 0x08), which take precedence over it.
    static constexpr bool Is16BitMode(uint8_t mode) { return (mode & (0x04 | 0x08 | IMAGE_RGB16)) == IMAGE_RGB16; }

    uint16_t* Pixels16() { return reinterpret_cast<uint16_t*>(data); }
    const uint16_t* Pixels16() const { return reinterpret_cast<const uint16_t*>(data); }
};
