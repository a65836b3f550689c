// The whole game through its real entry point and message loop, on the
// scripted machine, driven by key scripts.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/game/game_fixture.h"
#include "tools/replay/replay_runner.h"
#include "tools/replay/state_report.h"

namespace {

class WholeGameTest : public GameTest {
protected:
    // Runs `frames` frames; `check(f)` after each.
    void Play(const char* script, int frames, const std::function<void(int)>& check) {
        const ReplayResult result = RunReplay(machine, Script(script), frames, check);
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.framesRun, frames);
        EXPECT_TRUE(machine.messageBoxes.empty()) << machine.messageBoxes[0].text;
    }
    uint16_t Pixel(int x, int y) {
        const auto* surface = machine.AsSurface(Tarvo.backSurface);
        return surface->pixels[static_cast<size_t>(y) * (surface->pitchBytes / 2) + x];
    }
    // True when the keyed picture shows unchanged with its top-left at (x, y).
    bool Shows(const Image& picture, int x, int y) {
        int opaque = 0;
        for (int r = 0; r < picture.height; ++r)
            for (int c = 0; c < picture.width; ++c) {
                const uint16_t word = picture.Pixels16()[r * picture.width + c];
                if (word == 0) continue;
                if (Pixel(x + c, y + r) != word) return false;
                ++opaque;
            }
        return opaque > 0;
    }
    // Pieces of a bar drawn from (x, y), 5 pixels apart up (-1) or down (1).
    int BarPieces(const Image& bar, int x, int y, int direction) {
        int pieces = 0;
        for (;; ++pieces) {
            const int top = y + direction * 5 * pieces;
            if (top < 0 || top + bar.height > 511) return pieces;
            for (int r = 0; r < bar.height; ++r)
                for (int c = 0; c < bar.width; ++c)
                    if (Pixel(x + c, top + r) != bar.Pixels16()[r * bar.width + c]) return pieces;
        }
    }
};

TEST_F(WholeGameTest, IntroShowsTheFrozenWorldUntilSpace) {
    std::string first;
    Play("40 down SPACE\n", 42, [&](int f) {
        std::string state = GameStateJson(0);
        if (f == 0) {
            first = state;
            EXPECT_TRUE(Shows(introPicture, 128, 106));
        }
        if (f < 40) {
            EXPECT_EQ(state, first) << f;
        }
        if (f == 40) {  // Space's own frame only unpauses: the world as it was
            EXPECT_FALSE(paused);
            EXPECT_FALSE(showIntro);
            EXPECT_FALSE(Shows(introPicture, 128, 106));
            EXPECT_EQ(state.substr(state.find("viewX")), first.substr(first.find("viewX")));
            // Full bars (the intro panel covers the end of blue's).
            EXPECT_EQ(BarPieces(healthBarRed, 706, 482, -1), 20);
            EXPECT_EQ(BarPieces(healthBarBlue, 606, 30, 1), 16);
            EXPECT_EQ(BarPieces(healthBarGreen, 656, 30, 1), 20);
            EXPECT_EQ(BarPieces(healthBarYellow, 706, 30, 1), 24);
            // The ship's unturned picture at (358, 236), one row lower from the rotation.
            const Image& ship = playerShip.frames[0];
            for (int r = 1; r < 80; ++r)
                for (int c = 0; c < 79; ++c) {
                    const uint16_t word = ship.Pixels16()[(r - 1) * 80 + c];
                    if (word != 0) {
                        ASSERT_EQ(Pixel(358 + c, 236 + r), word) << c << "," << r;
                    }
                }
        }
        if (f == 41) {  // the first update
            EXPECT_EQ(enemies[0].legLength, 200);
        }
    });
}

TEST_F(WholeGameTest, HoldingPTogglesEveryFrame) {
    // P held from frame 5: frames 5, 7, 9, ... update (the frame that pauses
    // still updates, the one that resumes does not); released in Playing the
    // world goes on. Updates by frame 11 counted by the pick-up's counter.
    struct Case {
        int heldFrames;
        bool pausedAfter;
        int updates;
    };
    for (const Case& c : {Case{1, true, 5}, Case{2, false, 10}, Case{3, true, 6}, Case{4, false, 9}}) {
        SCOPED_TRACE(c.heldFrames);
        platform::ScriptedPlatform fresh;
        char script[128];
        std::snprintf(script, sizeof script, "0 down SPACE\n1 up SPACE\n5 down P\n%d up P\n", 5 + c.heldFrames);
        RunReplay(fresh, Script(script), 12, [&](int f) {
            if (f != 11) return;
            EXPECT_EQ(paused, c.pausedAfter);
            EXPECT_EQ(healthPickup.counter, c.updates);
        });
    }
    platform::SetCurrent(&machine);
}

