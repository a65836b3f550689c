#include <cmath>
#include <vector>

#include "tests/game/game_fixture.h"

namespace {

class EnemyShipTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        arena.Setup(&viewX, &viewY);
        player.Setup(&arena, &viewX, &viewY);
        player.SetPhotons(&playerPool);
        playerPool.Setup(&viewX, &viewY);
        for (int i = 0; i < 3; ++i) {
            ships[i].Setup(SHIP_BLUE + i, &arena, &player, &viewX, &viewY);
            pools[i].Setup(&viewX, &viewY);
            ships[i].SetPhotons(&pools[i]);
        }
    }
    float viewX = 0, viewY = 0;
    Arena arena;
    PlayerShip player;
    PhotonPool playerPool;
    EnemyShip ships[3];
    PhotonPool pools[3];
    EnemyShip& blue = ships[0];
    EnemyShip& green = ships[1];
    EnemyShip& yellow = ships[2];
};

TEST_F(EnemyShipTest, SetupUsesEachColoursConstants) {
    struct Case {
        float x, y;
        int health, interval, base;
    };
    const Case cases[] = {{150, 200, 80, 80, 200}, {1530, 200, 100, 60, 160}, {840, 1110, 120, 40, 120}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(ships[i].colour, i + 1);
        EXPECT_EQ(ships[i].x, cases[i].x);
        EXPECT_EQ(ships[i].y, cases[i].y);
        EXPECT_EQ(ships[i].health, cases[i].health);
        EXPECT_EQ(ships[i].FireInterval(), cases[i].interval);
        EXPECT_EQ(ships[i].LegBaseLength(), cases[i].base);
        EXPECT_EQ(ships[i].angle, 90);
        EXPECT_NE(ships[i].frames[9].data, nullptr);
        EXPECT_EQ(ships[i].frames[10].data, nullptr);
    }
}

TEST_F(EnemyShipTest, FirstThinkStartsALegWithoutAimingOrFiring) {
    for (EnemyShip& ship : ships) ship.Think();
    // rand() 41, 18467, 6334: legs of 200 + 0, 160 + 28, 120 + 9 frames.
    EXPECT_EQ(blue.legLength, 200);
    EXPECT_EQ(green.legLength, 188);
    EXPECT_EQ(yellow.legLength, 129);
    EXPECT_EQ(blue.vx, F(2 * std::cos(Radians(90))));
    EXPECT_EQ(blue.vy, -2.0f);
    EXPECT_EQ(green.vx, 0);
    EXPECT_EQ(yellow.vy, 0);
    for (EnemyShip& ship : ships) {
        EXPECT_EQ(ship.angle, 90);
        EXPECT_EQ(ship.step, 0);
        EXPECT_EQ(ship.fireCounter, 0);
    }
}

TEST_F(EnemyShipTest, AimFacesThePlayer) {
    yellow.legLength = 100;
    yellow.Think();
    // Straight above: 90 degrees within the rounding of the degree factor.
    EXPECT_EQ(yellow.angle, F(std::acos(0.0) / kDegreesToRadians));
    EXPECT_NEAR(yellow.angle, 90, 2e-5);
    EXPECT_EQ(yellow.aimX, 0);
    EXPECT_EQ(yellow.aimY, 1);
    // Player to the lower left: between -180 and -90, then 180..270 after Move.
    green.legLength = 100;
    green.x = 1000;
    green.y = 300;
    green.Think();
    const float dx = 840 - 1000.0f, dy = 300 - 630.0f;
    const float d = F(std::sqrt(static_cast<double>(dx * dx + dy * dy)));
    EXPECT_EQ(green.angle, -F(std::acos(static_cast<double>(dx / d)) / kDegreesToRadians));
    EXPECT_LT(green.angle, -90);
    EXPECT_GT(green.angle, -180);
    green.Move();
    EXPECT_GT(green.angle, 180);
    EXPECT_LT(green.angle, 270);
}

