#include <cmath>
#include <vector>

#include "tests/game/game_fixture.h"

namespace {

class PlayerShipTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        arena.Setup(&viewX, &viewY);
        ship.Setup(&arena, &viewX, &viewY);
        pool.Setup(&viewX, &viewY);
        ship.SetPhotons(&pool);
    }
    float viewX = 0, viewY = 0;
    Arena arena;
    PlayerShip ship;
    PhotonPool pool;
};

TEST_F(PlayerShipTest, SetupPlacesTheShipAndCentresTheView) {
    EXPECT_EQ(ship.x, 840);
    EXPECT_EQ(ship.y, 630);
    EXPECT_EQ(ship.angle, 90);
    EXPECT_EQ(ship.health, 100);
    EXPECT_EQ(viewX, -442);
    EXPECT_EQ(viewY, -354);
    // Slots 11-13 hold the spawn pictures again; 14 stays empty.
    EXPECT_NE(ship.frames[13].data, nullptr);
    EXPECT_EQ(ship.frames[14].data, nullptr);
    EXPECT_EQ(ship.turnBuffer.width, 80);
    EXPECT_EQ(ship.turnBuffer.mode, IMAGE_RGB16 | IMAGE_ALPHA);
}

TEST_F(PlayerShipTest, ThrustSetsTheVelocityAndDragDecaysIt) {
    const double a = Radians(90);
    Hold(platform::VK_UP);
    ship.Controls();
    EXPECT_EQ(ship.vx, F(4 * std::cos(a)));
    EXPECT_EQ(ship.vy, -4.0f);
    EXPECT_EQ(ship.frame, 1);
    // Up wins over Down.
    Hold(platform::VK_DOWN);
    ship.Controls();
    EXPECT_EQ(ship.vy, -4.0f);
    Release(platform::VK_UP);
    ship.Controls();
    EXPECT_EQ(ship.vx, F(-(4 * std::cos(a))));
    EXPECT_EQ(ship.vy, 4.0f);
    EXPECT_EQ(ship.frame, 0);
    // No thrust: 4 * 0.9^n, each step in double and stored as a float.
    ReleaseAll();
    float expected = 4;
    for (int n = 0; n < 3; ++n) {
        ship.Controls();
        expected = F(expected * 0.9);
    }
    EXPECT_EQ(ship.vy, expected);
    EXPECT_NEAR(ship.vy, 4 * 0.729, 1e-6);
}

TEST_F(PlayerShipTest, TurningLeftWinsAndTheRateDecays) {
    Hold(platform::VK_LEFT);
    Hold(platform::VK_RIGHT);
    ship.Controls();
    EXPECT_EQ(ship.turnRate, 3);
    Release(platform::VK_LEFT);
    ship.Controls();
    EXPECT_EQ(ship.turnRate, -3);
    ReleaseAll();
    ship.Controls();
    EXPECT_EQ(ship.turnRate, F(-3 * 0.8));
}

TEST_F(PlayerShipTest, MoveWrapsTheAngleAndCarriesTheView) {
    struct Case {
        float angle, rate, expected;
    };
    for (const Case& c : {Case{359, 3, 2}, Case{1, -3, 358}, Case{90, 3, 93}}) {
        ship.angle = c.angle;
        ship.turnRate = c.rate;
        ship.Move();
        EXPECT_EQ(ship.angle, c.expected) << c.angle;
    }
    ship.vx = 1.5f;
    ship.vy = -4;
    ship.Move();
    EXPECT_EQ(ship.x, 841.5f);
    EXPECT_EQ(ship.y, 626);
    EXPECT_EQ(viewX, -443.5f);
    EXPECT_EQ(viewY, -350);
    EXPECT_EQ(ship.x + viewX, 398);
}

TEST_F(PlayerShipTest, HeldSpaceFiresOnEveryTwelfthFrameWithTheShipsVelocity) {
    Hold(platform::VK_SPACE);
    Hold(platform::VK_UP);
    ship.angle = 30;
    std::vector<int> shots;
    for (int frame = 1; frame <= 36; ++frame) {
        const int before = pool.Count();
        ship.Controls();
        if (pool.Count() != before) shots.push_back(frame);
    }
    EXPECT_EQ(shots, (std::vector<int>{12, 24, 36}));
    const double a = Radians(30);
    const Photon& p = pool.Get(0);
    EXPECT_EQ(p.x, 840);
    EXPECT_EQ(p.vx, F(20 * std::cos(a) + F(4 * std::cos(a))));
    EXPECT_EQ(p.vy, F(F(-(4 * std::sin(a))) - 20 * std::sin(a)));
    // Released, the counter keeps its count.
    ReleaseAll();
    ship.fireCounter = 7;
    ship.Controls();
    EXPECT_EQ(ship.fireCounter, 7);
}

