#include "tests/support/test_game.h"

namespace test_game {

std::function<void()> onInitialize;
std::function<void()> onRun;

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
