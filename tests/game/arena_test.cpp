#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "tests/game/game_fixture.h"

namespace {

class ArenaTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        arena.Setup(&viewX, &viewY);
    }
    float viewX = 0, viewY = 0;
    Arena arena;
};

TEST_F(ArenaTest, GridHasTheBorderAndTwoInnerWalls) {
    int walls = 0;
    for (int c = 0; c < kArenaColumns; ++c)
        for (int r = 0; r < kArenaRows; ++r) {
            const bool border = c == 0 || c == 39 || r == 0 || r == 29;
            const bool inner = (c == 10 || c == 30) && r >= 10 && r <= 19;
            EXPECT_EQ(arena.grid[c * 30 + r], (border || inner) ? 1 : 0) << c << "," << r;
            walls += arena.grid[c * 30 + r];
        }
    EXPECT_EQ(walls, 136 + 20);
    // Stored column by column: (10, 12) is byte 312, (12, 10) is free.
    EXPECT_EQ(arena.grid[312], 1);
    EXPECT_EQ(arena.grid[12 * 30 + 10], 0);
}

TEST_F(ArenaTest, WallTestLooksOneCellAheadOnEachAxis) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* name;
        float x, y, vx, vy;
        int expected;
    };
    const Case cases[] = {
        {"column 38 moving right", 38 * 42 + 5, 630, 3, 0, 1},
        {"column 38 moving left", 38 * 42 + 5, 630, -3, 0, 0},
        {"cell (9,15) right into the inner wall", 9 * 42 + 5, 15 * 42 + 5, 1, 0, 1},
        {"cell (9,9) right and down: no diagonal", 9 * 42 + 5, 9 * 42 + 5, 1, 1, 0},
        {"at rest in a free cell", 840, 630, 0, 0, 0},
        {"at rest in a wall cell", 10 * 42 + 5, 15 * 42 + 5, 0, 0, 3},
        {"row 1 moving up", 840, 42 + 1, 0, -1, 2},
        {"both axes blocked in a corner", 42 + 1, 42 + 1, -1, -1, 3},
        {"x 41.99 is column 0, a wall", 41.99f, 630, 0, 0, 3},
        {"x 42 is column 1", 42, 630, 0, 0, 0},
        {"x 42 moving left sees column 0", 42, 630, -0.5f, 0, 1},
        {"not a number counts as negative", 42, 630, nan, 0, 1},
        {"outside the grid counts as wall", -100, 630, 1, 0, 3},
        {"far outside the grid", 1e30f, -1e30f, 0, 0, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(WallTest(arena.grid, c.x, c.y, c.vx, c.vy), c.expected);
    }
}

TEST_F(ArenaTest, BounceFlipsTowardTheWallOnceAndEnds) {
    float vx = 4, vy = 0;
    BounceOffWalls(arena.grid, 38 * 42 + 5, 630, vx, vy);
    EXPECT_EQ(vx, 4 * -0.7f);  // about -2.8
    EXPECT_EQ(vy, 0.0f);
    // Both axes at once.
    vx = -3, vy = -2;
    BounceOffWalls(arena.grid, 42 + 1, 42 + 1, vx, vy);
    EXPECT_EQ(vx, -3 * -0.7f);
    EXPECT_EQ(vy, -2 * -0.7f);
}

// The bounce as first written, with no bound: a reference for ships that are
// not inside a wall, where it always ends.
void UnboundedBounce(const uint8_t* grid, float x, float y, float& vx, float& vy) {
    for (int guard = 0; guard < 1000000; ++guard) {
        const int t = WallTest(grid, x, y, vx, vy);
        if (t & 1) vx = vx * -0.7f;
        if (t & 2) vy = vy * -0.7f;
        if (WallTest(grid, x, y, vx, vy) == 0) return;
    }
    FAIL() << "reference bounce did not end";
}

TEST_F(ArenaTest, BounceIsTheUnboundedRuleOutsideWalls) {
    std::mt19937 random(20261210);
    std::uniform_real_distribution<float> position(0, 1680), speed(-25, 25);
    int tested = 0;
    while (tested < 20000) {
        const float x = position(random), y = position(random) * 0.75f;
        if (IsWallCell(arena.grid, static_cast<int>(x / 42), static_cast<int>(y / 42))) continue;
        float vx = speed(random), vy = speed(random);
        if (tested % 3 == 0) vx = 0;
        float rx = vx, ry = vy;
        UnboundedBounce(arena.grid, x, y, rx, ry);
        BounceOffWalls(arena.grid, x, y, vx, vy);
        ASSERT_EQ(vx, rx) << x << "," << y;
        ASSERT_EQ(vy, ry) << x << "," << y;
        ++tested;
    }
}

