// TIFF writer: the fixed layout byte for byte, the alpha variant, read-back,
// the checks that end the process before the target is touched, and the
// replace-through-a-temporary-file rule.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/debug_log.h"
#include "image/image.h"
#include "image/tiff_image.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes ReadAll(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Put16(Bytes& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(Bytes& b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}
void Entry(Bytes& b, uint32_t tag, uint32_t type, uint32_t count, uint32_t value) {
    Put16(b, tag);
    Put16(b, type);
    Put32(b, count);
    Put32(b, value);  // a SHORT value and its 16-bit 0 read the same, little-endian
}

// The writer's front part for an 8-bit RGB picture, listed from the layout table.
Bytes ExpectedFront(uint32_t width, uint32_t height, bool alpha) {
    const uint32_t samples = alpha ? 4 : 3;
    const uint32_t entries = alpha ? 15 : 14;
    const uint32_t depthsAt = 8 + 2 + 12 * entries + 4;
    const uint32_t pixelsAt = depthsAt + 2 * samples + 16;
    Bytes b = {'I', 'I'};
    Put16(b, 42);
    Put32(b, 8);
    Put16(b, entries);
    Entry(b, 254, 4, 1, 0);
    Entry(b, 256, 3, 1, width);
    Entry(b, 257, 3, 1, height);
    Entry(b, 258, 3, samples, depthsAt);
    Entry(b, 259, 3, 1, 1);
    Entry(b, 262, 3, 1, 2);
    Entry(b, 273, 4, 1, pixelsAt);
    Entry(b, 277, 3, 1, samples);
    Entry(b, 278, 3, 1, height);
    Entry(b, 279, 4, 1, width * samples * height);
    Entry(b, 282, 5, 1, depthsAt + 2 * samples);
    Entry(b, 283, 5, 1, depthsAt + 2 * samples + 8);
    Entry(b, 296, 3, 1, 2);
    Entry(b, 320, 3, 0, 0);
    if (alpha) Entry(b, 338, 3, 1, 2);
    Put32(b, 0);
    for (uint32_t i = 0; i < samples; ++i) Put16(b, 8);
    for (int i = 0; i < 4; ++i) Put32(b, 1);
    return b;
}

void Fill(Image& image, const Bytes& rgb, const Bytes& alpha = {}) {
    std::memcpy(image.data, rgb.data(), rgb.size());
    if (!alpha.empty()) std::memcpy(image.alpha, alpha.data(), alpha.size());
}

int FilesHere() {
    int n = 0;
    for (auto& entry : std::filesystem::directory_iterator(".")) {
        (void)entry;
        ++n;
    }
    return n;
}

class TiffWriterTest : public testing::Test {
protected:
    // Each test writes into its own folder, so leftover files can be counted.
    void SetUp() override {
        std::filesystem::create_directory(folder);
        std::filesystem::current_path(folder);
    }
    void TearDown() override {
        std::filesystem::current_path("..");
        std::filesystem::remove_all(folder);
    }
    std::string folder = std::string("writer-") + testing::UnitTest::GetInstance()->current_test_info()->name();
};

TEST_F(TiffWriterTest, RgbLayoutByteForByte) {
    Image image(2, 1, IMAGE_RGB24);
    Fill(image, {1, 2, 3, 4, 5, 6});
    TiffImage tiff;
    tiff.colorClass = TIFF_RGB;
    tiff.bits = 8;
    tiff.Save("out.tif", &image);
    Bytes expected = ExpectedFront(2, 1, false);
    ASSERT_EQ(expected.size(), 204u);
    for (uint8_t b : {1, 2, 3, 4, 5, 6}) expected.push_back(b);
    EXPECT_EQ(ReadAll("out.tif"), expected);
    EXPECT_EQ(tiff.done, 1);
    EXPECT_EQ(tiff.rowBytes, 6u);
    EXPECT_EQ(tiff.stripByteCounts, 6u);
    EXPECT_EQ(tiff.strips, 1u);
    EXPECT_EQ(FilesHere(), 1) << "no temporary file stays behind";

    Image back;
    TiffImage reader;
    reader.Load("out.tif", &back);
    EXPECT_EQ(back.mode, IMAGE_RGB24);
    EXPECT_EQ(Bytes(back.data, back.data + 6), (Bytes{1, 2, 3, 4, 5, 6}));
}

