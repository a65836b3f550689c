#include <gtest/gtest.h>

#include "image/image.h"
#include "tests/support/screen_fixture.h"

namespace {

// An image header without pixels is all ClipImage looks at.
struct SizedImage : Image {
    SizedImage(int w, int h) {
        width = w;
        height = h;
    }
};

struct ClipCase {
    const char* name;
    int clipLeft, clipTop, clipRight, clipBottom;
    int x, y, w, h;
    bool visible;
    int dstOffset, srcOffset, visibleWidth, visibleHeight;
};

TEST(ClipImage, CutsToTheClipRectangle) {
    // Screen 640 wide (pitch 640).
    const ClipCase cases[] = {
        {"inside", 0, 0, 639, 479, 10, 20, 5, 6, true, 20 * 640 + 10, 0, 5, 6},
        {"right column on clipLeft", 100, 0, 639, 479, 96, 0, 5, 5, true, 100, 4, 1, 5},
        {"left column past clipRight", 0, 0, 99, 479, 100, 0, 5, 5, false, 0, 0, 5, 5},
        {"over top-left corner", 10, 20, 639, 479, 7, 18, 8, 8, true, 20 * 640 + 10, 2 * 8 + 3, 5, 6},
        {"larger on all sides", 100, 50, 199, 149, 0, 0, 300, 300, true, 50 * 640 + 100, 50 * 300 + 100, 100, 100},
        {"over bottom-right corner", 0, 0, 639, 479, 636, 477, 8, 8, true, 477 * 640 + 636, 0, 4, 3},
        {"wholly below", 0, 0, 639, 479, 0, 480, 8, 8, false, 0, 0, 8, 8},
        {"wholly left", 0, 0, 639, 479, -8, 0, 8, 8, false, 0, 0, 8, 8},
        // Far positions must not wrap around into view.
        {"near int max", 0, 0, 639, 479, 2147483600, 2147483600, 100, 100, false, 0, 0, 100, 100},
        {"near int min", 0, 0, 639, 479, -2147483600, 0, 100, 8, false, 0, 0, 100, 8},
    };
    ScreenFixture screen(640, 480);
    for (const ClipCase& c : cases) {
        SCOPED_TRACE(c.name);
        Tarvo.SetClipRect(c.clipLeft, c.clipTop, c.clipRight, c.clipBottom);
        SizedImage image(c.w, c.h);
        int dst = 0, src = 0, vw = -1, vh = -1;
        EXPECT_EQ(Tarvo.ClipImage(c.x, c.y, &image, dst, src, vw, vh), c.visible);
        EXPECT_EQ(vw, c.visibleWidth);
        EXPECT_EQ(vh, c.visibleHeight);
        if (c.visible) {
            EXPECT_EQ(dst, c.dstOffset);
            EXPECT_EQ(src, c.srcOffset);
        } else {
            // Rejection leaves the offsets alone.
            EXPECT_EQ(dst, 0);
            EXPECT_EQ(src, 0);
        }
    }
}

TEST(FillRect, PacksFiveFiveFiveWhateverTheScreen) {
    ScreenFixture screen(8, 3, ScreenFixture::k565, 2, 0xAAAA);
    Tarvo.FillRect(1, 0, 3, 1, 255, 255, 255);  // odd count: 3 pixels a row
    Tarvo.FillRect(5, 2, 5, 2, 7, 7, 7);
    Tarvo.FillRect(6, 0, 4, 2, 255, 0, 0);  // x1 > x2: nothing on any row
    Tarvo.FillRect(0, 2, 1, 1, 255, 0, 0);  // y1 > y2: nothing
    const uint16_t o = 0xAAAA, w = 0x7FFF;
    const uint16_t expected[3][10] = {
        {o, w, w, w, o, o, o, o, o, o},
        {o, w, w, w, o, o, o, o, o, o},
        {o, o, o, o, o, 0, o, o, o, o},
    };
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 10; ++x) EXPECT_EQ(screen.At(x, y), expected[y][x]) << x << "," << y;
    Tarvo.FillRect(0, 0, 0, 0, 0x80, 0x40, 0x20);
    EXPECT_EQ(screen.At(0, 0), (16 << 10) | (8 << 5) | 4);
}