TEST_F(PlayerShipTest, HitsInOneFrameStepThroughTheFlashPictures) {
    // Controls leaves frame 0; each further hit in the same frame moves on.
    for (const auto& [hits, frame] : std::vector<std::pair<int, int>>{{1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 0}}) {
        ship.frame = 0;
        ship.health = 100;
        for (int i = 0; i < hits; ++i) ship.Damage(5);
        EXPECT_EQ(ship.frame, frame) << hits << " hits";
        EXPECT_EQ(ship.health, 100 - 5 * hits);
    }
}

TEST_F(PlayerShipTest, DeathTimelineExplodesWaitsAndRespawns) {
    ship.health = 5;
    ship.x = 500;
    ship.y = 300;
    ship.vx = 3;
    ship.turnRate = 2;
    ship.Damage(5);  // frame 0 of the death: the explosion starts at once
    EXPECT_EQ(ship.state, PlayerState::Exploding);
    EXPECT_EQ(ship.frame, 5);
    EXPECT_EQ(ship.vx, 0);
    ship.vx = 1.25f;  // an enemy's push after the death survives the respawn
    std::vector<int> frameAt(113);
    std::vector<PlayerState> stateAt(113);
    std::vector<bool> visibleAt(113);
    frameAt[0] = ship.frame, stateAt[0] = ship.state, visibleAt[0] = ship.visible;
    for (int f = 1; f <= 112; ++f) {
        ship.StepState();
        frameAt[f] = ship.frame, stateAt[f] = ship.state, visibleAt[f] = ship.visible;
        if (f < 108) {
            EXPECT_EQ(ship.x, 500) << f;
        }
    }
    for (int f = 0; f <= 5; ++f) EXPECT_EQ(frameAt[f], 5 + f) << f;  // dest1..dest6
    for (int f = 6; f <= 107; ++f) EXPECT_FALSE(visibleAt[f]) << f;
    EXPECT_EQ(stateAt[107], PlayerState::Respawning);
    EXPECT_EQ(stateAt[106], PlayerState::Waiting);
    for (int f = 108; f <= 111; ++f) {
        EXPECT_TRUE(visibleAt[f]);
        EXPECT_EQ(frameAt[f], 11 + (f - 108)) << f;  // spawn1..3, then the empty slot
    }
    EXPECT_EQ(stateAt[112], PlayerState::Flying);
    EXPECT_EQ(ship.health, 100);
    EXPECT_EQ(ship.angle, 90);
    EXPECT_EQ(ship.x, 840);
    EXPECT_EQ(viewX, 398 - 840);
    EXPECT_EQ(viewY, 276 - 630);
    EXPECT_EQ(ship.vx, 1.25f);
    EXPECT_EQ(ship.turnRate, 2);
}

TEST_F(PlayerShipTest, HitsWhileDeadFollowTheState) {
    ship.health = 0;
    ship.state = PlayerState::Waiting;
    ship.visible = false;
    ship.frame = 10;
    ship.waitCounter = 40;
    ship.Damage(5);
    EXPECT_EQ(ship.health, -5);
    EXPECT_EQ(ship.state, PlayerState::Waiting);
    EXPECT_EQ(ship.waitCounter, 40);
    // Respawning: back to a full wait at the spawn point.
    ship.state = PlayerState::Respawning;
    ship.visible = true;
    ship.frame = 12;
    ship.waitCounter = 0;
    ship.Damage(5);
    EXPECT_EQ(ship.state, PlayerState::Waiting);
    EXPECT_FALSE(ship.visible);
    EXPECT_EQ(ship.waitCounter, 0);
    // Exploding: one extra step.
    ship.state = PlayerState::Exploding;
    ship.visible = true;
    ship.frame = 7;
    ship.Damage(5);
    EXPECT_EQ(ship.frame, 8);
}

TEST_F(PlayerShipTest, DrawShowsTheTurnedPictureAtTheFixedPlaceAndNothingForTheEmptySlot) {
    StartEngine();
    ship.Setup(&arena, &viewX, &viewY);
    ASSERT_TRUE(Tarvo.BeginDraw());
    Tarvo.ClearScreen();
    ship.Draw();  // angle 90: unturned but for the rotation's one-pixel shift
    const Image& picture = ship.frames[0];
    int compared = 0;
    for (int r = 1; r < 80; ++r)
        for (int c = 0; c < 79; ++c) {
            const uint16_t expected = picture.Pixels16()[(r - 1) * 80 + c];
            EXPECT_EQ(Tarvo.backBuffer[Tarvo.rowOffset[236 + r] + 358 + c], expected) << c << "," << r;
            compared += expected != 0;
        }
    EXPECT_GT(compared, 500);
    Tarvo.ClearScreen();
    ship.frame = 14;
    ship.Draw();
    for (int r = 0; r < 80; ++r)
        for (int c = 0; c < 80; ++c) ASSERT_EQ(Tarvo.backBuffer[Tarvo.rowOffset[236 + r] + 358 + c], 0);
    Tarvo.EndDraw();
}

}  // namespace
