// The screen's 16-bit pixel layout: channel masks, shifts and bit counts,
// taken from the back surface when the engine starts and never changed after.
// Blue always sits in the lowest bits; the word 0 is the transparent key.
#pragma once

#include <cstdint>

extern int32_t redMask, greenMask, blueMask;
extern int32_t redShift, greenShift, blueShift;
extern int32_t redBits, greenBits, blueBits;

// Sets all nine globals from three non-zero channel masks.
void SetPixelFormat(uint32_t red, uint32_t green, uint32_t blue);

// A channel value of `bits` bits (4 to 8) widened to 8 by repeating its top
// bits below it, so that none stays none and full stays full (31 of 5 bits is
// 255); 0 bits give 0. The one rule for turning screen words into 8-bit colour.
inline uint8_t WidenChannel(uint32_t value, int bits) {
    if (bits <= 0) return 0;
    return static_cast<uint8_t>((value << (8 - bits)) | (value >> (2 * bits - 8 > 0 ? 2 * bits - 8 : 0)));
}

// The 8-bit red, green and blue of a 5-6-5 word.
inline void Rgb8From565(uint32_t word, uint8_t& red, uint8_t& green, uint8_t& blue) {
    red = WidenChannel((word >> 11) & 31, 5);
    green = WidenChannel((word >> 5) & 63, 6);
    blue = WidenChannel(word & 31, 5);
}
