#include <vector>

#include "tests/game/game_fixture.h"

namespace {

class HealthTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        arena.Setup(&viewX, &viewY);
        pickup.Setup(&arena, &viewX, &viewY);
    }
    float viewX = 0, viewY = 0;
    Arena arena;
    HealthPickup pickup;
};

TEST_F(HealthTest, PickupWaitsThenIsPlacedOnItsThousandAndSecondUpdate) {
    EXPECT_EQ(pickup.x, 0);
    EXPECT_EQ(pickup.y, 0);
    EXPECT_FALSE(pickup.active);
    pickup.Update();
    EXPECT_EQ(pickup.x, -1500);
    EXPECT_EQ(pickup.y, -1500);
    for (int update = 2; update <= 1001; ++update) pickup.Update();
    EXPECT_TRUE(pickup.active);
    EXPECT_EQ(pickup.counter, 0);
    EXPECT_EQ(pickup.x, -1500);
    pickup.Update();  // the 1002nd
    // The generator's first values 41, 18467 give x 2.05, in the border
    // column, so the next pair 6334, 26500 is taken.
    EXPECT_EQ(pickup.x, 316.632355f);
    EXPECT_EQ(pickup.y, 985.045959f);
    pickup.Update();  // placed: stays
    EXPECT_EQ(pickup.x, 316.632355f);
    EXPECT_EQ(pickup.y, 985.045959f);
}

// Pairs of the generator's values, x from the first and y from the second,
// until one falls in a free cell; the values, worked by hand, are those after
// `drawn` values of a fresh generator.
TEST_F(HealthTest, PickupTakesTheFirstRandomPairInAFreeCell) {
    struct Case {
        int drawn;
        float x, y;
        int nextValue;  // the generator's value after the pick-up's
        const char* rejected;
    };
    const Case cases[] = {
        // 9961, 491: (497.9, 18.3) in row 0; then 2995, 11942.
        {14, 149.718002f, 443.902588f, 4827, "the top border"},
        // 8942, 19264: (447.0, 716.1) in cell (10, 17); then 22648, 27446.
        {67, 1132.15808f, 1020.21021f, 23805, "the left inner wall"},
        // 25721, 17189: (1285.8, 638.9) in cell (30, 15); then 19976, 31329.
        {298, 998.586609f, 1164.54736f, 2368, "the right inner wall"},
        // 4827, 5436: (241.3, 202.1) in the free cell (5, 4), taken at once.
        {18, 241.298447f, 202.064514f, 32391, "nothing"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rejected);
        gameRandom.Reset();
        for (int i = 0; i < c.drawn; ++i) gameRandom.Rand();
        pickup.active = true;
        pickup.x = -1500;
        pickup.Update();
        EXPECT_EQ(pickup.x, c.x);
        EXPECT_EQ(pickup.y, c.y);
        EXPECT_EQ(gameRandom.Rand(), c.nextValue);
    }
}

TEST_F(HealthTest, PickupNeverLandsInAWall) {
    for (int i = 0; i < 2000; ++i) {
        pickup.active = true;
        pickup.x = -1500;
        pickup.Update();
        ASSERT_FALSE(IsWallCell(arena.grid, static_cast<int>(pickup.x / 42), static_cast<int>(pickup.y / 42)))
            << pickup.x << "," << pickup.y;
        ASSERT_GE(pickup.x, 0);
        ASSERT_LE(pickup.x, 1638);
        ASSERT_LE(pickup.y, 1218);
    }
}

// Pieces drawn by one bar on a cleared screen, by the rows they cover.
class HealthBarTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        StartEngine();
        piece.Allocate(40, 4, IMAGE_RGB16);
        for (int i = 0; i < 40 * 4; ++i) piece.Pixels16()[i] = 0x1234;
    }
    // Topmost and bottommost painted rows of column x, -1 when none.
    std::pair<int, int> Span(int x) {
        int top = -1, bottom = -1;
        for (int y = 0; y < 512; ++y)
            if (Tarvo.backBuffer[Tarvo.rowOffset[y] + x] == 0x1234) {
                if (top < 0) top = y;
                bottom = y;
            }
        return {top, bottom};
    }
    Image piece;
};

TEST_F(HealthBarTest, OnePieceForEveryStartedFivePoints) {
    struct Case {
        int health, direction, top, bottom;
    };
    const Case cases[] = {
        {100, -1, 387, 485},                    // the player's 20 pieces, up from 482
        {120, -1, 367, 485},                    // after a pick-up: 24 pieces, up to 367
        {1, -1, 482, 485},                      // 1 to 5 points: one piece
        {0, -1, -1, -1},     {-3, -1, -1, -1},  // a wreck hit again
        {80, 1, 30, 108},                       // blue's 16 pieces, down from 30
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.health);
        ASSERT_TRUE(Tarvo.BeginDraw());
        Tarvo.ClearScreen();
        DrawHealthBar(&piece, c.health, 706, c.direction < 0 ? 482 : 30, c.direction);
        EXPECT_EQ(Span(706), std::make_pair(c.top, c.bottom));
        Tarvo.EndDraw();
    }
}

}  // namespace
