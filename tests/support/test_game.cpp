#include "tests/support/test_game.h"

#include "base/game_info.h"
#include "game/game_actions.h"

namespace test_game {

std::function<void()> onInitialize;
std::function<void()> onRun;

// The engine's tests stand in for the shooter, and are named as it is.
void Declare() {
    TarvoGame standIn(
        {.name = "tarvo", .title = "Tarvo", .windowTitle = "", .actions = kShooterActions, .muteKey = true});
}

namespace {
const bool declared = (Declare(), true);
}  // namespace

void Reset() {
    onInitialize = nullptr;
    onRun = nullptr;
}

}  // namespace test_game

void initialize() {
    if (test_game::onInitialize) test_game::onInitialize();
}

void run() {
    if (test_game::onRun) test_game::onRun();
}
