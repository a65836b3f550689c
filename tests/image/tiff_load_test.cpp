// LoadTiff: the reader, then the conversion to the screen format with the
// alpha mode asked for, also when the reader left the image empty.
#include <gtest/gtest.h>

#include "base/pixel_format.h"
#include "image/image.h"
#include "image/tiff_image.h"
#include "platform/platform.h"
#include "platform/scripted/scripted_platform.h"
#include "tests/image/tiff_builder.h"

namespace {

class TiffLoadTest : public testing::Test {
protected:
    void SetUp() override {
        previous = &platform::Current();
        platform::SetCurrent(&boxes);
        SetPixelFormat(0xF800, 0x07E0, 0x001F);
    }
    void TearDown() override { platform::SetCurrent(previous); }

    platform::ScriptedPlatform boxes;
    platform::Platform* previous = nullptr;
};

// Opaque black, a fully transparent pixel, and white at alpha 1, on 5-6-5.
TEST_F(TiffLoadTest, AlphaModeOneKeysTheTransparentPixels) {
    TiffBuilder()
        .Basic(3, 1, {8, 8, 8, 8}, 2)
        .Short(338, 2)
        .Data({0, 0, 0, 255, 255, 255, 255, 0, 255, 255, 255, 1})
        .Write("t.tif");
    Image image;
    TiffImage tiff;
    tiff.LoadTiff("t.tif", &image, 1);
    ASSERT_NE(image.data, nullptr);
    EXPECT_EQ(image.mode, 0x50);
    EXPECT_EQ(image.alpha, nullptr);
    EXPECT_EQ(image.Pixels16()[0], 1) << "opaque black is not the key";
    EXPECT_EQ(image.Pixels16()[1], 0);
    EXPECT_EQ(image.Pixels16()[2], 0xFFFF);
}

TEST_F(TiffLoadTest, AnEmptyLoadStillBecomesAnEmpty16BitImage) {
    Image image;
    TiffImage tiff;
    tiff.LoadTiff("missing.tif", &image, 0);
    EXPECT_EQ(boxes.messageBoxes.size(), 1u);
    EXPECT_EQ(image.data, nullptr);
    EXPECT_EQ(image.mode, IMAGE_RGB16);
}

}  // namespace
