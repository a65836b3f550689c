#include "platform/window_scale.h"

#include <gtest/gtest.h>

namespace {

TEST(WindowScale, LargestWholeFactorInThreeQuartersOfTheDesktop) {
    struct Case {
        int usableWidth, usableHeight, frameWidth, frameHeight, expected;
    };
    const Case cases[] = {
        {1280, 1024, 0, 0, 1},     {1920, 1080, 0, 0, 1}, {2560, 1440, 0, 0, 2},
        {3840, 2160, 0, 0, 3},     {5120, 2880, 0, 0, 4},  // 5 x 511 = 2555 passes 2160
        {2560, 1440, 0, 60, 1},                            // a tall frame: 1022 + 60 passes 1080
        {2013, 1363, 0, 0, 1},                             // 1510 is just over 3/4 of 2013
        {2014, 1363, 0, 0, 2},      // ... and within 3/4 of 2014 (1510.5), 1022 of 1363 (1022.25)
        {800, 600, 0, 0, 1},        // smaller than the window: still 1
        {100000, 100000, 0, 0, 8},  // never past the largest scale
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::ChooseWindowScale(c.usableWidth, c.usableHeight, 755, 511, c.frameWidth, c.frameHeight),
                  c.expected)
            << c.usableWidth << " x " << c.usableHeight;
    }
}

TEST(PicturePlace, LargestWholeScaleThatFitsCentred) {
    struct Case {
        int clientWidth, clientHeight, scale, x, y;
    };
    const Case cases[] = {
        {755, 511, 1, 0, 0},        // the window at 1x: the picture fills it
        {1920, 1080, 2, 205, 29},   // full screen on the most common monitor
        {3840, 2160, 4, 410, 58},   // the height decides: 5 x 511 passes 2160
        {1600, 1100, 2, 45, 39},    // a window dragged larger
        {1509, 1100, 1, 377, 294},  // one pixel short of 2x across
        {1510, 1021, 1, 377, 255},  // one pixel short of 2x down
        {700, 500, 1, -27, -5},     // smaller than 1x: still 1, centred
    };
    for (const Case& c : cases) {
        const platform::PicturePlace place = platform::PlacePicture(c.clientWidth, c.clientHeight, 755, 511);
        EXPECT_EQ(place.scale, c.scale) << c.clientWidth << " x " << c.clientHeight;
        EXPECT_EQ(place.x, c.x) << c.clientWidth << " x " << c.clientHeight;
        EXPECT_EQ(place.y, c.y) << c.clientWidth << " x " << c.clientHeight;
    }
}

TEST(PicturePlace, MousePositionsAreThePicturesPixelsClampedToItsEdge) {
    const platform::PicturePlace fullHd{2, 205, 29};
    const platform::PicturePlace small{1, -27, -5};
    struct Case {
        platform::PicturePlace place;
        bool vertical;
        int client, expected;
    };
    const Case cases[] = {
        {fullHd, false, 0, 0},   {fullHd, false, 204, 0},    {fullHd, false, 205, 0},    {fullHd, false, 206, 0},
        {fullHd, false, 207, 1}, {fullHd, false, 1714, 754}, {fullHd, false, 1715, 754}, {fullHd, false, 1919, 754},
        {fullHd, true, 28, 0},   {fullHd, true, 31, 1},      {fullHd, true, 1050, 510},  {fullHd, true, 1079, 510},
        {small, false, 0, 27},   {small, true, 499, 504},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::ToPicturePixel(c.client, c.place, c.vertical, c.vertical ? 511 : 755), c.expected)
            << (c.vertical ? "y " : "x ") << c.client << " at scale " << c.place.scale;
    }
}

}  // namespace
