#include "tests/support/test_game.h"

#include "base/game_info.h"
#include "platform/platform.h"

namespace test_game {

std::function<void()> onInitialize;
std::function<void()> onRun;

// The engine's tests stand in for the shooter, and are named as it is.
void Declare() {
    static const TarvoAction actions[] = {
        {"turn_left", platform::VK_LEFT, "Left, A"}, {"turn_right", platform::VK_RIGHT, "Right, D"},
        {"thrust", platform::VK_UP, "Up, W"},        {"back", platform::VK_DOWN, "Down, S"},
        {"fire", platform::VK_SPACE, "Space"},       {"pause", 'P', "P"},
    };
    TarvoGame standIn({.name = "tarvo", .title = "Tarvo", .windowTitle = "", .actions = actions, .muteKey = true});
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