TEST_F(EnemyShipTest, ShotsLeaveEveryIntervalPlusTwoFramesInsideLegs) {
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EnemyShip& ship = ships[i];
        ship.legLength = 1000;
        std::vector<int> shots;
        for (int frame = 1; frame <= 200; ++frame) {
            const int before = pools[i].Count();
            const float angleBefore = ship.angle;
            ship.Think();
            if (pools[i].Count() != before) {
                shots.push_back(frame);
                // Fired along the angle before this frame's aim.
                const Photon& p = pools[i].Get(pools[i].Count() - 1);
                EXPECT_EQ(p.vx, F(10 * std::cos(Radians(angleBefore)) + ship.vx));
            }
        }
        const int every = ship.FireInterval() + 2;
        ASSERT_GE(shots.size(), 2u);
        EXPECT_EQ(shots[0], every);
        EXPECT_EQ(shots[1], 2 * every);
    }
}

TEST_F(EnemyShipTest, HealthRunsOutOnTheSixteenthTwentiethAndTwentyFourthHit) {
    const int hitsToDie[] = {16, 20, 24};
    for (int i = 0; i < 3; ++i) {
        int hits = 0;
        while (ships[i].IsAlive()) {
            ships[i].Damage(5);
            ++hits;
        }
        EXPECT_EQ(hits, hitsToDie[i]);
        EXPECT_TRUE(ships[i].IsDying());
        EXPECT_FALSE(ships[i].hit);
    }
}

TEST_F(EnemyShipTest, PushThrowsBothShipsApartAtAQuarterOfTheirSpeeds) {
    green.x = player.x - 30;
    green.y = player.y;
    green.vx = 3;
    green.vy = 4;  // speed 5
    player.vx = 0;
    player.vy = -2;  // speed 2
    green.Collide();
    EXPECT_EQ(green.vx, -7 * 0.25f);
    EXPECT_EQ(green.vy, 0);
    EXPECT_EQ(player.vx, 7 * 0.25f);
    EXPECT_EQ(player.vy, 0);
    // Both at rest: both stay at rest.
    green.vx = green.vy = player.vx = player.vy = 0;
    green.Collide();
    EXPECT_EQ(green.vx, 0);
    EXPECT_EQ(player.vx, 0);
}

TEST_F(EnemyShipTest, PlayerPhotonsKnockBackAndDamage) {
    green.x = 800;
    green.y = 400;
    playerPool.Fire(830, 440, 0, -20);  // 50 away: a miss
    playerPool.Fire(820, 400, -20, 0);  // 20 to the right: a hit
    green.Collide();
    ASSERT_EQ(playerPool.Count(), 1);
    EXPECT_EQ(playerPool.Get(0).x, 830);
    EXPECT_EQ(green.health, 95);
    EXPECT_TRUE(green.hit);
    // Knocked away from the photon at |v| + |w| = 20, no quarter factor.
    EXPECT_EQ(green.vx, -20);
    EXPECT_EQ(green.vy, 0);
}

TEST_F(EnemyShipTest, PhotonWithAWallAheadIsRemovedWithoutDamage) {
    green.x = 60;
    green.y = 400;
    playerPool.Fire(50, 400, -20, 0);  // column 1 moving left: the border is next
    green.Collide();
    EXPECT_EQ(playerPool.Count(), 0);
    EXPECT_EQ(green.health, 100);
    EXPECT_EQ(green.vx, 0);
}

TEST_F(EnemyShipTest, OwnPhotonsHitOnlyThePlayer) {
    yellow.x = 840;
    yellow.y = 900;
    pools[2].Fire(840, 600, 0, 10);  // 30 from the player
    pools[2].Fire(841, 900, 0, 10);  // on yellow itself
    yellow.Collide();
    ASSERT_EQ(pools[2].Count(), 1);
    EXPECT_EQ(pools[2].Get(0).x, 841);
    EXPECT_EQ(player.health, 95);
    EXPECT_EQ(player.frame, 2);
    EXPECT_EQ(yellow.health, 120);
}

