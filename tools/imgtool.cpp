// tarvo-imgtool: asks the engine's TIFF codec what it makes of a picture.
//
//   tarvo-imgtool info FILE            what the reader found: size, mode, samples, order, strips
//   tarvo-imgtool topam FILE OUT.pam   the 24-bit picture as the reader leaves it (before screen
//                                      conversion), as PAM: TUPLTYPE RGB, or RGB_ALPHA with alpha
//   tarvo-imgtool frompam IN.pam OUT.tif   through the engine's writer (alpha kept when present)
//
// Exit status 0 on success, 1 when the picture is refused, missing or unreadable, 2 on a
// usage error; the engine's fatal errors end the tool with 255. What the reader says (its
// lines on standard output, its message boxes) goes to standard error here, so standard
// output carries only the tool's own answer. Like the game, the tool keeps the engine's
// debug log, "debug.txt", in the working directory.
//
// Depends on the engine library and the scripted platform (for a message box that prints).
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/game_info.h"
#include "image/image.h"
#include "image/tiff_image.h"
#include "platform/platform.h"
#include "platform/scripted/scripted_platform.h"

namespace {

// One of the game's tools: its boxes say what the game's say, and it looks
// for pictures where the game keeps them.
const TarvoGame tool({.name = "tarvo", .title = "Tarvo"});

// A machine whose message boxes print their caption and text.
class ConsolePlatform : public platform::ScriptedPlatform {
public:
    int MessageBox(platform::WindowHandle, const char* text, const char* caption, uint32_t) override {
        std::fprintf(stderr, "[%s] %s\n", caption, text);
        return platform::IDOK;
    }
};

int Usage() {
    std::fputs(
        "usage: tarvo-imgtool info FILE\n"
        "       tarvo-imgtool topam FILE OUT.pam\n"
        "       tarvo-imgtool frompam IN.pam OUT.tif\n",
        stderr);
    return 2;
}

// Loads with standard output pointed at standard error, so the reader's own
// lines (and a fatal message) do not mix with the tool's answer.
void LoadQuietly(TiffImage& tiff, const char* path, Image& image) {
    std::fflush(stdout);
    const int saved = dup(1);
    dup2(2, 1);
    tiff.Load(path, &image);
    std::fflush(stdout);
    dup2(saved, 1);
    close(saved);
}

bool Loaded(const Image& image, const char* path) {
    if (image.data != nullptr) return true;
    std::fprintf(stderr, "tarvo-imgtool: %s: the engine loads no picture from this file\n", path);
    return false;
}

const char* ClassName(int colorClass) {
    switch (colorClass) {
        case TIFF_BILEVEL: return "bilevel";
        case TIFF_GREY: return "grey";
        case TIFF_RGB: return "RGB";
        case TIFF_PALETTE: return "palette";
        default: return "unknown";
    }
}

// Loads a file that exists; says so and gives false when it does not.
bool LoadExisting(TiffImage& tiff, const char* path, Image& image) {
    if (File::Exists(path) == FILE_NOTFOUND) {
        std::fprintf(stderr, "tarvo-imgtool: %s: no such file\n", path);
        return false;
    }
    LoadQuietly(tiff, path, image);
    return true;
}

int Info(const char* path) {
    Image image;
    TiffImage tiff;
    if (!LoadExisting(tiff, path, image)) return 1;
    std::printf("file: %s\n", path);
    std::printf("width: %u\nheight: %u\n", tiff.width, tiff.height);
    std::printf("byte order: %s\n", tiff.byteOrder == ORDER_NATIVE ? "II (little-endian)" : "MM (big-endian)");
    std::printf("colour class: %s (photometric %d)\n", ClassName(tiff.colorClass), tiff.photometric);
    std::printf("samples: %d\n", tiff.samples);
    if (tiff.colorClass == TIFF_RGB)
        std::printf("sample depths: red %d, green %d, blue %d, alpha %d\n", tiff.bitsRed, tiff.bitsGreen,
                    tiff.bitsBlue, tiff.bitsAlpha);
    else
        std::printf("sample depth: %d\n", tiff.depth);
    std::printf("compression: %d%s\n", tiff.compression,
                tiff.compression == 1 ? " (none)" : tiff.compression == 32773 ? " (PackBits)" : " (not supported)");
    std::printf("strips: %u of %u rows\n", tiff.strips, tiff.rowsPerStrip);
    if (image.data != nullptr)
        std::printf("image mode: 0x%02X (%s)\n", image.mode,
                    (image.mode & IMAGE_ALPHA) ? "24-bit RGB with alpha" : "24-bit RGB");
    else
        std::printf("image mode: none (no picture loaded)\n");
    return Loaded(image, path) ? 0 : 1;
}

int ToPam(const char* path, const char* outPath) {
    Image image;
    TiffImage tiff;
    if (!LoadExisting(tiff, path, image)) return 1;
    if (!Loaded(image, path)) return 1;
    const bool alpha = (image.mode & IMAGE_ALPHA) != 0;
    std::ofstream out(outPath, std::ios::binary);
    out << "P7\nWIDTH " << image.width << "\nHEIGHT " << image.height << "\nDEPTH " << (alpha ? 4 : 3)
        << "\nMAXVAL 255\nTUPLTYPE " << (alpha ? "RGB_ALPHA" : "RGB") << "\nENDHDR\n";
    const size_t pixels = static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
    if (!alpha) {
        out.write(reinterpret_cast<const char*>(image.data), static_cast<std::streamsize>(pixels * 3));
    } else {
        std::vector<uint8_t> tuples(pixels * 4);
        for (size_t i = 0; i < pixels; ++i) {
            std::memcpy(&tuples[i * 4], image.data + i * 3, 3);
            tuples[i * 4 + 3] = image.alpha[i];
        }
        out.write(reinterpret_cast<const char*>(tuples.data()), static_cast<std::streamsize>(tuples.size()));
    }
    if (!out) {
        std::fprintf(stderr, "tarvo-imgtool: %s: cannot write\n", outPath);
        return 1;
    }
    return 0;
}

// Reads an 8-bit PAM of tuple type RGB or RGB_ALPHA into a 24-bit image.
bool ReadPam(const char* path, Image& image) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    if (!(in >> magic) || magic != "P7") {
        std::fprintf(stderr, "tarvo-imgtool: %s: not a PAM file\n", path);
        return false;
    }
    long width = -1, height = -1, depth = -1, maxval = -1;
    std::string tupleType, word;
    while (in >> word && word != "ENDHDR") {
        if (word == "WIDTH") in >> width;
        else if (word == "HEIGHT") in >> height;
        else if (word == "DEPTH") in >> depth;
        else if (word == "MAXVAL") in >> maxval;
        else if (word == "TUPLTYPE") in >> tupleType;
        else if (word[0] == '#') std::getline(in, word);
    }
    in.get();  // the newline after ENDHDR
    const bool alpha = tupleType == "RGB_ALPHA" && depth == 4;
    if (!in || width <= 0 || height <= 0 || width > 65535 || height > 65535 || maxval != 255 ||
        !(alpha || (tupleType == "RGB" && depth == 3))) {
        std::fprintf(stderr, "tarvo-imgtool: %s: only 8-bit PAM of tuple type RGB or RGB_ALPHA is taken\n", path);
        return false;
    }
    // The header's size is checked against what the file holds before
    // anything is allocated: a header alone must not ask for gigabytes.
    const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
    const size_t tupleBytes = pixels * static_cast<size_t>(depth);
    const std::streamoff dataAt = in.tellg();
    in.seekg(0, std::ios::end);
    const std::streamoff fileEnd = in.tellg();
    in.seekg(dataAt);
    if (dataAt < 0 || fileEnd < dataAt || static_cast<uint64_t>(fileEnd - dataAt) < tupleBytes) {
        std::fprintf(stderr, "tarvo-imgtool: %s: the picture data is cut short\n", path);
        return false;
    }
    image.Allocate(static_cast<int>(width), static_cast<int>(height),
                   static_cast<uint8_t>(alpha ? IMAGE_RGB24 | IMAGE_ALPHA : IMAGE_RGB24));
    if (image.data == nullptr) {
        std::fprintf(stderr, "tarvo-imgtool: %s: a picture of %ld x %ld is too large for the engine\n", path, width,
                     height);
        return false;
    }
    std::vector<uint8_t> tuples(tupleBytes);
    if (!in.read(reinterpret_cast<char*>(tuples.data()), static_cast<std::streamsize>(tuples.size()))) {
        std::fprintf(stderr, "tarvo-imgtool: %s: the picture data is cut short\n", path);
        return false;
    }
    for (size_t i = 0; i < pixels; ++i) {
        std::memcpy(image.data + i * 3, &tuples[i * static_cast<size_t>(depth)], 3);
        if (alpha) image.alpha[i] = tuples[i * 4 + 3];
    }
    return true;
}

int FromPam(const char* path, const char* outPath) {
    Image image;
    if (!ReadPam(path, image)) return 1;
    TiffImage tiff;
    tiff.colorClass = TIFF_RGB;
    tiff.bits = 8;
    tiff.saveAlpha = 1;
    tiff.Save(outPath, &image);
    if (tiff.done != 1) {
        std::fprintf(stderr, "tarvo-imgtool: %s: not written\n", outPath);
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    static ConsolePlatform console;
    platform::SetCurrent(&console);

    if (argc == 3 && std::strcmp(argv[1], "info") == 0) return Info(argv[2]);
    if (argc == 4 && std::strcmp(argv[1], "topam") == 0) return ToPam(argv[2], argv[3]);
    if (argc == 4 && std::strcmp(argv[1], "frompam") == 0) return FromPam(argv[2], argv[3]);
    return Usage();
}