TEST_F(TiffWriterTest, AlphaOnRequestOnly) {
    Image image(2, 1, IMAGE_RGB24 | IMAGE_ALPHA);
    Fill(image, {1, 2, 3, 4, 5, 6}, {0, 200});

    TiffImage plain;
    plain.colorClass = TIFF_RGB;
    plain.bits = 8;
    plain.Save("plain.tif", &image);
    EXPECT_EQ(ReadAll("plain.tif").size(), 210u);

    TiffImage tiff;
    tiff.colorClass = TIFF_RGB;
    tiff.bits = 8;
    tiff.saveAlpha = 1;
    tiff.Save("alpha.tif", &image);
    Bytes expected = ExpectedFront(2, 1, true);
    for (uint8_t b : {1, 2, 3, 0, 4, 5, 6, 200}) expected.push_back(b);
    EXPECT_EQ(ReadAll("alpha.tif"), expected);

    Image back;
    TiffImage reader;
    reader.Load("alpha.tif", &back);
    EXPECT_EQ(back.mode, IMAGE_RGB24 | IMAGE_ALPHA);
    EXPECT_EQ(Bytes(back.data, back.data + 6), (Bytes{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(Bytes(back.alpha, back.alpha + 2), (Bytes{0, 200}));
}

TEST_F(TiffWriterTest, GreyAndBilevelWriteTheDirectoryOnly) {
    Image image(9, 2, IMAGE_RGB24);
    std::memset(image.data, 0, 9 * 2 * 3);
    struct Case {
        int colorClass;
        uint32_t depthValue;
        uint32_t rowBytes;
    };
    for (const Case& c : {Case{TIFF_GREY, 8, 9}, Case{TIFF_BILEVEL, 1, 2}}) {
        SCOPED_TRACE(c.colorClass);
        TiffImage tiff;
        tiff.colorClass = c.colorClass;
        tiff.bits = 8;
        tiff.Save("out.tif", &image);
        const Bytes bytes = ReadAll("out.tif");
        ASSERT_EQ(bytes.size(), 204u);
        // BitsPerSample: SHORT, count 1, value in the field.
        EXPECT_EQ(bytes[10 + 3 * 12 + 4], 1);
        EXPECT_EQ(bytes[10 + 3 * 12 + 8], c.depthValue);
        EXPECT_EQ(bytes[10 + 5 * 12 + 8], 1) << "photometric BlackIsZero";
        EXPECT_EQ(tiff.rowBytes, c.rowBytes);
        EXPECT_EQ(tiff.stripByteCounts, c.rowBytes * 2);
    }
}

TEST_F(TiffWriterTest, SizesBeyondSixteenBitsAreWrittenAsLong) {
    Image image(70000, 1, IMAGE_RGB24);
    std::memset(image.data, 9, 70000 * 3);
    TiffImage tiff;
    tiff.colorClass = TIFF_RGB;
    tiff.bits = 8;
    tiff.Save("wide.tif", &image);
    const Bytes bytes = ReadAll("wide.tif");
    ASSERT_EQ(bytes.size(), 204u + 210000u);
    const uint8_t* widthEntry = &bytes[10 + 12];
    EXPECT_EQ(widthEntry[2], 4) << "LONG";
    EXPECT_EQ(widthEntry[8] | widthEntry[9] << 8 | widthEntry[10] << 16, 70000);
}

TEST_F(TiffWriterTest, AnExistingTargetIsReplacedWhole) {
    std::ofstream("out.tif") << std::string(5000, 'x');
    Image image(1, 1, IMAGE_RGB24);
    Fill(image, {7, 8, 9});
    TiffImage tiff;
    tiff.colorClass = TIFF_RGB;
    tiff.bits = 8;
    tiff.Save("out.tif", &image);
    EXPECT_EQ(ReadAll("out.tif").size(), 207u);
    EXPECT_EQ(FilesHere(), 1);
}

// A 1 x 1 RGB picture, 207 bytes as a file, ready to save.
struct SmallSave {
    SmallSave() {
        Fill(image, {7, 8, 9});
        tiff.colorClass = TIFF_RGB;
        tiff.bits = 8;
    }
    Image image{1, 1, IMAGE_RGB24};
    TiffImage tiff;
};

int PermissionBits(const char* name) {
    struct stat info {};
    stat(name, &info);
    return static_cast<int>(info.st_mode & 07777);
}

TEST_F(TiffWriterTest, BackslashesSeparateFoldersAsInEveryOpen) {
    std::filesystem::create_directory("pictures");
    SmallSave save;
    save.tiff.Save("pictures\\saved.tif", &save.image);
    EXPECT_EQ(save.tiff.done, 1);
    EXPECT_EQ(ReadAll("pictures/saved.tif").size(), 207u);
    EXPECT_EQ(FilesHere(), 1) << "nothing named with a backslash beside the folder";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("pictures"), std::filesystem::directory_iterator()), 1);
}

TEST_F(TiffWriterTest, ALinkStaysALinkAndTheFileItNamesIsReplaced) {
    std::filesystem::create_directory("pictures");
    std::ofstream("pictures/real.tif") << "old";
    std::filesystem::create_symlink("pictures/real.tif", "link.tif");
    SmallSave save;
    save.tiff.Save("link.tif", &save.image);
    EXPECT_EQ(save.tiff.done, 1);
    EXPECT_TRUE(std::filesystem::is_symlink("link.tif"));
    EXPECT_EQ(ReadAll("pictures/real.tif").size(), 207u);
    EXPECT_EQ(FilesHere(), 2) << "no temporary file beside the link";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("pictures"), std::filesystem::directory_iterator()), 1)
        << "no temporary file beside the file";
}

