// A scale asked for fits when the scaled client area lies whole within the
// usable desktop; a pixel more in either direction is refused.
#include <gtest/gtest.h>

#include "platform/window_scale.h"

namespace {

TEST(WindowScaleFits, WholeClientAreaWithinTheUsableDesktop) {
    struct Case {
        int scale, usableWidth, usableHeight;
        bool fits;
    };
    const Case cases[] = {
        {1, 1280, 1024, true},  {2, 1280, 1024, false},   // 1510 x 1022
        {3, 1920, 1080, false},                           // 2265 x 1533
        {2, 1920, 1080, true},  {2, 1510, 1022, true},    // exactly
        {2, 1509, 1022, false}, {2, 1510, 1021, false},   // a pixel short either way
        {1, 700, 500, false},   {8, 100000, 5000, true},  // 6040 x 4088
        {8, 0, 0, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::WindowScaleFits(c.scale, c.usableWidth, c.usableHeight, 755, 511), c.fits)
            << c.scale << " on " << c.usableWidth << " x " << c.usableHeight;
    }
}

}  // namespace
