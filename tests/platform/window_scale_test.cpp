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

}  // namespace
