// The codec against independent tools. Debian's ImageMagick and libtiff's
// tiffcp write TIFF files in the forms the reader takes (both byte orders,
// one strip and many, 8- and 16-bit RGB, RGBA, grey, bilevel, palette,
// PackBits); ImageMagick decodes each to a 16-bit PAM, and the engine must
// load the same pixels (the top byte of every 16-bit value). The other way,
// files from the engine's writer must pass tiffinfo and decode in
// ImageMagick to the pictures written.
//
// Fixtures are made at run time in the test's temporary directory.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "image/image.h"
#include "image/tiff_image.h"
#include "platform/platform.h"
#include "platform/scripted/scripted_platform.h"

namespace {

const char kConvert[] = "/usr/bin/convert";
const char kTiffcp[] = "/usr/bin/tiffcp";
const char kTiffinfo[] = "/usr/bin/tiffinfo";
const int kWidth = 37;  // odd, so bilevel rows end in padding bits
const int kHeight = 23;

// A decoded picture: 8-bit channels, alpha 255 when the file has none.
struct Picture {
    int width = 0, height = 0;
    bool hasAlpha = false;
    std::vector<uint8_t> rgb, alpha;
};

int RunCommand(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ReadText(const std::string& name) {
    std::ifstream in(name);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Reads a PAM of depth 1 to 4 with maxval 1, 255 or 65535 (16-bit values
// keep their high byte).
bool ReadPam(const std::string& name, Picture& out) {
    std::ifstream in(name, std::ios::binary);
    std::string word;
    in >> word;
    if (word != "P7") return false;
    int depth = 0, maxval = 0;
    while (in >> word && word != "ENDHDR") {
        if (word == "WIDTH") in >> out.width;
        else if (word == "HEIGHT") in >> out.height;
        else if (word == "DEPTH") in >> depth;
        else if (word == "MAXVAL") in >> maxval;
        else std::getline(in, word);
    }
    in.get();
    const size_t pixels = static_cast<size_t>(out.width) * static_cast<size_t>(out.height);
    const int valueBytes = maxval > 255 ? 2 : 1;
    std::vector<uint8_t> raw(pixels * static_cast<size_t>(depth * valueBytes));
    if (!in.read(reinterpret_cast<char*>(raw.data()), static_cast<std::streamsize>(raw.size()))) return false;
    auto value = [&](size_t i) -> uint8_t {
        if (valueBytes == 2) return raw[i * 2];  // big-endian: the high byte comes first
        return maxval == 1 ? static_cast<uint8_t>(raw[i] * 255) : raw[i];
    };
    out.hasAlpha = depth == 2 || depth == 4;
    const int colours = depth >= 3 ? 3 : 1;
    out.rgb.resize(pixels * 3);
    out.alpha.assign(pixels, 255);
    for (size_t p = 0; p < pixels; ++p) {
        for (int c = 0; c < 3; ++c) out.rgb[p * 3 + c] = value(p * depth + (colours == 3 ? c : 0));
        if (out.hasAlpha) out.alpha[p] = value(p * depth + depth - 1);
    }
    return true;
}

void WritePam(const std::string& name, bool alpha) {
    std::ofstream out(name, std::ios::binary);
    out << "P7\nWIDTH " << kWidth << "\nHEIGHT " << kHeight << "\nDEPTH " << (alpha ? 4 : 3)
        << "\nMAXVAL 255\nTUPLTYPE " << (alpha ? "RGB_ALPHA" : "RGB") << "\nENDHDR\n";
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            out.put(static_cast<char>(x * 7));
            out.put(static_cast<char>(255 - y * 11));
            out.put(static_cast<char>((x * y * 5) & 0xFF));
            // Fully transparent, fully opaque and steps between.
            if (alpha) out.put(static_cast<char>(x % 4 == 0 ? 0 : x % 4 == 1 ? 255 : (x * 37 + y) & 0xFF));
        }
    }
}

// Compares channel by channel; reports the count and the first difference.
void ExpectSamePicture(const Picture& expected, const Image& image, bool compareAlpha) {
    ASSERT_NE(image.data, nullptr) << "the engine loaded no picture";
    ASSERT_EQ(image.width, expected.width);
    ASSERT_EQ(image.height, expected.height);
    int differences = 0;
    std::string first;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const size_t p = static_cast<size_t>(y) * image.width + x;
            bool same = std::memcmp(image.data + p * 3, &expected.rgb[p * 3], 3) == 0;
            if (compareAlpha) same = same && image.alpha[p] == expected.alpha[p];
            if (!same && differences++ == 0) {
                std::ostringstream s;
                s << "first at x " << x << ", y " << y << ": engine " << int(image.data[p * 3]) << ","
                  << int(image.data[p * 3 + 1]) << "," << int(image.data[p * 3 + 2]);
                if (compareAlpha) s << " alpha " << int(image.alpha[p]);
                s << "; tool " << int(expected.rgb[p * 3]) << "," << int(expected.rgb[p * 3 + 1]) << ","
                  << int(expected.rgb[p * 3 + 2]);
                if (compareAlpha) s << " alpha " << int(expected.alpha[p]);
                first = s.str();
            }
        }
    }
    EXPECT_EQ(differences, 0) << first;
}

