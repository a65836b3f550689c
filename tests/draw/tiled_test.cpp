#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "draw/blit.h"
#include "draw/blit_kernels.h"
#include "engine/windows_dx.h"
#include "image/image.h"
#include "tests/support/screen_fixture.h"

namespace {

struct IndexCase {
    int v, size;
    int index, offset;
};

TEST(TileIndex, SplitsEachAxisIntoTileAndOffset) {
    const IndexCase cases[] = {
        {0, 64, 0, 0},
        {100, 64, 1, 36},
        {63, 64, 0, 63},
        {64, 64, 1, 0},
        {-10, 64, -1, 54},
        {-64, 64, -2, 64},
        {-65, 64, -2, 63},
        {-1, 1, -2, 1},
        // The index one lower would pass INT_MIN: the same grid line as (v, 0).
        {INT_MIN, 1, INT_MIN, 0},
        {INT_MIN, 2, INT_MIN / 2 - 1, 2},
        {INT_MAX, 1, INT_MAX, 0},
    };
    for (const IndexCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.v << " / " << c.size);
        int column = 99, row = 99, offsetX = 99, offsetY = 99;
        WindowsDX::TileIndex(c.v, 7, c.size, 5, column, row, offsetX, offsetY);
        EXPECT_EQ(column, c.index);
        EXPECT_EQ(offsetX, c.offset);
        EXPECT_EQ(row, 1);
        EXPECT_EQ(offsetY, 2);
        WindowsDX::TileIndex(7, c.v, 5, c.size, column, row, offsetX, offsetY);
        EXPECT_EQ(row, c.index);
        EXPECT_EQ(offsetY, c.offset);
    }
}

// Records every DrawSolid the tiler makes, and draws it.
std::vector<std::pair<int, int>> calls;
int RecordingSolid(int x, int y, Image* image) {
    calls.emplace_back(x, y);
    return DrawSolid16(x, y, image);
}

TEST(DrawTiled, PlacesOneTileACallFromTheOffset) {
    ScreenFixture screen(756, 512, ScreenFixture::k565, 12);  // pitch 768
    Image tile(64, 64, IMAGE_RGB16);
    Tarvo.DrawSolid = &RecordingSolid;
    calls.clear();
    EXPECT_EQ(Tarvo.DrawTiled(0, 0, &tile), 1);
    ASSERT_EQ(calls.size(), 13u * 9u) << "the end point 768 adds a 13th column";
    EXPECT_EQ(calls[0], std::make_pair(0, 0));
    EXPECT_EQ(calls[12], std::make_pair(768, 0));
    EXPECT_EQ(calls[13], std::make_pair(0, 64));

    calls.clear();
    Tarvo.DrawTiled(100, -10, &tile);
    EXPECT_EQ(calls[0], std::make_pair(-36, -54));
    EXPECT_EQ(calls[1], std::make_pair(28, -54));

    calls.clear();
    Tarvo.DrawTiled(-64, 0, &tile);
    EXPECT_EQ(calls[0], std::make_pair(-64, 0)) << "a wholly clipped column";
    EXPECT_EQ(calls[1], std::make_pair(0, 0));
    EXPECT_EQ(calls[2], std::make_pair(64, 0));
}

// A 3 x 2 tile (words 1..6) over a 7 x 5 screen from grid position (4, -3):
// grid (gx, gy) shows tile pixel (gx mod 3, gy mod 2), here from (1, 1).
TEST(DrawTiled, CoversTheScreenFromTheGridOffset) {
    const std::vector<uint16_t> expected = {
        5, 6, 4, 5, 6, 4, 5,  //
        2, 3, 1, 2, 3, 1, 2,  //
        5, 6, 4, 5, 6, 4, 5,  //
        2, 3, 1, 2, 3, 1, 2,  //
        5, 6, 4, 5, 6, 4, 5,  //
    };
    for (bool direct : {true, false}) {
        SCOPED_TRACE(direct ? "row fill" : "one call a tile");
        ScreenFixture screen(7, 5);
        if (!direct) Tarvo.DrawSolid = &RecordingSolid;
        Image tile(3, 2, IMAGE_RGB16);
        for (int i = 0; i < 6; ++i) tile.Pixels16()[i] = static_cast<uint16_t>(i + 1);
        Tarvo.DrawTiled(4, -3, &tile);
        EXPECT_EQ(screen.pixels, expected);
    }
}

