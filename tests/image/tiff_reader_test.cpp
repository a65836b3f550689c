// TIFF reader on hand-built files: the accepted forms and the bytes they
// give, strips, byte orders, refusals with their messages, message boxes,
// short files and the fatal paths.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine/debug_log.h"
#include "file/data_path.h"
#include "image/image.h"
#include "image/tiff_image.h"
#include "platform/platform.h"
#include "platform/scripted/scripted_platform.h"
#include "tests/image/tiff_builder.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Pixels(const Image& image) {
    return Bytes(image.data, image.data + static_cast<size_t>(image.width) * image.height * 3);
}
Bytes Alpha(const Image& image) {
    return Bytes(image.alpha, image.alpha + static_cast<size_t>(image.width) * image.height);
}

class TiffReaderTest : public testing::Test {
protected:
    void SetUp() override {
        previous = &platform::Current();
        platform::SetCurrent(&boxes);
        // Missing files are reported once a run: each test is a run of its own.
        ForgetMissingPictures();
        folders = DataFolders();
    }
    void TearDown() override {
        SetDataFolders(folders);
        platform::SetCurrent(previous);
    }

    // Loads the builder's file; returns what the reader printed.
    std::string Load(const TiffBuilder& builder, Image& image) {
        builder.Write("t.tif");
        return LoadFile("t.tif", image);
    }
    std::string LoadFile(const char* name, Image& image) {
        testing::internal::CaptureStdout();
        TiffImage tiff;
        tiff.Load(name, &image);
        done = tiff.done;
        return testing::internal::GetCapturedStdout();
    }

    platform::ScriptedPlatform boxes;
    platform::Platform* previous = nullptr;
    std::vector<std::string> folders;
    int done = 0;
};