struct ToolCase {
    const char* name;
    const char* command;  // makes NAME.tif; %C is convert, %T tiffcp
    bool alpha;           // the file carries an alpha sample
    // The form the tool was asked for, as the reader reports it.
    int colorClass;
    int depth;
    bool bigEndian;
    bool packBits;
    bool manyStrips;
};

void PrintTo(const ToolCase& c, std::ostream* os) { *os << c.name; }

std::string Expand(std::string command, const std::string& name) {
    auto replace = [&](const std::string& from, const std::string& to) {
        for (size_t at; (at = command.find(from)) != std::string::npos;) command.replace(at, from.size(), to);
    };
    replace("%C", kConvert);
    replace("%T", kTiffcp);
    replace("%O", name + ".tif");
    return command + " 2>>tools.log";
}

class TiffToolsTest : public testing::TestWithParam<ToolCase> {
protected:
    void SetUp() override {
        // Into each test's own folder; a suite-wide set-up would run before it exists.
        WritePam("rgb.pam", false);
        WritePam("rgba.pam", true);
        ASSERT_EQ(access(kConvert, X_OK), 0) << "ImageMagick (Debian package imagemagick) is needed";
        ASSERT_EQ(access(kTiffcp, X_OK), 0) << "tiffcp (Debian package libtiff-tools) is needed";
        previous = &platform::Current();
        platform::SetCurrent(&boxes);
    }
    void TearDown() override { platform::SetCurrent(previous); }

    platform::ScriptedPlatform boxes;
    platform::Platform* previous = nullptr;
};

TEST_P(TiffToolsTest, EngineLoadsThePixelsImageMagickDecodes) {
    const ToolCase& c = GetParam();
    const std::string name = c.name;
    ASSERT_EQ(RunCommand(Expand(c.command, name)), 0) << Expand(c.command, name);
    ASSERT_EQ(RunCommand(std::string(kConvert) + " " + name + ".tif -depth 16 pam:" + name + ".pam"), 0);
    Picture expected;
    ASSERT_TRUE(ReadPam(name + ".pam", expected));
    ASSERT_EQ(expected.hasAlpha, c.alpha) << "the tool did not make the intended form";

    Image image;
    TiffImage tiff;
    testing::internal::CaptureStdout();
    tiff.Load((name + ".tif").c_str(), &image);
    const std::string said = testing::internal::GetCapturedStdout();
    EXPECT_EQ(said, "");
    EXPECT_TRUE(boxes.messageBoxes.empty());
    EXPECT_EQ(image.mode, c.alpha ? (IMAGE_RGB24 | IMAGE_ALPHA) : IMAGE_RGB24);
    EXPECT_EQ(tiff.colorClass, c.colorClass);
    EXPECT_EQ(tiff.depth, c.depth);
    EXPECT_EQ(tiff.byteOrder, c.bigEndian ? ORDER_SWAPPED : ORDER_NATIVE);
    EXPECT_EQ(tiff.compression, c.packBits ? 32773 : 1);
    EXPECT_EQ(tiff.strips > 1, c.manyStrips) << tiff.strips << " strips";
    ExpectSamePicture(expected, image, c.alpha);
}