TEST_F(EnemyShipTest, ShipsOnTheSameSpotKeepTheirAimAndGetNoNaN) {
    green.legLength = 100;
    green.Think();
    const float angle = green.angle, aimX = green.aimX, heading = green.heading;
    green.x = player.x;
    green.y = player.y;
    green.vx = 1;
    player.vx = 2;
    green.Think();
    EXPECT_EQ(green.angle, angle);
    EXPECT_EQ(green.aimX, aimX);
    EXPECT_EQ(green.heading, heading);
    green.Collide();  // no direction to push along: nothing changes
    EXPECT_EQ(green.vx, 1);
    EXPECT_EQ(player.vx, 2);
    // A photon exactly at the centre: removed and damaging, no knock-back.
    playerPool.Fire(green.x, green.y, 5, 5);
    green.Collide();
    EXPECT_EQ(playerPool.Count(), 0);
    EXPECT_EQ(green.health, 95);
    EXPECT_EQ(green.vx, 1);
    EXPECT_FALSE(std::isnan(green.vy));
}

TEST_F(EnemyShipTest, DrawAdvancesTheFlashAndTheDeathOnePictureAFrame) {
    StartEngine();
    blue.Setup(SHIP_BLUE, &arena, &player, &viewX, &viewY);
    ASSERT_TRUE(Tarvo.BeginDraw());
    blue.Damage(5);
    std::vector<int> frames;
    for (int i = 0; i < 6; ++i) {
        blue.Draw();
        frames.push_back(blue.frame);
    }
    EXPECT_EQ(frames, (std::vector<int>{1, 2, 3, 4, 0, 0}));
    EXPECT_FALSE(blue.hit);
    // A further hit during the flash does not restart it.
    blue.Damage(5);
    blue.Draw();
    blue.Draw();
    blue.Damage(5);
    blue.Draw();
    EXPECT_EQ(blue.frame, 3);
    // Death from the middle of a flash: 4, then dest2..dest6, the last drawn twice.
    blue.health = 5;
    blue.Damage(5);
    frames.clear();
    std::vector<bool> visible;
    for (int i = 0; i < 8; ++i) {
        blue.Draw();
        frames.push_back(blue.frame);
        visible.push_back(blue.visible);
    }
    EXPECT_EQ(frames, (std::vector<int>{4, 5, 6, 7, 8, 9, 9, 9}));
    EXPECT_EQ(visible, (std::vector<bool>{true, true, true, true, true, true, false, false}));
    Tarvo.EndDraw();
}

TEST_F(EnemyShipTest, AnEmptyPictureSlotDrawsNothing) {
    StartEngine();
    blue.Setup(SHIP_BLUE, &arena, &player, &viewX, &viewY);
    viewX = 300 - blue.x;  // the ship's picture box at screen (260, 160)
    viewY = 200 - blue.y;
    auto boxPixels = [] {
        int drawn = 0;
        for (int r = 0; r < 80; ++r)
            for (int c = 0; c < 80; ++c) drawn += Tarvo.backBuffer[Tarvo.rowOffset[160 + r] + 260 + c] != 0;
        return drawn;
    };
    ASSERT_TRUE(Tarvo.BeginDraw());
    Tarvo.ClearScreen();
    blue.Draw();
    EXPECT_GT(boxPixels(), 500);
    // A missing explosion picture: the dying ship's first explosion frame
    // shows nothing, not the ship turned into the buffer the frame before.
    blue.frames[4].Release();
    blue.health = 5;
    blue.Damage(5);
    Tarvo.ClearScreen();
    blue.Draw();
    EXPECT_EQ(blue.frame, 4);
    EXPECT_EQ(boxPixels(), 0);
    // The animation goes on over the gap.
    Tarvo.ClearScreen();
    blue.Draw();
    EXPECT_EQ(blue.frame, 5);
    EXPECT_GT(boxPixels(), 0);
    Tarvo.EndDraw();
}

}  // namespace
