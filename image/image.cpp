#include "image/image.h"
#include <cstddef>

Image::Image(int w, int h, uint8_t m) { Allocate(w, h, m); }

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

namespace {

// Bytes a pixel by the first depth bit set (0x04, 0x08, 0x10, 0x20) and 0x02.
int BytesPerPixel(uint8_t mode) {
    const bool extra = (mode & 0x02) != 0;
    if (mode & 0x04) return extra ? 2 : 1;
    if (mode & 0x08) return extra ? 2 : 0;
    if (mode & 0x10) return extra ? 3 : 2;
    if (mode & 0x20) return extra ? 4 : 3;
    return 0;
}

}  // namespace

void Image::Allocate(int w, int h, uint8_t m) {
    delete[] data;
    data = nullptr;
    if (m != 0) {
        delete[] alpha;
        alpha = nullptr;
    }
    // Sizes that are negative or do not fit leave the image empty.
    const int64_t pixels = static_cast<int64_t>(w) * h;
    if (w < 0 || h < 0 || pixels > (int64_t{1} << 31) / 4) {
        Release();
        return;
    }
    data = new uint8_t[static_cast<size_t>(pixels * BytesPerPixel(m))];
    if (m != 0) alpha = new uint8_t[static_cast<size_t>(pixels)];
    width = w;
    height = h;
    mode = m;
}