TEST_F(ArenaTest, BounceInsideAWallCellEnds) {
    struct Case {
        const char* name;
        float x, y, vx, vy;
    };
    const float tiny = std::numeric_limits<float>::denorm_min();
    const Case cases[] = {
        {"border row, at rest", 5 * 42 + 5, 5, 0, 0},
        {"border row, moving along it", 5 * 42 + 5, 5, 3, 0},
        {"border row, moving out", 5 * 42 + 5, 5, 1, -4},
        {"border corner", 5, 5, -2, -2},
        {"inner wall, moving down it", 10 * 42 + 5, 15 * 42 + 5, 0, 4},
        {"inner wall, diagonal", 30 * 42 + 5, 12 * 42 + 5, 2.5f, -1},
        {"inner wall, smallest subnormal", 10 * 42 + 5, 15 * 42 + 5, 0, tiny},
        {"inner wall, huge", 10 * 42 + 5, 15 * 42 + 5, 3e38f, -3e38f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        float vx = c.vx, vy = c.vy;
        BounceOffWalls(arena.grid, c.x, c.y, vx, vy);
        EXPECT_FALSE(std::isnan(vx) || std::isnan(vy));
        // Each component either stood still or shrank to nearly nothing.
        EXPECT_LE(std::fabs(vx), c.vx == 0 ? 0.0f : std::fabs(c.vx));
        EXPECT_LE(std::fabs(vy), c.vy == 0 ? 0.0f : std::fabs(c.vy));
    }
    // At rest in a wall cell: one flip (0 becomes -0), then nothing can change.
    float vx = 0, vy = 0;
    BounceOffWalls(arena.grid, 5 * 42 + 5, 5, vx, vy);
    EXPECT_TRUE(std::signbit(vx));
    EXPECT_TRUE(std::signbit(vy));
}

TEST_F(ArenaTest, DrawPutsEachWallAtItsCornerPlusTheView) {
    StartEngine();
    arena.Setup(&viewX, &viewY);  // again, now with the screen's pixel format
    viewX = -400;                 // column 10 at screen x 20
    viewY = -400;                 // row 10 at screen y 20
    ASSERT_TRUE(Tarvo.BeginDraw());
    Tarvo.ClearScreen();
    arena.Draw();
    // A wall cell's picture, keyed: its middle pixel lands 21 pixels in.
    const uint16_t middle = arena.wall.Pixels16()[21 * 42 + 21];
    ASSERT_NE(middle, 0);
    EXPECT_EQ(Tarvo.backBuffer[Tarvo.rowOffset[20 + 21] + 20 + 21], middle);
    // Column 9 is free: nothing left of the wall.
    EXPECT_EQ(Tarvo.backBuffer[Tarvo.rowOffset[20 + 21] + 10], 0);
    Tarvo.EndDraw();
}

TEST_F(ArenaTest, DrawShowsExactlyWhatDrawingEveryCellWouldShow) {
    StartEngine();
    arena.Setup(&viewX, &viewY);
    std::mt19937 random(42);
    std::uniform_real_distribution<float> view(-1800, 800);
    std::vector<float> views = {0, -442, -354, 41.99f, -1679.5f, -1260.25f, 755.5f, 511, -2000, 900};
    for (int i = 0; i < 60; ++i) views.push_back(view(random));
    const size_t words = static_cast<size_t>(Tarvo.rowOffset[511] + 756);
    // The drawn wall picture, then pictures of other sizes: the artist may
    // draw a wall larger than its cell, reaching far into its neighbours.
    struct Size {
        int width, height;
    };
    for (const Size size : {Size{0, 0}, Size{150, 150}, Size{127, 43}, Size{43, 127}, Size{1, 1}}) {
        if (size.width != 0) {
            arena.wall.Allocate(size.width, size.height, arena.wall.mode);
            uint16_t* pixels = arena.wall.Pixels16();
            // Keyed, with transparent holes: every seventh pixel is the key.
            for (int i = 0; i < size.width * size.height; ++i)
                pixels[i] = i % 7 == 0 ? 0 : static_cast<uint16_t>(1 + i % 65000);
        }
        for (size_t i = 0; i + 1 < views.size(); ++i) {
            viewX = views[i];
            viewY = views[i + 1];
            SCOPED_TRACE(testing::Message()
                         << arena.wall.width << " x " << arena.wall.height << " at " << viewX << ", " << viewY);
            ASSERT_TRUE(Tarvo.BeginDraw());
            Tarvo.ClearScreen();
            for (int c = 0; c < kArenaColumns; ++c)
                for (int r = 0; r < kArenaRows; ++r)
                    if (arena.grid[c * kArenaRows + r] != 0)
                        Tarvo.DrawTransparent(static_cast<int>(kCellSize * c + viewX),
                                              static_cast<int>(kCellSize * r + viewY), &arena.wall);
            const std::vector<uint16_t> everyCell(Tarvo.backBuffer, Tarvo.backBuffer + words);
            Tarvo.ClearScreen();
            arena.Draw();
            const bool same = std::equal(everyCell.begin(), everyCell.end(), Tarvo.backBuffer);
            Tarvo.EndDraw();
            ASSERT_TRUE(same);
        }
    }
}

}  // namespace