// Grid positions at the ends of int, small tiles: screen pixel (sx, sy)
// shows tile pixel ((x + sx) mod w, (y + sy) mod h), through the row fill and
// through one call a tile alike.
TEST(DrawTiled, GridPositionsAtTheEndsOfIntStillCoverTheScreen) {
    const int positions[][2] = {
        {INT_MIN, 0}, {0, INT_MIN}, {INT_MIN + 1, INT_MIN}, {INT_MAX, INT_MAX}, {INT_MAX - 3, -5}};
    for (const auto& at : positions) {
        for (int size : {1, 2, 3}) {
            for (bool rowFill : {true, false}) {
                SCOPED_TRACE(testing::Message() << at[0] << ", " << at[1] << " tile " << size << "x" << size
                                                << (rowFill ? " row fill" : " one call a tile"));
                ScreenFixture screen(6, 4, ScreenFixture::k565, 2);
                Tarvo.SetClipRect(0, 0, 5, 3);
                Image tile(size, size, IMAGE_RGB16);
                for (int i = 0; i < size * size; ++i) tile.Pixels16()[i] = static_cast<uint16_t>(0x100 + i);
                if (!rowFill) Tarvo.DrawSolid = &RecordingSolid;
                EXPECT_EQ(Tarvo.DrawTiled(at[0], at[1], &tile), 1);
                for (int sy = 0; sy < 4; ++sy)
                    for (int sx = 0; sx < 6; ++sx) {
                        const int64_t gx = ((static_cast<int64_t>(at[0]) + sx) % size + size) % size;
                        const int64_t gy = ((static_cast<int64_t>(at[1]) + sy) % size + size) % size;
                        ASSERT_EQ(screen.At(sx, sy), 0x100 + gy * size + gx) << sx << "," << sy;
                    }
            }
        }
    }
}

TEST(DrawTiled, TileWithoutSizeOrPixelsDrawsNothing) {
    ScreenFixture screen(8, 4, ScreenFixture::k565, 0, 0x4444);
    Image empty;
    Image flat(5, 0, IMAGE_RGB16);
    Image narrow(0, 5, IMAGE_RGB16);
    for (Image* tile : {&empty, &flat, &narrow}) EXPECT_EQ(Tarvo.DrawTiled(3, 3, tile), 1);
    EXPECT_EQ(screen.pixels, std::vector<uint16_t>(32, 0x4444));
}

// One kernel level at a time; one this processor cannot run is skipped, and
// said so.
class DrawTiledLevels : public testing::TestWithParam<BlitLevel> {
protected:
    void SetUp() override {
        if (BlitKernelsFor(GetParam()) == nullptr) GTEST_SKIP() << "this processor lacks the level's instructions";
    }
    void TearDown() override { RestoreBestBlitLevel(); }
};

// The row fill against one DrawSolid a tile, random tile sizes and offsets,
// a clip rectangle inside a padded screen.
TEST_P(DrawTiledLevels, RowFillMatchesOneCallATile) {
    const uint32_t seed = 7331;
    std::mt19937 rng(seed);
    for (int round = 0; round < 300; ++round) {
        const int tw = 1 + static_cast<int>(rng() % 40), th = 1 + static_cast<int>(rng() % 9);
        Image tile(tw, th, IMAGE_RGB16);
        for (int i = 0; i < tw * th; ++i) tile.Pixels16()[i] = static_cast<uint16_t>(rng());
        const int x = static_cast<int>(rng() % 400) - 200, y = static_cast<int>(rng() % 400) - 200;
        const int pad = static_cast<int>(rng() % 20);
        RestoreBestBlitLevel();
        ScreenFixture reference(61, 23, ScreenFixture::k565, pad, 0x1357);
        Tarvo.SetClipRect(3, 2, 55, 20);
        Tarvo.DrawSolid = &RecordingSolid;
        Tarvo.DrawTiled(x, y, &tile);
        const std::vector<uint16_t> expected = reference.pixels;
        ASSERT_TRUE(SetBlitLevel(GetParam()));
        ScreenFixture screen(61, 23, ScreenFixture::k565, pad, 0x1357);
        Tarvo.SetClipRect(3, 2, 55, 20);
        Tarvo.DrawTiled(x, y, &tile);
        ASSERT_EQ(screen.pixels, expected)
            << "seed " << seed << " round " << round << " level " << BlitKernelsFor(GetParam())->name << " tile " << tw
            << "x" << th << " at " << x << "," << y;
    }
}

std::string LevelName(const testing::TestParamInfo<BlitLevel>& info) {
    static const char* const kNames[] = {"Scalar", "Sse2", "Avx2", "Avx512"};
    return kNames[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(, DrawTiledLevels,
                         testing::Values(BlitLevel::kScalar, BlitLevel::kSse2, BlitLevel::kAvx2, BlitLevel::kAvx512),
                         LevelName);

}  // namespace
