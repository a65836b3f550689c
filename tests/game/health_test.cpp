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
    // rand() 41, 18467: (41 * 39 * 42) / 32767.0 = 2.05 lies in the border
    // column, so the next pair 6334, 26500 is taken.
    EXPECT_EQ(pickup.x, F((6334 * 39 * 42) / 32767.0));
    EXPECT_EQ(pickup.y, F((26500 * 29 * 42) / 32767.0));
    const float x = pickup.x;
    pickup.Update();  // placed: stays
    EXPECT_EQ(pickup.x, x);
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
