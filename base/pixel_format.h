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
