// Writing the generated pictures: each canvas becomes an engine Image (24-bit RGB, plus raw alpha
// when its load mode uses one) and is saved through the engine's own TIFF writer, so the game reads
// exactly what its codec writes.
//
// Depends on art.h, the engine's Image and TiffImage. A file that cannot be written ends the
// process inside the writer (its message goes to debug.txt in the working directory).
#pragma once

#include <string>

#include "image/image.h"
#include "tools/pictures/art.h"

namespace pictures {

// Fills `image` with the canvas: IMAGE_RGB24, or IMAGE_RGB24 | IMAGE_ALPHA with the canvas's alpha
// as raw bytes (0 transparent) when withAlpha. The image owns its buffers as usual.
void ToImage(const Canvas& canvas, bool withAlpha, Image& image);

// File name of a picture inside the output folder.
std::string PictureFileName(const PictureEntry& picture);

// Writes one picture; false with `error` set when the file cannot be written.
bool WritePicture(const std::string& path, const PictureEntry& picture, const Canvas& canvas, std::string& error);

// Creates the folder when needed and writes every picture into it.
bool WriteAllPictures(const std::string& folder, std::string& error);

}  // namespace pictures
