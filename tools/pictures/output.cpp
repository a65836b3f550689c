#include "tools/pictures/output.h"

#include <filesystem>

#include "image/tiff_image.h"

namespace pictures {

void ToImage(const Canvas& canvas, bool withAlpha, Image& image) {
    image.Allocate(canvas.Width(), canvas.Height(), withAlpha ? (IMAGE_RGB24 | IMAGE_ALPHA) : IMAGE_RGB24);
    const std::vector<Rgba>& pixels = canvas.Pixels();
    for (size_t i = 0; i < pixels.size(); ++i) {
        image.data[3 * i] = pixels[i].r;
        image.data[3 * i + 1] = pixels[i].g;
        image.data[3 * i + 2] = pixels[i].b;
        if (withAlpha) image.alpha[i] = pixels[i].a;
    }
}

std::string PictureFileName(const PictureEntry& picture) { return picture.name + ".tif"; }

bool WritePicture(const std::string& path, const PictureEntry& picture, const Canvas& canvas, std::string& error) {
    Image image;
    ToImage(canvas, picture.HasAlpha(), image);
    TiffImage tiff;
    tiff.colorClass = TIFF_RGB;
    tiff.bits = 8;
    tiff.saveAlpha = picture.HasAlpha() ? 1 : 0;
    // Save ends the process itself when the file cannot be written; `done` covers anything else.
    tiff.Save(path.c_str(), &image);
    if (tiff.done != 1) {
        error = path + ": not written";
        return false;
    }
    return true;
}

bool WriteAllPictures(const std::string& folder, std::string& error) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        error = folder + ": " + ec.message();
        return false;
    }
    for (const PictureEntry& picture : AllPictures()) {
        Canvas canvas = Draw(picture);
        if (!WritePicture(folder + "/" + PictureFileName(picture), picture, canvas, error)) return false;
    }
    return true;
}

}  // namespace pictures
