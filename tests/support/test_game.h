// The game side of engine tests: initialize() and run() call whatever the
// test puts here. Reset() empties both.
#pragma once

#include <functional>

namespace test_game {

extern std::function<void()> onInitialize;
extern std::function<void()> onRun;
void Reset();
// Declares the stand-in game again (after a test declared another).
void Declare();

}  // namespace test_game