std::string ReadText(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST_F(TiffReaderTest, Rgb8IntelOneStripIsTheStripBytes) {
    const Bytes strip = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
    Image image;
    EXPECT_EQ(Load(TiffBuilder().Basic(3, 2, {8, 8, 8}, 2).Short(278, 2).Data(strip), image), "");
    EXPECT_EQ(image.mode, IMAGE_RGB24);
    EXPECT_EQ(image.width, 3);
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(Pixels(image), strip);
    EXPECT_EQ(done, 1);
}

TEST_F(TiffReaderTest, Rgba8SplitsAlphaOut) {
    Image image;
    Load(TiffBuilder().Basic(2, 1, {8, 8, 8, 8}, 2).Short(338, 2).Data({1, 2, 3, 40, 5, 6, 7, 80}), image);
    EXPECT_EQ(image.mode, IMAGE_RGB24 | IMAGE_ALPHA);
    EXPECT_EQ(Pixels(image), (Bytes{1, 2, 3, 5, 6, 7}));
    EXPECT_EQ(Alpha(image), (Bytes{40, 80}));
}

TEST_F(TiffReaderTest, FourthSampleWithoutExtraSamplesIsSteppedOver) {
    Image image;
    Load(TiffBuilder().Basic(2, 1, {8, 8, 8, 8}, 2).Data({1, 2, 3, 40, 5, 6, 7, 80}), image);
    EXPECT_EQ(image.mode, IMAGE_RGB24);
    EXPECT_EQ(Pixels(image), (Bytes{1, 2, 3, 5, 6, 7}));
}

// 16- and 32-bit samples keep their most significant byte in either order.
TEST_F(TiffReaderTest, WideSamplesKeepTheirTopByte) {
    struct Case {
        bool big;
        int depth;
        Bytes data;
    };
    const Case cases[] = {
        {false, 16, {0x01, 0xA0, 0x02, 0xB0, 0x03, 0xC0}},
        {true, 16, {0xA0, 0x01, 0xB0, 0x02, 0xC0, 0x03}},
        {false, 32, {1, 1, 1, 0xA0, 2, 2, 2, 0xB0, 3, 3, 3, 0xC0}},
        {true, 32, {0xA0, 1, 1, 1, 0xB0, 2, 2, 2, 0xC0, 3, 3, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.big ? "MM " : "II ") + std::to_string(c.depth));
        const uint32_t d = static_cast<uint32_t>(c.depth);
        Image image;
        Load(TiffBuilder(c.big).Basic(1, 1, {d, d, d}, 2).Data(c.data), image);
        EXPECT_EQ(Pixels(image), (Bytes{0xA0, 0xB0, 0xC0}));
    }
}

TEST_F(TiffReaderTest, MotorolaFileWithSixteenBitAlpha) {
    Image image;
    Load(TiffBuilder(true)
             .Basic(1, 1, {16, 16, 16, 16}, 2)
             .Short(338, 2)
             .Data({0x10, 0, 0x20, 0, 0x30, 0, 0x7F, 0xFF}),
         image);
    EXPECT_EQ(Pixels(image), (Bytes{0x10, 0x20, 0x30}));
    EXPECT_EQ(Alpha(image), (Bytes{0x7F}));
}

// Height 5, two rows a strip: three strips, the last one short; the strips
// lie in the file in reverse order to show each lands at its own rows.
TEST_F(TiffReaderTest, StripsLandAtTheirRows) {
    for (uint16_t type : {kShort, kLong}) {
        SCOPED_TRACE(type == kShort ? "SHORT offsets" : "LONG offsets");
        const Bytes data = {50, 50, 50, 51, 51, 51, 30, 30, 30, 31, 31, 31, 10, 10, 10, 11, 11, 11};
        Image image;
        Load(TiffBuilder()
                 .Short(256, 1)
                 .Short(257, 5)
                 .Tag(258, kShort, {8, 8, 8})
                 .Short(262, 2)
                 .Tag(273, type, {kTiffDataAt + 12, kTiffDataAt + 6, kTiffDataAt})
                 .Short(278, 2)
                 .Data(data),
             image);
        EXPECT_EQ(Pixels(image), (Bytes{10, 10, 10, 11, 11, 11, 30, 30, 30, 31, 31, 31, 50, 50, 50}));
    }
}

TEST_F(TiffReaderTest, OneStripWhateverRowsPerStripSays) {
    for (uint32_t rows : {2u, 7u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(rows);
        Image image;
        TiffImage tiff;
        TiffBuilder().Basic(1, 2, {8, 8, 8}, 2).Long(278, rows).Data({1, 2, 3, 4, 5, 6}).Write("t.tif");
        tiff.Load("t.tif", &image);
        EXPECT_EQ(tiff.strips, 1u);
        EXPECT_EQ(Pixels(image), (Bytes{1, 2, 3, 4, 5, 6}));
    }
}

TEST_F(TiffReaderTest, MissingRowsPerStripMeansOneStrip) {
    Image image;
    EXPECT_EQ(Load(TiffBuilder().Basic(1, 2, {8, 8, 8}, 2).Data({1, 2, 3, 4, 5, 6}), image), "");
    EXPECT_EQ(Pixels(image), (Bytes{1, 2, 3, 4, 5, 6}));
}

TEST_F(TiffReaderTest, GreyLoadsAsRgb) {
    struct Case {
        bool big;
        uint32_t depth;
        uint32_t photometric;
        Bytes data;
        Bytes pixels;
    };
    const Case cases[] = {
        {false, 8, 1, {0x00, 0x7F}, {0x00, 0x00, 0x00, 0x7F, 0x7F, 0x7F}},
        {false, 8, 0, {0x00, 0x7F}, {0xFF, 0xFF, 0xFF, 0x80, 0x80, 0x80}},
        {false, 16, 1, {0xFF, 0x12, 0x00, 0x34}, {0x12, 0x12, 0x12, 0x34, 0x34, 0x34}},
        {true, 16, 1, {0x12, 0xFF, 0x34, 0x00}, {0x12, 0x12, 0x12, 0x34, 0x34, 0x34}},
        {true, 32, 1, {0x12, 0, 0, 0, 0x34, 9, 9, 9}, {0x12, 0x12, 0x12, 0x34, 0x34, 0x34}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.big ? "MM " : "II ") << c.depth << " photometric " << c.photometric);
        Image image;
        Load(TiffBuilder(c.big).Basic(2, 1, {c.depth}, c.photometric).Data(c.data), image);
        EXPECT_EQ(image.mode, IMAGE_RGB24);
        EXPECT_EQ(Pixels(image), c.pixels);
    }
}

// Width 10: two bytes a row, the last six bits padding.
TEST_F(TiffReaderTest, BilevelRowsArePaddedToBytes) {
    const Bytes data = {0xA5, 0x40, 0x80, 0x00};
    const Bytes blackIsZeroRow0 = {1, 0, 1, 0, 0, 1, 0, 1, 0, 1};
    for (uint32_t photometric : {0u, 1u}) {
        SCOPED_TRACE(photometric);
        Image image;
        Load(TiffBuilder().Basic(10, 2, {1}, photometric).Data(data), image);
        ASSERT_EQ(image.mode, IMAGE_RGB24);
        for (int x = 0; x < 10; ++x) {
            const uint8_t on = blackIsZeroRow0[static_cast<size_t>(x)] ? 255 : 0;
            EXPECT_EQ(image.data[x * 3], photometric == 1 ? on : 255 - on) << "x " << x;
            EXPECT_EQ(image.data[x * 3 + 2], image.data[x * 3]);
        }
        EXPECT_EQ(image.data[30], photometric == 1 ? 255 : 0);
        EXPECT_EQ(image.data[33], photometric == 1 ? 0 : 255);
    }
}

TEST_F(TiffReaderTest, PaletteTakesTheHighBytesOfTheMap) {
    std::vector<uint32_t> map(768, 0);
    map[2] = 0x12FF;        // red of index 2
    map[256 + 2] = 0x3400;  // green
    map[512 + 2] = 0x56AB;  // blue
    map[255] = 0xFFFF;
    Image image;
    Load(TiffBuilder().Basic(2, 1, {8}, 3).Tag(320, kShort, map).Data({2, 255}), image);
    EXPECT_EQ(image.mode, IMAGE_RGB24);
    EXPECT_EQ(Pixels(image), (Bytes{0x12, 0x34, 0x56, 0xFF, 0, 0}));
}

TEST_F(TiffReaderTest, PackBitsStripsAreDecoded) {
    // Strip 0: rows 0-1 (a run of six 7s); strip 1: row 2 as a literal.
    const Bytes data = {0xFB, 7, 0x02, 1, 2, 3};
    Image image;
    EXPECT_EQ(Load(TiffBuilder()
                       .Basic(1, 3, {8, 8, 8}, 2)
                       .Short(259, 32773)
                       .Tag(273, kLong, {kTiffDataAt, kTiffDataAt + 2})
                       .Short(278, 2)
                       .Tag(279, kLong, {2, 4})
                       .Data(data),
                   image),
              "");
    EXPECT_TRUE(boxes.messageBoxes.empty());
    EXPECT_EQ(Pixels(image), (Bytes{7, 7, 7, 7, 7, 7, 1, 2, 3}));
}

// A hostile file: 256 one-row strips that all point at the same 64 KiB of
// no-op packets. Each strip used to read and walk all of it (strips x file
// size); now no strip reads more than its decoded size can need, so the
// whole load reads about the file once plus twice the picture.
TEST_F(TiffReaderTest, StripsOfNoOpPacketsCostNoMoreThanTheFileAndThePicture) {
    const uint32_t width = 64, height = 256, rowBytes = width * 3;
    const uint32_t noOpBytes = 64 * 1024;
    const std::vector<uint32_t> offsets(height, kTiffDataAt);
    const std::vector<uint32_t> counts(height, noOpBytes);
    TiffBuilder builder;
    builder.Basic(width, height, {8, 8, 8}, 2)
        .Short(259, 32773)
        .Tag(273, kLong, offsets)
        .Short(278, 1)
        .Tag(279, kLong, counts)
        .Data(Bytes(noOpBytes, 0x80));
    builder.Write("t.tif");
    const uint64_t fileBytes = std::filesystem::file_size("t.tif");
    testing::internal::CaptureStdout();
    Image image;
    TiffImage tiff;
    tiff.Load("t.tif", &image);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(tiff.done, 1);
    EXPECT_EQ(Pixels(image), Bytes(static_cast<size_t>(rowBytes) * height, 0)) << "no-op packets decode to nothing";
    // Each strip reads at most twice its 192 bytes (one-byte literals).
    EXPECT_LE(tiff.bytesRead, fileBytes + height * 2 * rowBytes);
}

TEST_F(TiffReaderTest, OtherCompressionShowsTheBoxAndLeavesTheImageEmpty) {
    Image image;
    Load(TiffBuilder().Basic(1, 1, {8, 8, 8}, 2).Short(259, 5).Data({1, 2, 3}), image);
    ASSERT_EQ(boxes.messageBoxes.size(), 1u);
    EXPECT_EQ(boxes.messageBoxes[0].caption, "Tarvo Error");
    EXPECT_EQ(boxes.messageBoxes[0].owner, nullptr);
    EXPECT_EQ(boxes.messageBoxes[0].flags, platform::MB_OK);
    EXPECT_EQ(boxes.messageBoxes[0].text,
              "TIF Load Error: LZW Compression not supported.\n\nTarvo does not support LZW compressed TIF images. "
              "Save your TIF image again and be sure that the LZW compression option is turned off.\n");
    EXPECT_EQ(image.data, nullptr);
    EXPECT_EQ(image.mode, 0);
}

// Rows past the end of the file read as zeros, never as an earlier row.
TEST_F(TiffReaderTest, ShortFileReadsZeros) {
    // The one strip starts 4 bytes before the end: row 0 and a third of row 1.
    auto builder = [](uint32_t stripAt) {
        return TiffBuilder().Short(256, 1).Short(257, 3).Tag(258, kShort, {8, 8, 8}).Short(262, 2).Long(273, stripAt);
    };
    const uint32_t stripAt = static_cast<uint32_t>(builder(0).Bytes().size());
    Bytes bytes = builder(stripAt).Bytes();
    for (uint8_t b : {9, 8, 7, 6}) bytes.push_back(b);
    std::FILE* out = std::fopen("t.tif", "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
    Image image;
    LoadFile("t.tif", image);
    EXPECT_EQ(Pixels(image), (Bytes{9, 8, 7, 6, 0, 0, 0, 0, 0}));
}

struct RefusalCase {
    const char* name;
    TiffBuilder builder;
    const char* message;
};

void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }

class TiffRefusalTest : public TiffReaderTest, public testing::WithParamInterface<RefusalCase> {};

TEST_P(TiffRefusalTest, SaysWhyAndLeavesTheImageEmpty) {
    Image image;
    image.Allocate(2, 2, IMAGE_RGB24);  // an earlier picture must not survive
    EXPECT_EQ(Load(GetParam().builder, image), GetParam().message);
    EXPECT_EQ(image.data, nullptr);
    EXPECT_EQ(image.alpha, nullptr);
    EXPECT_EQ(image.width, 0);
    EXPECT_TRUE(boxes.messageBoxes.empty());
}

const Bytes kPixel = {1, 2, 3};
const char kMissing[] = "Load:Tiff: File is missing required tags.\n";

INSTANTIATE_TEST_SUITE_P(
    Files, TiffRefusalTest,
    testing::Values(
        RefusalCase{"NoWidth",
                    TiffBuilder().Short(257, 1).Tag(258, kShort, {8, 8, 8}).Short(262, 2).Long(273, 8).Data(kPixel),
                    kMissing},
        RefusalCase{"NoHeight",
                    TiffBuilder().Short(256, 1).Tag(258, kShort, {8, 8, 8}).Short(262, 2).Long(273, 8).Data(kPixel),
                    kMissing},
        RefusalCase{"NoBitsPerSample", TiffBuilder().Short(256, 1).Short(257, 1).Short(262, 2).Long(273, 8).Data(kPixel),
                    kMissing},
        RefusalCase{"NoStripOffsets",
                    TiffBuilder().Short(256, 1).Short(257, 1).Tag(258, kShort, {8, 8, 8}).Short(262, 2).Data(kPixel),
                    kMissing},
        RefusalCase{"StripOffsetsOfTypeAscii", TiffBuilder().Basic(1, 1, {8, 8, 8}, 2).Raw(273, 2, 1, 8).Data(kPixel),
                    kMissing},
        RefusalCase{"ZeroWidth", TiffBuilder().Basic(0, 1, {8, 8, 8}, 2).Data(kPixel), kMissing},
        RefusalCase{"PaletteWithoutColorMap", TiffBuilder().Basic(1, 1, {8}, 3).Data(kPixel), kMissing},
        RefusalCase{"PackBitsWithoutByteCounts", TiffBuilder().Basic(1, 1, {8, 8, 8}, 2).Short(259, 32773).Data(kPixel),
                    kMissing},
        RefusalCase{"RowsPerStripZero", TiffBuilder().Basic(1, 1, {8, 8, 8}, 2).Short(278, 0).Data(kPixel),
                    "Load:Tiff: File has a RowsPerStrip of 0.\n"},
        RefusalCase{"DepthsDiffer", TiffBuilder().Basic(1, 1, {8, 8, 16}, 2).Data(kPixel),
                    "Load:Tiff: Samples of different depths are not supported.\n"},
        RefusalCase{"FourthDepthDiffers", TiffBuilder().Basic(1, 1, {8, 8, 8, 16}, 2).Short(338, 2).Data(kPixel),
                    "Load:Tiff: Samples of different depths are not supported.\n"},
        RefusalCase{"PlanarConfiguration2", TiffBuilder().Basic(1, 1, {8, 8, 8}, 2).Short(284, 2).Data(kPixel),
                    "Load:Tiff: Samples stored in separate planes are not supported.\n"},
        RefusalCase{"TooWide", TiffBuilder().Basic(1, 1, {8, 8, 8}, 2).Long(256, 40000).Data(kPixel),
                    "Load:Tiff: Image is too large.\n"},
        RefusalCase{"TooManyPixels",
                    TiffBuilder().Basic(1, 1, {8, 8, 8}, 2).Long(256, 32768).Long(257, 32768).Data(kPixel),
                    "Load:Tiff: Image is too large.\n"},
        RefusalCase{"FewerOffsetsThanStrips",
                    TiffBuilder().Basic(1, 4, {8, 8, 8}, 2).Tag(273, kLong, {8, 8}).Short(278, 1).Data(kPixel),
                    "Load:Tiff: File has fewer strip entries than strips.\n"},
        // Forms the reader does not take leave the image empty without a word.
        RefusalCase{"TwelveBitRgb", TiffBuilder().Basic(1, 1, {12, 12, 12}, 2).Data(kPixel), ""},
        RefusalCase{"GreyWithAlpha", TiffBuilder().Basic(1, 1, {8, 8}, 1).Short(338, 2).Data(kPixel), ""},
        RefusalCase{"Cmyk", TiffBuilder().Basic(1, 1, {8, 8, 8, 8}, 5).Data(kPixel), ""},
        RefusalCase{"FourBitPalette", TiffBuilder().Basic(1, 1, {4}, 3).Tag(320, kShort, std::vector<uint32_t>(48)),
                    ""}),
    [](const testing::TestParamInfo<RefusalCase>& info) { return std::string(info.param.name); });

TEST_F(TiffReaderTest, MissingFileShowsTheBoxAndLeavesTheImageAlone) {
    Image image;
    image.Allocate(1, 1, IMAGE_RGB24);
    uint8_t* before = image.data;
    LoadFile("Images/none.tif", image);
    ASSERT_EQ(boxes.messageBoxes.size(), 1u);
    EXPECT_EQ(boxes.messageBoxes[0].caption, "Tarvo Error");
    EXPECT_EQ(boxes.messageBoxes[0].text,
              ".TIF File Not Found: Images/none.tif\n\nMake sure paths and names of TIF images are correct. If you "
              "started the game outside of Visual C++, make sure the executable is in the correct location to find "
              "images.");
    EXPECT_EQ(image.data, before);
    EXPECT_EQ(done, 0);
}

TEST_F(TiffReaderTest, AMissingFileIsReportedOnceARunWithTheFoldersSearched) {
    SetDataFolders({"/nowhere/bin", "/nowhere/share/tarvo"});
    debugLog.Open("debug.txt");
    const std::string searched =
        "Load:Tiff: (Warning only) Pictures not found were looked for in: " + std::filesystem::current_path().string() +
        " /nowhere/bin /nowhere/share/tarvo\n  ";
    const std::string openFailed = "File::Open: File does not exist for read.\n  ";
    Image image;
    // The same file three times, once written with '/', then another file.
    for (const char* name : {"Images\\gone.tif", "Images\\gone.tif", "Images/gone.tif", "Images\\lost.tif"})
        LoadFile(name, image);
    ASSERT_EQ(boxes.messageBoxes.size(), 2u);
    EXPECT_THAT(boxes.messageBoxes[0].text, testing::StartsWith(".TIF File Not Found: Images\\gone.tif\n\n"));
    EXPECT_THAT(boxes.messageBoxes[1].text, testing::StartsWith(".TIF File Not Found: Images\\lost.tif\n\n"));
    EXPECT_EQ(ReadText("debug.txt"), openFailed + searched + openFailed + openFailed + openFailed);

    // A new run reports it again, with the folders.
    ForgetMissingPictures();
    debugLog.Open("debug.txt");
    LoadFile("Images\\gone.tif", image);
    EXPECT_EQ(boxes.messageBoxes.size(), 3u);
    EXPECT_EQ(ReadText("debug.txt"), openFailed + searched);
}

TEST_F(TiffReaderTest, AMissingAbsolutePathNamesNoFolders) {
    debugLog.Open("debug.txt");
    Image image;
    LoadFile("/nowhere/gone.tif", image);
    EXPECT_EQ(boxes.messageBoxes.size(), 1u);
    EXPECT_EQ(ReadText("debug.txt"), "File::Open: File does not exist for read.\n  ");
}

TEST_F(TiffReaderTest, MoreImagesGiveAWarningAndTheFirstLoads) {
    Image image;
    EXPECT_EQ(Load(TiffBuilder().Basic(1, 1, {8, 8, 8}, 2).NextIfd(8).Data(kPixel), image),
              "Load:Tiff: (Warning only) File contains multiple tiff images - reading only first.\n");
    EXPECT_EQ(Pixels(image), kPixel);
}

TEST_F(TiffReaderTest, LongPathsLoad) {
    const std::string name = std::string(150, 'p') + ".tif";
    TiffBuilder().Basic(1, 1, {8, 8, 8}, 2).Data(kPixel).Write(name);
    Image image;
    LoadFile(name.c_str(), image);
    EXPECT_EQ(Pixels(image), kPixel);
}

using TiffReaderDeathTest = TiffReaderTest;

TEST_F(TiffReaderDeathTest, FatalFilesEndWithStatus255) {
    struct Case {
        const char* name;
        Bytes bytes;
        const char* message;
    };
    Bytes notTiff = {'I', 'I', 43, 0, 8, 0, 0, 0};
    const Case cases[] = {
        {"magic 43", notTiff, "Load:Tiff: File is corrupted, or is not a .TIFF file.\n"},
        {"empty file", {}, "Load:Tiff: File is corrupted, or is not a .TIFF file.\n"},
        {"five samples", TiffBuilder().Basic(1, 1, {8, 8, 8, 8, 8}, 2).Bytes(), "Load:Tiff: Unknown TIFF mode.\n"},
        {"no samples", TiffBuilder().Short(256, 1).Raw(258, kShort, 0, 0).Bytes(), "Load:Tiff: Unknown TIFF mode.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::FILE* out = std::fopen("t.tif", "wb");
        if (!c.bytes.empty()) std::fwrite(c.bytes.data(), 1, c.bytes.size(), out);
        std::fclose(out);
        EXPECT_EXIT(
            {
                // The message goes to standard output; the death test reads standard error.
                dup2(2, 1);
                Image image;
                TiffImage tiff;
                tiff.Load("t.tif", &image);
            },
            testing::ExitedWithCode(255), testing::HasSubstr(c.message));
    }
}

}  // namespace
