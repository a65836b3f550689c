// Game tests: the engine started on the scripted machine, the pictures found
// in the build's Images/, and the game's frame state at its start values.
// Objects under test are the fixture's own, or the game's globals when a
// whole game runs through RunReplay.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "engine/key_script.h"
#include "engine/windows_dx.h"
#include "file/data_path.h"
#include "game/game.h"
#include "game/game_random.h"
#include "game/geometry.h"
#include "platform/scripted/scripted_platform.h"
#include "tests/support/engine_reset.h"

class GameTest : public testing::Test {
protected:
    void SetUp() override {
        SetDataFolders({TARVO_BINARY_DIR});
        previous = platform::CurrentOrNull();
        platform::SetCurrent(&machine);
        machine.screenWidth = 1920;
        machine.screenHeight = 1080;
        ResetEngine();
        ResetGameState();
    }
    void TearDown() override {
        Tarvo.CleanUp();
        ResetEngine();
        platform::SetCurrent(previous);
    }

    // The engine as the game starts it, for tests that draw or load pictures.
    void StartEngine() { ASSERT_TRUE(Tarvo.Initialize(false, 756, 512)); }
    static void Hold(int key) { Tarvo.keyState[key] = 1; }
    static void Release(int key) { Tarvo.keyState[key] = 0; }
    static void ReleaseAll() { std::memset(Tarvo.keyState, 0, sizeof Tarvo.keyState); }

    platform::ScriptedPlatform machine;
    platform::Platform* previous = nullptr;
};

// Key events from script text; a malformed script fails the test.
inline std::vector<KeyEvent> Script(const char* text) {
    std::istringstream in(text);
    std::vector<KeyEvent> events;
    std::string error;
    EXPECT_TRUE(ParseKeyScript(in, events, error)) << error;
    return events;
}

// Rounding as the game rounds: a double expression stored into a float.
inline float F(double value) { return static_cast<float>(value); }
inline double Radians(float degrees) { return degrees * kDegreesToRadians; }
