#include "draw/blit.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "draw/blit_kernels.h"
#include "image/image.h"
#include "tests/support/screen_fixture.h"

namespace {

// A w x h 16-bit image of the given words, with alpha bytes when given.
void Make16(Image& image, int w, int h, const std::vector<uint16_t>& words, const std::vector<uint8_t>& alpha = {}) {
    image.Allocate(w, h, alpha.empty() ? IMAGE_RGB16 : IMAGE_RGB16 | IMAGE_ALPHA);
    for (int i = 0; i < w * h; ++i) image.Pixels16()[i] = words[static_cast<size_t>(i)];
    if (alpha.empty()) {
        delete[] image.alpha;
        image.alpha = nullptr;
    } else {
        for (int i = 0; i < w * h; ++i) image.alpha[i] = alpha[static_cast<size_t>(i)];
    }
}

struct PixelCase {
    const char* name;
    ScreenFixture::Layout layout;
    uint16_t screen;
    uint16_t image;
    uint8_t alpha;
    uint16_t expected;
};

TEST(BlitAdditive, AddsEachChannelAndClampsAtItsMask) {
    const PixelCase cases[] = {
        {"all clamp 565", ScreenFixture::k565, 0x8410, 0x8410, 0, 0xFFFF},
        {"no carry 565", ScreenFixture::k565, 0x0841, 0x0841, 0, 0x1082},
        {"red and blue 565", ScreenFixture::k565, 0xF800, 0x001F, 0, 0xF81F},
        {"green clamps at 63 565", ScreenFixture::k565, 0x07E0, 0x0020, 0, 0x07E0},
        {"alpha only selects 565", ScreenFixture::k565, 0x0001, 0x0001, 254, 0x0002},
        {"alpha 255 skips 565", ScreenFixture::k565, 0x1234, 0x0841, 255, 0x1234},
        {"image 0 skips 565", ScreenFixture::k565, 0x1234, 0x0000, 0, 0x1234},
        {"all clamp 555", ScreenFixture::k555, 0x4210, 0x4210, 0, 0x7FFF},
        {"green clamps at 31 555", ScreenFixture::k555, 0x03E0, 0x0020, 0, 0x03E0},
        {"no carry 555", ScreenFixture::k555, 0x0421, 0x0421, 0, 0x0842},
    };
    for (const PixelCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScreenFixture screen(2, 1, c.layout, 0, c.screen);
        Image image;
        Make16(image, 1, 1, {c.image}, {c.alpha});
        EXPECT_EQ(Tarvo.DrawAdditive(1, 0, &image), 1);
        EXPECT_EQ(screen.At(1, 0), c.expected);
        EXPECT_EQ(screen.At(0, 0), c.screen);
    }
}

TEST(BlitAlpha, ScalesTheScreenByAlphaAndAddsTheImage) {
    const PixelCase cases[] = {
        {"half 565", ScreenFixture::k565, 0xFFFF, 0x7BEF, 128, 0xF7DE},
        {"opaque 565", ScreenFixture::k565, 0xFFFF, 0x1234, 0, 0x1234},
        {"transparent 565", ScreenFixture::k565, 0xABCD, 0x1234, 255, 0xABCD},
        {"no saturation 565", ScreenFixture::k565, 0xFFFF, 0xFFFF, 128, 0x7BEE},
        {"half 555", ScreenFixture::k555, 0x7FFF, 0x3DEF, 128, 0x7BDE},
        {"nearly clear 555", ScreenFixture::k555, 0x7FFF, 0x0000, 254, 0x7BDE},
    };
    for (const PixelCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScreenFixture screen(1, 1, c.layout, 0, c.screen);
        Image image;
        Make16(image, 1, 1, {c.image}, {c.alpha});
        EXPECT_EQ(Tarvo.DrawAlpha(0, 0, &image), 1);
        EXPECT_EQ(screen.At(0, 0), c.expected);
    }
}

TEST(BlitTransparent, CopiesEveryWordButTheKey) {
    ScreenFixture screen(4, 1, ScreenFixture::k565, 0, 0x5555);
    Image image;
    Make16(image, 4, 1, {0x0001, 0x0000, 0xFFFF, 0x0000});
    Tarvo.DrawTransparent(0, 0, &image);
    EXPECT_EQ(screen.pixels, (std::vector<uint16_t>{0x0001, 0x5555, 0xFFFF, 0x5555}));
}

TEST(BlitFrame, MissingBuffersDrawNothing) {
    ScreenFixture screen(3, 3, ScreenFixture::k565, 0, 0x1111);
    Image noPixels;
    Image keyed;
    Make16(keyed, 2, 2, {1, 2, 3, 4});
    for (auto draw : {Tarvo.DrawSolid, Tarvo.DrawTransparent, Tarvo.DrawAlpha, Tarvo.DrawAdditive})
        EXPECT_EQ(draw(0, 0, &noPixels), 1);
    EXPECT_EQ(Tarvo.DrawAlpha(0, 0, &keyed), 1);
    EXPECT_EQ(Tarvo.DrawAdditive(0, 0, &keyed), 1);
    EXPECT_EQ(screen.pixels, std::vector<uint16_t>(9, 0x1111));
}

// The kernels move 16-bit words: pictures of one byte a pixel (0x04, 0x08,
// and 0x18, whose 0x08 decides its depth) and 24-bit ones are left alone.
TEST(BlitFrame, ImagesThatAreNot16BitDrawNothing) {
    for (const uint8_t mode : std::vector<uint8_t>{0x04, 0x08, 0x18, 0x09, IMAGE_RGB24}) {
        SCOPED_TRACE(testing::Message() << "mode 0x" << std::hex << int(mode));
        ScreenFixture screen(8, 8, ScreenFixture::k565, 0, 0x1111);
        Image image(8, 8, mode);
        ASSERT_NE(image.data, nullptr);
        for (auto draw : {Tarvo.DrawSolid, Tarvo.DrawTransparent, Tarvo.DrawAlpha, Tarvo.DrawAdditive})
            EXPECT_EQ(draw(0, 0, &image), 1);
        EXPECT_EQ(Tarvo.DrawTiled(0, 0, &image), 1);
        EXPECT_EQ(screen.pixels, std::vector<uint16_t>(64, 0x1111));
    }
}

// Where a 3 x 2 image with words 1..6 lands on a 5 x 4 screen (0 = untouched)
// with the clip rectangle (1, 1)-(3, 2).
struct ClipCase {
    const char* name;
    int x, y;
    std::vector<uint16_t> expected;
};

TEST(BlitFrame, ClipsToTheClipRectangle) {
    const ClipCase cases[] = {
        {"inside", 1, 1, {0, 0, 0, 0, 0, /**/ 0, 1, 2, 3, 0, /**/ 0, 4, 5, 6, 0, /**/ 0, 0, 0, 0, 0}},
        {"over top left", 0, 0, {0, 0, 0, 0, 0, /**/ 0, 5, 6, 0, 0, /**/ 0, 0, 0, 0, 0, /**/ 0, 0, 0, 0, 0}},
        {"right column on clipLeft", -1, 1, {0,      0, 0, 0, 0, /**/ 0, 3, 0, 0, 0,
                                             /**/ 0, 6, 0, 0, 0, /**/ 0, 0, 0, 0, 0}},
        {"left column past clipRight", 4, 1, std::vector<uint16_t>(20, 0)},
        {"over bottom right", 3, 2, {0, 0, 0, 0, 0, /**/ 0, 0, 0, 0, 0, /**/ 0, 0, 0, 1, 0, /**/ 0, 0, 0, 0, 0}},
        {"wholly below", 1, 3, std::vector<uint16_t>(20, 0)},
        {"left column on clipRight", 3, 1, {0, 0, 0, 0, 0, /**/ 0, 0, 0, 1, 0, /**/ 0, 0, 0, 4, 0, /**/ 0, 0, 0, 0, 0}},
        {"bottom row on clipTop", 1, 0, {0, 0, 0, 0, 0, /**/ 0, 4, 5, 6, 0, /**/ 0, 0, 0, 0, 0, /**/ 0, 0, 0, 0, 0}},
        {"top row on clipBottom", 1, 2, {0, 0, 0, 0, 0, /**/ 0, 0, 0, 0, 0, /**/ 0, 1, 2, 3, 0, /**/ 0, 0, 0, 0, 0}},
        {"wholly above", 1, -1, std::vector<uint16_t>(20, 0)},
        {"wholly left", -2, 1, std::vector<uint16_t>(20, 0)},
        // Far positions must not wrap around into view.
        {"near int max", INT_MAX - 1, INT_MAX - 1, std::vector<uint16_t>(20, 0)},
        {"near int min", INT_MIN, INT_MIN, std::vector<uint16_t>(20, 0)},
    };
    for (const ClipCase& c : cases) {
        SCOPED_TRACE(c.name);
        // Opaque alpha on a black screen: every member copies the words.
        for (DrawImageFn draw : {&DrawSolid16, &DrawTransparent16, &DrawAlpha16, &DrawAdditive16}) {
            ScreenFixture screen(5, 4);
            Tarvo.SetClipRect(1, 1, 3, 2);
            Image image;
            Make16(image, 3, 2, {1, 2, 3, 4, 5, 6}, {0, 0, 0, 0, 0, 0});
            EXPECT_EQ(draw(c.x, c.y, &image), 1);
            EXPECT_EQ(screen.pixels, c.expected);
        }
    }
}

TEST(BlitSolid, OnePixelWideImageMovesOneWordARow) {
    ScreenFixture screen(3, 3, ScreenFixture::k565, 0, 0x7777);
    Image image;
    Make16(image, 1, 3, {0xA, 0xB, 0xC});
    Tarvo.DrawSolid(1, 0, &image);
    EXPECT_EQ(screen.pixels, (std::vector<uint16_t>{0x7777, 0xA, 0x7777, 0x7777, 0xB, 0x7777, 0x7777, 0xC, 0x7777}));
}

// One fast kernel set at a time; one this processor cannot run is skipped,
// and said so.
class BlitFastPaths : public testing::TestWithParam<BlitLevel> {
protected:
    void SetUp() override {
        if (BlitKernelsFor(GetParam()) == nullptr) GTEST_SKIP() << "this processor lacks the level's instructions";
    }
    void TearDown() override { RestoreBestBlitLevel(); }
};

// Each fast kernel set against the scalar rule: random screens, images of
// random sizes with keys and alpha 0 / 255 well represented, random positions
// that hang over every edge, both layouts, a clip rectangle inside a padded
// screen.
TEST_P(BlitFastPaths, MatchTheScalarRuleBitForBit) {
    const BlitLevel level = GetParam();
    const uint32_t seed = 20261210;
    std::mt19937 rng(seed);
    auto word = [&] {
        switch (rng() % 4) {
            case 0:
                return uint16_t{0};
            case 1:
                return uint16_t{0xFFFF};
            default:
                return static_cast<uint16_t>(rng());
        }
    };
    auto alphaByte = [&] {
        switch (rng() % 4) {
            case 0:
                return uint8_t{0};
            case 1:
                return uint8_t{255};
            default:
                return static_cast<uint8_t>(rng());
        }
    };
    for (int round = 0; round < 400; ++round) {
        const auto layout = round % 2 ? ScreenFixture::k565 : ScreenFixture::k555;
        const int sw = 40 + static_cast<int>(rng() % 30), sh = 20 + static_cast<int>(rng() % 10);
        const int w = 1 + static_cast<int>(rng() % 50), h = 1 + static_cast<int>(rng() % 6);
        Image image(w, h, IMAGE_RGB16 | IMAGE_ALPHA);
        for (int i = 0; i < w * h; ++i) {
            image.Pixels16()[i] = word();
            image.alpha[i] = alphaByte();
        }
        std::vector<uint16_t> start(static_cast<size_t>((sw + 7) * sh));
        for (uint16_t& p : start) p = word();
        const int x = static_cast<int>(rng() % static_cast<unsigned>(sw + 2 * w)) - w;
        const int y = static_cast<int>(rng() % static_cast<unsigned>(sh + 2 * h)) - h;
        const int member = static_cast<int>(rng() % 4);
        std::vector<uint16_t> results[2];
        for (int pass = 0; pass < 2; ++pass) {
            ASSERT_TRUE(SetBlitLevel(pass == 0 ? BlitLevel::kScalar : level));
            ScreenFixture screen(sw, sh, layout, 7);
            screen.pixels = start;
            Tarvo.SetClipRect(2, 1, sw - 3, sh - 2);
            DrawImageFn draws[] = {Tarvo.DrawSolid, Tarvo.DrawTransparent, Tarvo.DrawAlpha, Tarvo.DrawAdditive};
            draws[member](x, y, &image);
            results[pass] = screen.pixels;
        }
        if (results[0] != results[1]) {
            size_t i = 0;
            while (results[0][i] == results[1][i]) ++i;
            FAIL() << "seed " << seed << " round " << round << " level " << BlitKernelsFor(level)->name << " member "
                   << member << " image " << w << "x" << h << " at " << x << "," << y << ": first difference at pixel "
                   << i << " scalar " << results[0][i] << " fast " << results[1][i];
        }
    }
}

std::string LevelName(const testing::TestParamInfo<BlitLevel>& info) {
    static const char* const kNames[] = {"Scalar", "Sse2", "Avx2", "Avx512"};
    return kNames[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Levels, BlitFastPaths, testing::Values(BlitLevel::kSse2, BlitLevel::kAvx2, BlitLevel::kAvx512),
                         LevelName);

}  // namespace
