// make_pictures OUTDIR [ICONDIR [WEBDIR]]: draws every picture the game loads and writes each into
// OUTDIR, the desktop icon as ICONDIR/<size>x<size>/apps/tarvo.png at each icon size when given
// (ICONDIR is laid out as the freedesktop icon theme's hicolor folder), and the web page's own
// pictures into WEBDIR: its icons as icon-<size>.png at the sizes a browser asks for to install a
// page, and the intro and end a touch device shows into touch/.
// The build runs it so that the build folder's Images/ holds the game's art; the drawing code is the
// art's only source, and the same code gives the same files on every run.
#include <cstdio>
#include <filesystem>
#include <string>

#include "tools/pictures/icon.h"
#include "tools/pictures/output.h"

namespace {

constexpr int kIconSizes[] = {48, 256};
constexpr int kWebIconSizes[] = {192, 512};

bool WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::error_code ignored;
    std::filesystem::create_directories(path.parent_path(), ignored);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    const bool written =
        file != nullptr && !bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = file != nullptr && std::fclose(file) == 0;
    return written && closed;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 4) {
        std::fprintf(stderr, "usage: make_pictures OUTDIR [ICONDIR [WEBDIR]]\n");
        return 2;
    }
    std::string error;
    if (!pictures::WriteAllPictures(argv[1], error)) {
        std::fprintf(stderr, "make_pictures: %s\n", error.c_str());
        return 1;
    }
    if (argc >= 3) {
        for (const int size : kIconSizes) {
            const std::string name = std::to_string(size) + "x" + std::to_string(size);
            const std::filesystem::path path = std::filesystem::path(argv[2]) / name / "apps" / "tarvo.png";
            if (!WriteFile(path, pictures::IconPng(size))) {
                std::fprintf(stderr, "make_pictures: cannot write %s\n", path.c_str());
                return 1;
            }
        }
    }
    if (argc == 4) {
        for (const int size : kWebIconSizes) {
            const std::filesystem::path path =
                std::filesystem::path(argv[3]) / ("icon-" + std::to_string(size) + ".png");
            if (!WriteFile(path, pictures::IconPng(size))) {
                std::fprintf(stderr, "make_pictures: cannot write %s\n", path.c_str());
                return 1;
            }
        }
        const std::filesystem::path touch = std::filesystem::path(argv[3]) / "touch";
        std::error_code ignored;
        std::filesystem::create_directories(touch, ignored);
        for (const pictures::PictureEntry& picture : pictures::TouchPictures()) {
            const std::string path = (touch / pictures::PictureFileName(picture)).string();
            if (!pictures::WritePicture(path, picture, pictures::Draw(picture), error)) {
                std::fprintf(stderr, "make_pictures: %s\n", error.c_str());
                return 1;
            }
        }
    }
    return 0;
}
