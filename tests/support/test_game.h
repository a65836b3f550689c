// The game side of engine tests: initialize() and run() call whatever the
// test puts here. Reset() empties both.
#pragma once

#include <functional>

namespace test_game {

extern std::function<void()> onInitialize;
extern std::function<void()> onRun;
void Reset();
// Declares the stand-in game again (after a test declared another): named
// as the shooter, with its actions (below) and the mute key.
void Declare();

}  // namespace test_game

// The stand-in's actions, in the order it declares them.
namespace ShooterKey {
enum : int { TurnLeft, TurnRight, Thrust, Back, Fire, Pause };
}
