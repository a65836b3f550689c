#include "game/ship_pictures.h"

#include <cstdio>
#include <cstring>

#include "image/tiff_image.h"

void LoadNumberedPictures(const char* format, int count, Image* slots) {
    TiffImage reader;
    char name[128];
    for (int i = 1; i <= count; ++i) {
        std::snprintf(name, sizeof name, format, i);
        reader.LoadTiff(name, &slots[i - 1], 1);
    }
}

void AllocateTurnBuffer(Image& buffer) {
    buffer.Allocate(80, 80, IMAGE_RGB16 | IMAGE_ALPHA);
    if (buffer.data != nullptr) std::memset(buffer.data, 0, 80 * 80 * 2);
}
