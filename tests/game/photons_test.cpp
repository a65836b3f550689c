#include "tests/game/game_fixture.h"

namespace {

TEST(GameRandomTest, FollowsTheClassicSequenceFromSeedOne) {
    GameRandom random;
    const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
    for (int value : expected) EXPECT_EQ(random.Rand(), value);
    random.Reset();
    EXPECT_EQ(random.Rand(), 41);
}

class PhotonsTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        pool.Setup(&viewX, &viewY);
    }
    float viewX = 0, viewY = 0;
    PhotonPool pool;
};

TEST_F(PhotonsTest, FiresIntoFreeSlotsThenOverwritesARandomOne) {
    EXPECT_EQ(pool.capacity, 5);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(pool.Fire(static_cast<float>(i), 0, 1, 0), i);
    EXPECT_EQ(pool.Count(), 5);
    // Full: rand() 41, 18467, 6334, 26500, 19169 pick slots 0, 2, 0, 3, 2
    // (rand() * 4 / 32767).
    for (int slot : {0, 2, 0, 3, 2}) {
        EXPECT_EQ(pool.Fire(100, 0, 0, 0), slot);
        EXPECT_EQ(pool.Get(slot).x, 100);
        EXPECT_EQ(pool.Get(slot).age, 0);
    }
    EXPECT_EQ(pool.Count(), 5);
}

TEST_F(PhotonsTest, UpdateMovesAgesAndRetiresAfterAHundredFrames) {
    pool.Fire(10, 20, 3, -2);
    for (int i = 0; i < 100; ++i) pool.Update();
    ASSERT_EQ(pool.Count(), 1);
    EXPECT_EQ(pool.Get(0).x, 310);
    EXPECT_EQ(pool.Get(0).y, -180);
    EXPECT_EQ(pool.Get(0).age, 100);
    pool.Update();
    EXPECT_EQ(pool.Count(), 0);
}

TEST_F(PhotonsTest, PhotonCopiedIntoARetiredSlotWaitsAFrame) {
    pool.Fire(0, 0, 1, 0);
    pool.Fire(0, 0, 1, 0);
    pool.Fire(50, 0, 1, 0);
    pool.records[0].age = 100;
    pool.records[1].age = 50;
    pool.records[2].age = 100;
    pool.Update();
    // Slot 0 retired and took the last photon, which was neither moved nor aged.
    ASSERT_EQ(pool.Count(), 2);
    EXPECT_EQ(pool.Get(0).x, 50);
    EXPECT_EQ(pool.Get(0).age, 100);
    EXPECT_EQ(pool.Get(1).age, 51);
    // Slot 0 retires now; the photon moved into it is skipped in turn.
    pool.Update();
    ASSERT_EQ(pool.Count(), 1);
    EXPECT_EQ(pool.Get(0).age, 51);
}

TEST_F(PhotonsTest, RemoveMovesTheLastPhotonIntoTheHole) {
    for (int i = 0; i < 4; ++i) pool.Fire(static_cast<float>(i), 0, 0, 0);
    pool.Remove(1);
    ASSERT_EQ(pool.Count(), 3);
    EXPECT_EQ(pool.Get(0).x, 0);
    EXPECT_EQ(pool.Get(1).x, 3);
    EXPECT_EQ(pool.Get(2).x, 2);
}

TEST_F(PhotonsTest, DrawCentresThePictureAdditivelyAndClipsAtTheEdge) {
    StartEngine();
    pool.Setup(&viewX, &viewY);
    viewX = -100.5f;
    viewY = 10;
    pool.Fire(200.9f, 100, 0, 0);  // screen 100.4 -> picture at (90, 100)
    pool.Fire(100, 0, 0, 0);       // top-left at (-10, 0): clipped
    ASSERT_TRUE(Tarvo.BeginDraw());
    Tarvo.ClearScreen();
    pool.Draw();
    // On black, additive drawing leaves the premultiplied picture's own words
    // wherever it is not fully transparent.
    int lit = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool skipped = pool.picture.alpha[y * 20 + x] == 255;
            const uint16_t word = skipped ? 0 : pool.picture.Pixels16()[y * 20 + x];
            EXPECT_EQ(Tarvo.backBuffer[Tarvo.rowOffset[100 + y] + 90 + x], word) << x << "," << y;
            lit += word != 0;
        }
    EXPECT_GT(lit, 100);
    EXPECT_EQ(Tarvo.backBuffer[Tarvo.rowOffset[100] + 89], 0);
    EXPECT_EQ(Tarvo.backBuffer[Tarvo.rowOffset[10] + 0], pool.picture.Pixels16()[10 * 20 + 10]);
    Tarvo.EndDraw();
}

}  // namespace