INSTANTIATE_TEST_SUITE_P(
    Forms, TiffToolsTest,
    testing::Values(
        ToolCase{"im_rgb8_II_one_strip",
                 "%C rgb.pam -depth 8 -compress None -define tiff:endian=lsb -define tiff:rows-per-strip=23 %O", false, TIFF_RGB, 8, false, false, false},
        ToolCase{"im_rgb8_MM_strips",
                 "%C rgb.pam -depth 8 -compress None -define tiff:endian=msb -define tiff:rows-per-strip=4 %O", false, TIFF_RGB, 8, true, false, true},
        ToolCase{"im_rgb16_II", "%C rgb.pam -depth 16 -compress None -define tiff:endian=lsb %O", false, TIFF_RGB, 16, false, false, false},
        ToolCase{"im_rgb16_MM_strips",
                 "%C rgb.pam -depth 16 -compress None -define tiff:endian=msb -define tiff:rows-per-strip=5 %O", false, TIFF_RGB, 16, true, false, true},
        ToolCase{"im_rgba8_II", "%C rgba.pam -depth 8 -compress None -define tiff:endian=lsb %O", true, TIFF_RGB, 8, false, false, false},
        ToolCase{"im_rgba8_MM_strips",
                 "%C rgba.pam -depth 8 -compress None -define tiff:endian=msb -define tiff:rows-per-strip=6 %O", true, TIFF_RGB, 8, true, false, true},
        ToolCase{"im_rgba16_MM", "%C rgba.pam -depth 16 -compress None -define tiff:endian=msb %O", true, TIFF_RGB, 16, true, false, false},
        ToolCase{"im_grey8_II", "%C rgb.pam -type Grayscale -depth 8 -compress None -define tiff:endian=lsb %O", false, TIFF_GREY, 8, false, false, false},
        ToolCase{"im_grey16_MM", "%C rgb.pam -type Grayscale -depth 16 -compress None -define tiff:endian=msb %O",
                 false, TIFF_GREY, 16, true, false, false},
        ToolCase{"im_bilevel_black_is_zero", "%C rgb.pam -monochrome -depth 1 -compress None %O", false, TIFF_BILEVEL, 1, false, false, false},
        ToolCase{"im_bilevel_white_is_zero",
                 "%C rgb.pam -monochrome -depth 1 -define quantum:polarity=min-is-white -compress None %O", false, TIFF_BILEVEL, 1, false, false, false},
        ToolCase{"im_palette", "%C rgb.pam -type Palette -depth 8 -compress None %O", false, TIFF_PALETTE, 8, false, false, false},
        ToolCase{"im_packbits_rgb", "%C rgb.pam -depth 8 -compress RLE -define tiff:rows-per-strip=7 %O", false, TIFF_RGB, 8, false, true, true},
        ToolCase{"im_packbits_rgba_MM", "%C rgba.pam -depth 8 -compress RLE -define tiff:endian=msb %O", true, TIFF_RGB, 8, true, true, false},
        ToolCase{"tiffcp_rgb8_MM_rows3",
                 "%C rgb.pam -depth 8 -compress None src_a.tif && %T -B -r 3 src_a.tif %O", false, TIFF_RGB, 8, true, false, true},
        ToolCase{"tiffcp_rgba8_packbits_rows7",
                 "%C rgba.pam -depth 8 -compress None src_b.tif && %T -L -c packbits -r 7 src_b.tif %O", true, TIFF_RGB, 8, false, true, true},
        ToolCase{"tiffcp_rgb16_MM_packbits",
                 "%C rgb.pam -depth 16 -compress None src_c.tif && %T -B -c packbits -r 2 src_c.tif %O", false, TIFF_RGB, 16, true, true, true},
        ToolCase{"tiffcp_rgba16_MM_rows1",
                 "%C rgba.pam -depth 16 -compress None src_d.tif && %T -B -r 1 src_d.tif %O", true, TIFF_RGB, 16, true, false, true},
        ToolCase{"tiffcp_grey8_MM_packbits",
                 "%C rgb.pam -type Grayscale -depth 8 -compress None src_e.tif && %T -B -c packbits -r 4 src_e.tif %O",
                 false, TIFF_GREY, 8, true, true, true},
        ToolCase{"tiffcp_bilevel_packbits",
                 "%C rgb.pam -monochrome -depth 1 -compress None src_f.tif && %T -c packbits -r 5 src_f.tif %O", false, TIFF_BILEVEL, 1, false, true, true},
        ToolCase{"tiffcp_palette_MM", "%C rgb.pam -type Palette -depth 8 -compress None src_g.tif && %T -B src_g.tif %O",
                 false, TIFF_PALETTE, 8, true, false, false}),
    [](const testing::TestParamInfo<ToolCase>& info) { return std::string(info.param.name); });

