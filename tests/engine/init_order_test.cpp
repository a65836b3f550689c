#include <gtest/gtest.h>

#include "engine/debug_log.h"
#include "engine/init_order.h"
#include "engine/windows_dx.h"

namespace {

// A stand-in for the game's globals, constructed in their place in the order.
struct GameGlobalProbe {
    bool engineConstructed;
    bool logOpenedYet;
    GameGlobalProbe() : engineConstructed(Tarvo.requestWidth == -1), logOpenedYet(debugLog.IsOpen()) {}
};

GameGlobalProbe probe TARVO_INIT_GAME;

TEST(StaticConstruction, EngineFirstThenGameGlobalsThenTheLog) {
    EXPECT_TRUE(probe.engineConstructed);
    EXPECT_FALSE(probe.logOpenedYet);
}

}  // namespace