TEST_F(WholeGameTest, SpaceDoesNotPauseAfterTheIntro) {
    Play("0 down SPACE\n", 20, [&](int f) {
        EXPECT_FALSE(paused) << f;
        if (f == 19) {
            EXPECT_EQ(healthPickup.counter, 19);
        }
    });
}

TEST_F(WholeGameTest, EndPictureComesOnTheTwoHundredthUnpausedFrameAfterTheLastDeath) {
    // Paused from frame 11 to 20 (P pressed at 10, pressed again at 20).
    Play("0 down SPACE\n1 up SPACE\n10 down P\n11 up P\n20 down P\n21 up P\n", 230, [&](int f) {
        if (f == 4) {
            for (EnemyShip& enemy : enemies) enemy.health = 0;  // all killed in frame 4
            EXPECT_FALSE(allEnemiesDead);
        }
        if (f == 5) {  // found dead by the next frame's update
            EXPECT_EQ(endCounter, 1);
        }
        // Updates at frames 5 to 10 and from 21 on: the 200th is frame 214.
        const bool drawn = Shows(endPicture, 128, 106);
        if (f == 20) {
            EXPECT_EQ(endCounter, 6);
        }
        if (f == 213) {
            EXPECT_EQ(endCounter, 199);
            EXPECT_FALSE(drawn);
        }
        if (f >= 214) {
            EXPECT_EQ(endCounter, 200);
            EXPECT_TRUE(drawn) << f;
        }
    });
}

TEST_F(WholeGameTest, DeadEnemysPhotonsFreezeAndVanish) {
    // Yellow's first shot leaves on frame 43 straight up at the player; it is
    // in flight at frame 84, when yellow dies.
    Photon frozen;
    int screenX = 0, screenY = 0;
    uint16_t lit = 0;
    Play("0 down SPACE\n", 100, [&](int f) {
        if (f == 84) {
            ASSERT_EQ(enemyPhotons[2].Count(), 1);
            frozen = enemyPhotons[2].Get(0);
            screenX = static_cast<int>(frozen.x + viewX);
            screenY = static_cast<int>(frozen.y + viewY);
            lit = Pixel(screenX, screenY);
            enemies[2].health = 5;
            enemies[2].Damage(5);
        }
        if (f > 84) {
            ASSERT_EQ(enemyPhotons[2].Count(), 1);
            EXPECT_EQ(enemyPhotons[2].Get(0).x, frozen.x);
            EXPECT_EQ(enemyPhotons[2].Get(0).y, frozen.y);
            EXPECT_EQ(enemyPhotons[2].Get(0).age, frozen.age);
            EXPECT_NE(Pixel(screenX, screenY), lit) << f;
        }
        if (f == 91) {  // frames 4..9, the last drawn twice
            EXPECT_FALSE(enemies[2].visible);
        }
    });
}

TEST_F(WholeGameTest, WreckCollectsThePickupWhileWaitingAndThenFlies) {
    Play("0 down SPACE\n1 up SPACE\n50 down UP\n", 60, [&](int f) {
        if (f == 10) {
            playerShip.health = -10;
            playerShip.state = PlayerState::Waiting;
            playerShip.visible = false;
            playerShip.frame = 10;
            healthPickup.active = true;
            healthPickup.x = playerShip.x + 20;  // within 40 of the wreck
            healthPickup.y = playerShip.y - 20;
        }
        if (f == 11) {
            EXPECT_EQ(playerShip.health, 10);
            EXPECT_FALSE(healthPickup.active);
            EXPECT_EQ(playerShip.state, PlayerState::Waiting);
        }
        if (f == 12) {
            EXPECT_EQ(healthPickup.x, -1500);
        }
        if (f == 55) {
            // Alive though invisible: its controls run.
            EXPECT_EQ(playerShip.frame, 1);
            EXPECT_LT(playerShip.y, 630);
            EXPECT_FALSE(playerShip.visible);
            EXPECT_EQ(playerShip.state, PlayerState::Waiting);
        }
    });
}

}  // namespace