TEST_F(TiffWriterTest, TheTargetKeepsItsPermissionBits) {
    for (int bits : {0640, 0604, 0755}) {
        SCOPED_TRACE(bits);
        std::ofstream("out.tif") << "old";
        ASSERT_EQ(chmod("out.tif", static_cast<mode_t>(bits)), 0);
        SmallSave save;
        save.tiff.Save("out.tif", &save.image);
        EXPECT_EQ(ReadAll("out.tif").size(), 207u);
        EXPECT_EQ(PermissionBits("out.tif"), bits);
    }
}

TEST_F(TiffWriterTest, ANewFileHasTheUsualModeLessTheUmask) {
    const mode_t saved = umask(022);
    SmallSave save;
    save.tiff.Save("new.tif", &save.image);
    umask(saved);
    EXPECT_EQ(save.tiff.done, 1);
    EXPECT_EQ(PermissionBits("new.tif"), 0644);
}

// Where the folder takes no new file but the target may be written, the
// target is written in place. Root ignores permission bits, so the save runs
// in a child that gives up root first; the folder is reached through the
// working folder, which needs no right on the folders above it.
TEST_F(TiffWriterTest, AFolderThatTakesNoNewFileIsWrittenInPlace) {
    std::ofstream("out.tif") << "old";
    ASSERT_EQ(chmod("out.tif", 0666), 0);
    ASSERT_EQ(chmod(".", 0555), 0);
    EXPECT_EXIT(
        {
            if (getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) std::exit(3);
            if (open("probe", O_WRONLY | O_CREAT, 0600) >= 0) std::exit(4);  // the folder must refuse
            SmallSave save;
            save.tiff.Save("out.tif", &save.image);
            std::exit(save.tiff.done == 1 ? 0 : 5);
        },
        testing::ExitedWithCode(0), "");
    ASSERT_EQ(chmod(".", 0755), 0);
    EXPECT_EQ(ReadAll("out.tif").size(), 207u);
    EXPECT_EQ(PermissionBits("out.tif"), 0666);
    EXPECT_EQ(FilesHere(), 1);
}