TEST(DrawPixel, WritesFiveFiveFiveWordThroughRowTable) {
    ScreenFixture screen(6, 4, ScreenFixture::k565, 3);
    EXPECT_EQ(Tarvo.DrawPixel(2, 3, 31, 31, 31), 1);
    EXPECT_EQ(screen.At(2, 3), 0x7FFF);
    Tarvo.DrawPixel(0, 1, 1, 2, 3);
    EXPECT_EQ(screen.At(0, 1), 1 * 1024 + 2 * 32 + 3);
}

TEST(FillRectAndDrawPixel, CutAtTheScreensEdgesNotThePitchOrClip) {
    // 4 x 3 with two pixels of row padding: writes past the width land in the
    // padding (or past the buffer), where nothing may change.
    ScreenFixture screen(4, 3, ScreenFixture::k565, 2, 0xAAAA);
    Tarvo.SetClipRect(1, 1, 2, 1);                // the clip rectangle does not cut fills
    Tarvo.FillRect(-3, -2, 4, 3, 255, 255, 255);  // one past the right and bottom
    Tarvo.DrawPixel(4, 0, 1, 1, 1);
    Tarvo.DrawPixel(-1, 1, 1, 1, 1);
    Tarvo.DrawPixel(0, 3, 1, 1, 1);
    Tarvo.DrawPixel(2, -1, 1, 1, 1);
    Tarvo.FillRect(4, 0, 9, 2, 0, 0, 0);   // wholly right of the screen
    Tarvo.FillRect(0, 3, 3, 99, 0, 0, 0);  // wholly below
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(screen.At(x, y), x < 4 ? 0x7FFF : 0xAAAA) << x << "," << y;
    EXPECT_EQ(Tarvo.DrawPixel(3, 2, 1, 2, 3), 1);  // the last pixel is still on the screen
    EXPECT_EQ(screen.At(3, 2), 1 * 1024 + 2 * 32 + 3);
}

TEST(ScreenColor, PacksTopBitsForTheScreensLayout) {
    ScreenFixture screen(1, 1, ScreenFixture::k565);
    EXPECT_EQ(Tarvo.ScreenColor(255, 255, 255), 0xFFFF);
    EXPECT_EQ(Tarvo.ScreenColor(0x80, 0x40, 0x20), (16 << 11) | (16 << 5) | 4);
    ScreenFixture other(1, 1, ScreenFixture::k555);
    EXPECT_EQ(Tarvo.ScreenColor(255, 255, 255), 0x7FFF);
    EXPECT_EQ(Tarvo.ScreenColor(0x80, 0x40, 0x20), (16 << 10) | (8 << 5) | 4);
}

TEST(ClearScreen, ZeroesEveryRowIncludingPadding) {
    ScreenFixture screen(5, 3, ScreenFixture::k555, 1, 0x1234);
    Tarvo.ClearScreen();
    for (uint16_t p : screen.pixels) EXPECT_EQ(p, 0);
}

TEST(SetTextRGB, PacksRedInTheLowByte) {
    ScreenFixture screen(1, 1);
    Tarvo.SetTextRGB(0x112, 0x34, 0x56);
    EXPECT_EQ(Tarvo.textRed, 0x112);
    EXPECT_EQ(Tarvo.textColor, 0x00563412u);
}

TEST(MakeSaturationTable, HoldsClampedSums) {
    ScreenFixture screen(1, 1);
    Tarvo.MakeSaturationTable();
    ASSERT_NE(Tarvo.saturationTable, nullptr);
    EXPECT_EQ(Tarvo.saturationTable[0], 0);
    EXPECT_EQ(Tarvo.saturationTable[3 * 32 + 4], 7);
    EXPECT_EQ(Tarvo.saturationTable[16 * 32 + 15], 31);
    EXPECT_EQ(Tarvo.saturationTable[31 * 32 + 31], 31);
}

TEST(PixelFormat, DerivesShiftsAndBitsFromMasks) {
    SetPixelFormat(0xF800, 0x07E0, 0x001F);
    EXPECT_EQ(redShift, 11);
    EXPECT_EQ(greenShift, 5);
    EXPECT_EQ(blueShift, 0);
    EXPECT_EQ(redBits, 5);
    EXPECT_EQ(greenBits, 6);
    EXPECT_EQ(blueBits, 5);
    SetPixelFormat(0x7C00, 0x03E0, 0x001F);
    EXPECT_EQ(redShift, 10);
    EXPECT_EQ(greenBits, 5);
}

}  // namespace