// Files from the engine's writer: tiffinfo reads them without error and
// ImageMagick decodes them to the picture written.
TEST(TiffWriterTools, OurFilesPassTiffinfoAndDecodeInImageMagick) {
    ASSERT_EQ(access(kTiffinfo, X_OK), 0) << "tiffinfo (Debian package libtiff-tools) is needed";
    WritePam("ours_src.pam", true);
    Picture source;
    ASSERT_TRUE(ReadPam("ours_src.pam", source));
    for (bool alpha : {false, true}) {
        SCOPED_TRACE(alpha ? "with alpha" : "without alpha");
        const std::string name = alpha ? "ours_rgba" : "ours_rgb";
        Image image(kWidth, kHeight, static_cast<uint8_t>(IMAGE_RGB24 | IMAGE_ALPHA));
        std::memcpy(image.data, source.rgb.data(), source.rgb.size());
        std::memcpy(image.alpha, source.alpha.data(), source.alpha.size());
        TiffImage tiff;
        tiff.colorClass = TIFF_RGB;
        tiff.bits = 8;
        tiff.saveAlpha = alpha ? 1 : 0;
        tiff.Save((name + ".tif").c_str(), &image);

        EXPECT_EQ(RunCommand(std::string(kTiffinfo) + " -D " + name + ".tif >" + name + ".info 2>" + name + ".err"), 0);
        // The one remark libtiff makes: the writer's ColorMap entry has no values.
        std::istringstream remarks(ReadText(name + ".err"));
        for (std::string line; std::getline(remarks, line);)
            EXPECT_NE(line.find("Incorrect count for \"ColorMap\""), std::string::npos) << line;
        const std::string info = ReadText(name + ".info");
        EXPECT_NE(info.find("Image Width: 37 Image Length: 23"), std::string::npos) << info;
        EXPECT_NE(info.find(alpha ? "Samples/Pixel: 4" : "Samples/Pixel: 3"), std::string::npos) << info;
        EXPECT_EQ(info.find("Extra Samples") != std::string::npos, alpha) << info;

        ASSERT_EQ(RunCommand(std::string(kConvert) + " " + name + ".tif -depth 8 pam:" + name + ".pam 2>/dev/null"), 0);
        Picture decoded;
        ASSERT_TRUE(ReadPam(name + ".pam", decoded));
        EXPECT_EQ(decoded.hasAlpha, alpha);
        EXPECT_EQ(decoded.rgb, source.rgb);
        if (alpha) {
            EXPECT_EQ(decoded.alpha, source.alpha);
        }
    }
}

}  // namespace
