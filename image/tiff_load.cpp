// LoadTiff: how every picture enters the game. Kept apart from the reader so
// that tools and the fuzzer, which stop before screen conversion, need no
// screen format.
#include "image/image.h"
#include "image/tiff_image.h"

void TiffImage::LoadTiff(const char* loadPath, Image* target, int alphaMode) {
    Load(loadPath, target);
    // Also after a soft failure: an empty image then becomes an empty 16-bit one.
    target->PrepareForScreen(alphaMode);
}
