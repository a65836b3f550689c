#include "platform/window_scale.h"

#include <cstdint>

namespace platform {

int ChooseWindowScale(int usableWidth, int usableHeight, int width, int height, int frameWidth, int frameHeight) {
    if (width <= 0 || height <= 0) return kMinWindowScale;
    int scale = kMinWindowScale;
    // In 64 bits: 4 * (s * w + frame) <= 3 * usable, no fractions.
    for (int s = kMinWindowScale + 1; s <= kMaxWindowScale; ++s) {
        const int64_t outerWidth = int64_t{s} * width + frameWidth;
        const int64_t outerHeight = int64_t{s} * height + frameHeight;
        if (4 * outerWidth > 3 * int64_t{usableWidth} || 4 * outerHeight > 3 * int64_t{usableHeight}) break;
        scale = s;
    }
    return scale;
}

bool WindowScaleFits(int scale, int usableWidth, int usableHeight, int width, int height) {
    return int64_t{scale} * width <= usableWidth && int64_t{scale} * height <= usableHeight;
}

}  // namespace platform
