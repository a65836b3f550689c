#include "tools/pictures/output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

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

std::string PictureFileName(const PictureSpec& spec) { return spec.name + ".pam"; }

// Until the engine's TIFF writer is available: a Netpbm PAM file, which ImageMagick reads.
bool WritePicture(const std::string& path, const PictureSpec& spec, const Canvas& canvas, std::string& error) {
    Image image;
    ToImage(canvas, spec.HasAlpha(), image);
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    const bool alpha = spec.HasAlpha();
    std::fprintf(file, "P7\nWIDTH %d\nHEIGHT %d\nDEPTH %d\nMAXVAL 255\nTUPLTYPE %s\nENDHDR\n", image.width,
                 image.height, alpha ? 4 : 3, alpha ? "RGB_ALPHA" : "RGB");
    for (int i = 0; i < image.width * image.height; ++i) {
        std::fwrite(image.data + 3 * i, 1, 3, file);
        if (alpha) std::fputc(image.alpha[i], file);
    }
    if (std::fclose(file) != 0) {
        error = path + ": write failed";
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
    for (const PictureSpec& spec : AllPictures()) {
        Canvas canvas = Draw(spec);
        if (!WritePicture(folder + "/" + PictureFileName(spec), spec, canvas, error)) return false;
    }
    return true;
}

}  // namespace pictures
