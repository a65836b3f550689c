#include "image/image.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "base/pixel_format.h"

namespace {

void Use565() { SetPixelFormat(0xF800, 0x07E0, 0x001F); }
void Use555() { SetPixelFormat(0x7C00, 0x03E0, 0x001F); }

// A 24-bit image of the given pixels (r, g, b triples), with raw alpha bytes
// when `alphaBytes` is given.
void Fill24(Image& image, std::initializer_list<uint8_t> rgb, std::initializer_list<uint8_t> alphaBytes = {}) {
    const int count = static_cast<int>(rgb.size() / 3);
    image.Allocate(count, 1, alphaBytes.size() ? IMAGE_RGB24 | IMAGE_ALPHA : IMAGE_RGB24);
    int i = 0;
    for (uint8_t v : rgb) image.data[i++] = v;
    i = 0;
    for (uint8_t a : alphaBytes) image.alpha[i++] = a;
}

struct ConvertCase {
    const char* name;
    bool is565;
    uint8_t r, g, b;
    uint16_t word;
};

TEST(ImageConvert, TruncatesEachChannelToTheScreenLayout) {
    const ConvertCase cases[] = {
        {"white 565", true, 255, 255, 255, 0xFFFF}, {"mixed 565", true, 128, 64, 32, 0x8204},
        {"near black 565", true, 7, 3, 7, 0x0000}, {"green step 565", true, 0, 4, 0, 0x0020},
        {"white 555", false, 255, 255, 255, 0x7FFF}, {"mixed 555", false, 128, 64, 32, 0x4104},
        {"green 4 555", false, 0, 4, 0, 0x0000},    {"blue top 555", false, 0, 0, 255, 0x001F},
    };
    for (const ConvertCase& c : cases) {
        SCOPED_TRACE(c.name);
        c.is565 ? Use565() : Use555();
        Image image;
        Fill24(image, {c.r, c.g, c.b}, {200});
        image.ConvertTo(IMAGE_RGB16);
        EXPECT_EQ(image.Pixels16()[0], c.word);
        EXPECT_EQ(image.mode, 0x11);
        EXPECT_EQ(image.alpha[0], 200) << "alpha is not touched";
    }
}

TEST(ImageConvert, LeavesA16BitImageAsItIs) {
    Use565();
    Image image(2, 1, IMAGE_RGB16);
    image.Pixels16()[0] = 0x1234;
    image.Pixels16()[1] = 0xFFFF;
    image.ConvertTo(IMAGE_RGB16);
    EXPECT_EQ(image.Pixels16()[0], 0x1234);
    EXPECT_EQ(image.Pixels16()[1], 0xFFFF);
    EXPECT_EQ(image.mode, IMAGE_RGB16);
}

TEST(ImagePrepare, NeverAllocatedImageOnlyGetsTheMode) {
    Use565();
    Image image;
    image.PrepareForScreen(1);
    EXPECT_EQ(image.mode, IMAGE_RGB16);
    EXPECT_EQ(image.data, nullptr);
}

TEST(ImagePrepare, KeyFromAlphaMakesTransparentPixelsTheKeyAndLiftsBlack) {
    Use565();
    Image image;
    // Black with alpha 1, white with alpha 0, near black (converts to 0)
    // opaque, red half transparent.
    Fill24(image, {0, 0, 0, 255, 255, 255, 7, 3, 7, 255, 0, 0}, {1, 0, 255, 128});
    image.PrepareForScreen(1);
    const uint16_t* p = image.Pixels16();
    EXPECT_EQ(p[0], 0x0001);
    EXPECT_EQ(p[1], 0x0000);
    EXPECT_EQ(p[2], 0x0001);
    EXPECT_EQ(p[3], 0xF800);
    EXPECT_EQ(image.alpha, nullptr);
    EXPECT_EQ(image.mode, 0x50);
}

TEST(ImagePrepare, AlphaModesChangeNothingWithoutAnAlphaSample) {
    Use565();
    for (int alphaMode : {1, 2, 3}) {
        SCOPED_TRACE(alphaMode);
        Image image;
        Fill24(image, {0, 0, 0, 255, 255, 255});
        ASSERT_NE(image.alpha, nullptr) << "any non-zero mode gets an alpha buffer";
        image.alpha[0] = 0;
        image.PrepareForScreen(alphaMode);
        EXPECT_EQ(image.Pixels16()[0], 0x0000);
        EXPECT_EQ(image.Pixels16()[1], 0xFFFF);
        EXPECT_EQ(image.mode, IMAGE_RGB16);
        EXPECT_NE(image.alpha, nullptr);
    }
}

struct PremultiplyCase {
    const char* name;
    bool is565;
    uint16_t word;
    uint8_t alpha;
    uint16_t expectedWord;
    uint8_t expectedAlpha;
};

TEST(ImagePrepare, PremultiplyScalesEachChannelAndInvertsAlpha) {
    const PremultiplyCase cases[] = {
        {"opaque white 565", true, 0xFFFF, 255, 0xF7DE, 0},
        {"half white 565", true, 0xFFFF, 128, 0x7BEF, 127},
        {"transparent 565", true, 0xFFFF, 0, 0x0000, 255},
        {"green only 565", true, 0x07E0, 255, 0x07C0, 0},
        {"opaque white 555", false, 0x7FFF, 255, 0x7BDE, 0},
        {"half white 555", false, 0x7FFF, 128, 0x3DEF, 127},
    };
    for (const PremultiplyCase& c : cases) {
        SCOPED_TRACE(c.name);
        c.is565 ? Use565() : Use555();
        Image image(1, 1, IMAGE_RGB16 | IMAGE_ALPHA);
        image.Pixels16()[0] = c.word;
        image.alpha[0] = c.alpha;
        image.PremultiplyAlpha();
        EXPECT_EQ(image.Pixels16()[0], c.expectedWord);
        EXPECT_EQ(image.alpha[0], c.expectedAlpha);
        EXPECT_EQ(image.mode, IMAGE_RGB16 | IMAGE_ALPHA);
    }
}

TEST(ImagePrepare, PremultiplyOn24BitScalesEachByte) {
    Image image;
    Fill24(image, {200, 100, 51, 255, 255, 255}, {128, 255});
    image.PremultiplyAlpha();
    const uint8_t expected[] = {100, 50, 25, 254, 254, 254};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(image.data[i], expected[i]) << i;
    EXPECT_EQ(image.alpha[0], 127);
    EXPECT_EQ(image.alpha[1], 0);
}

TEST(ImagePrepare, AlphaMode3ThroughPrepareForScreen) {
    Use565();
    Image image;
    Fill24(image, {255, 255, 255}, {128});
    image.PrepareForScreen(3);
    EXPECT_EQ(image.Pixels16()[0], 0x7BEF);
    EXPECT_EQ(image.alpha[0], 127);
    EXPECT_EQ(image.mode, 0x11);
}

TEST(ImageAllocate, BadSizesLeaveTheImageEmpty) {
    const int sizes[][2] = {{-1, 4}, {4, -1}, {50000, 50000}, {0x7FFFFFFF, 2}, {0x7FFFFFFF, 0x7FFFFFFF}};
    for (const auto& s : sizes) {
        SCOPED_TRACE(testing::Message() << s[0] << " x " << s[1]);
        Image image(3, 3, IMAGE_RGB24 | IMAGE_ALPHA);
        image.Allocate(s[0], s[1], IMAGE_RGB24);
        EXPECT_EQ(image.data, nullptr);
        EXPECT_EQ(image.alpha, nullptr);
        EXPECT_EQ(image.width, 0);
        EXPECT_EQ(image.height, 0);
        EXPECT_EQ(image.mode, 0);
    }
}

TEST(ImageAllocate, ReallocationReplacesBuffersAndModeZeroKeepsAlpha) {
    Image image(4, 4, IMAGE_RGB24 | IMAGE_ALPHA);
    image.alpha[0] = 77;
    image.Allocate(8, 2, IMAGE_RGB16);  // same pixel count: alpha replaced (mode not 0)
    EXPECT_EQ(image.width, 8);
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(image.mode, IMAGE_RGB16);
    ASSERT_NE(image.alpha, nullptr);
    image.alpha[15] = 9;
    uint8_t* kept = image.alpha;
    image.Allocate(2, 8, 0);
    EXPECT_EQ(image.alpha, kept) << "mode 0 leaves the alpha buffer";
    EXPECT_EQ(image.data, nullptr) << "mode 0 has no pixel bytes";
    image.Allocate(3, 3, 0);
    EXPECT_EQ(image.alpha, nullptr) << "an alpha buffer of another size is not kept";
    image.Release();
    image.Release();
    EXPECT_EQ(image.width, 0);
}

}  // namespace