// A write that fails part way (here at a file-size limit) leaves the old
// target whole, prints the line, leaves no temporary file and reports no
// success, even on a TiffImage whose earlier save succeeded.
TEST_F(TiffWriterTest, AFailedWriteLeavesTheTargetWhole) {
    std::ofstream("out.tif") << "old";
    EXPECT_EXIT(
        {
            dup2(2, 1);
            SmallSave first;
            first.tiff.Save("first.tif", &first.image);
            if (first.tiff.done != 1) std::exit(3);
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit limit;
            limit.rlim_cur = limit.rlim_max = 4096;
            setrlimit(RLIMIT_FSIZE, &limit);
            Image large(100, 100, IMAGE_RGB24);
            std::memset(large.data, 0x55, 30000);
            first.tiff.Save("out.tif", &large);
            std::exit(first.tiff.done == 0 ? 0 : 4);
        },
        testing::ExitedWithCode(0),
        testing::HasSubstr("Save:Tiff: Unable to write the file; the target is unchanged.\n"));
    EXPECT_EQ(ReadAll("out.tif"), (Bytes{'o', 'l', 'd'}));
    EXPECT_EQ(FilesHere(), 2) << "out.tif and first.tif only";
}

// A rename that fails (the target is a folder) likewise.
TEST_F(TiffWriterTest, AFailedRenameLeavesTheTargetWhole) {
    std::filesystem::create_directory("out.tif");
    std::ofstream("out.tif/inside") << "kept";
    testing::internal::CaptureStdout();
    SmallSave save;
    save.tiff.Save("first.tif", &save.image);
    ASSERT_EQ(save.tiff.done, 1);
    save.tiff.Save("out.tif", &save.image);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Save:Tiff: Unable to write the file; the target is unchanged.\n");
    EXPECT_EQ(save.tiff.done, 0);
    EXPECT_EQ(ReadAll("out.tif/inside"), (Bytes{'k', 'e', 'p', 't'}));
    EXPECT_EQ(FilesHere(), 2);
}

// The checks come before any file is touched: the old target stays as it was.
TEST_F(TiffWriterTest, RefusedPicturesEndTheProcessAndLeaveTheTarget) {
    struct Case {
        const char* name;
        int colorClass;
        int bits;
        uint8_t mode;
        const char* message;
    };
    const Case cases[] = {
        {"palette class", TIFF_PALETTE, 8, IMAGE_RGB24, "Save:Tiff: Unknown TIFF mode.\n"},
        {"16-bit samples", TIFF_RGB, 16, IMAGE_RGB24, "SaveTiff: Given pixel depth and color mode not supported.\n"},
        {"screen-format picture", TIFF_RGB, 8, IMAGE_RGB16,
         "SaveTiff: Given pixel depth and color mode not supported.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::ofstream("out.tif") << "old";
        EXPECT_EXIT(
            {
                dup2(2, 1);
                Image image(2, 2, c.mode);
                TiffImage tiff;
                tiff.colorClass = c.colorClass;
                tiff.bits = c.bits;
                tiff.Save("out.tif", &image);
            },
            testing::ExitedWithCode(255), testing::HasSubstr(c.message));
        EXPECT_EQ(ReadAll("out.tif"), (Bytes{'o', 'l', 'd'}));
        EXPECT_EQ(FilesHere(), 1);
    }
}

TEST_F(TiffWriterTest, UnopenableTargetIsFatal) {
    EXPECT_EXIT(
        {
            debugLog.Open("/dev/stderr");
            Image image(1, 1, IMAGE_RGB24);
            TiffImage tiff;
            tiff.colorClass = TIFF_RGB;
            tiff.bits = 8;
            tiff.Save("no-such-folder/out.tif", &image);
        },
        testing::ExitedWithCode(255), testing::HasSubstr("File::Open: Unable to open file (reason unknown)\n"));
}

}  // namespace
