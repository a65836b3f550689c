#include "platform/window_scale.h"

#include <algorithm>
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

PicturePlace PlacePicture(int clientWidth, int clientHeight, int width, int height) {
    PicturePlace place;
    if (width <= 0 || height <= 0) return place;
    place.scale = static_cast<int>(std::max<int64_t>(1, std::min(clientWidth / width, clientHeight / height)));
    place.x = (clientWidth - place.scale * width) / 2;
    place.y = (clientHeight - place.scale * height) / 2;
    return place;
}

int ToPicturePixel(int client, const PicturePlace& place, bool vertical, int size) {
    const int offset = vertical ? place.y : place.x;
    // Floor division: a pixel left of the picture is never rounded onto it.
    const int64_t from = int64_t{client} - offset;
    const int64_t pixel = from >= 0 ? from / place.scale : -1;
    return static_cast<int>(std::clamp<int64_t>(pixel, 0, std::max(size - 1, 0)));
}

}  // namespace platform
