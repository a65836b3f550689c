// The shooter's actions, which the player may rebind in its settings file:
// the arrows and W A S D steer, Space fires, P pauses. On a controller the
// d-pad and stick steer, A fires and Start pauses. Header-only, so that
// the engine's tests and the settings fuzzer stand in for the shooter with
// the same list.
#pragma once

#include "base/game_info.h"
#include "platform/platform.h"

inline constexpr TarvoAction kShooterActions[] = {
    {"turn_left", platform::VK_LEFT, "Left, A"},
    {"turn_right", platform::VK_RIGHT, "Right, D"},
    {"thrust", platform::VK_UP, "Up, W"},
    {"back", platform::VK_DOWN, "Down, S"},
    {"fire", platform::VK_SPACE, "Space", TarvoPad::A, "\u25CF"},
    {"pause", 'P', "P", TarvoPad::Start, "\u275A\u275A"},
};
