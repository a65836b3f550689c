#include "base/pixel_format.h"

int32_t redMask, greenMask, blueMask;
int32_t redShift, greenShift, blueShift;
int32_t redBits, greenBits, blueBits;

namespace {

// Zero bits below the mask's lowest set bit, and the length of its run of
// ones. A zero mask has neither; it gives 0 and 0 instead of looping forever.
void Measure(uint32_t mask, int32_t& shift, int32_t& bits) {
    shift = 0;
    bits = 0;
    if (mask == 0) return;
    while ((mask & 1u) == 0) {
        mask >>= 1;
        ++shift;
    }
    while (mask != 0) {
        mask >>= 1;
        ++bits;
    }
}

}  // namespace

void SetPixelFormat(uint32_t red, uint32_t green, uint32_t blue) {
    redMask = static_cast<int32_t>(red);
    greenMask = static_cast<int32_t>(green);
    blueMask = static_cast<int32_t>(blue);
    Measure(red, redShift, redBits);
    Measure(green, greenShift, greenBits);
    Measure(blue, blueShift, blueBits);
}
