#include "base/pixel_format.h"

#include <gtest/gtest.h>

namespace {

// Every 5-6-5 word becomes 8-bit colour by one rule: bit replication, so the
// example's pictures, the replay's TIFF files and the page agree.
TEST(Rgb8From565, RepeatsEachChannelsTopBitsBelowIt) {
    struct Case {
        uint16_t word;
        uint8_t red, green, blue;
    };
    const Case cases[] = {
        {0x0000, 0, 0, 0},       {0xFFFF, 255, 255, 255},
        {0x2000, 33, 0, 0},       // red 4 of 31: 33, where 4 * 255 / 31 would say 32
        {0x8410, 132, 130, 132},  // each channel's top bit alone
        {0x001F, 0, 0, 255},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.word);
        uint8_t r = 1, g = 1, b = 1;
        Rgb8From565(c.word, r, g, b);
        EXPECT_EQ(r, c.red);
        EXPECT_EQ(g, c.green);
        EXPECT_EQ(b, c.blue);
    }
    EXPECT_EQ(WidenChannel(31, 5), 255);  // a 5-5-5 channel by the same rule
    EXPECT_EQ(WidenChannel(7, 0), 0);
}

}  // namespace
