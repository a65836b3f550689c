// Engine tests: a freshly constructed engine and debug log (in the test's
// own directory), the scripted platform installed, and an empty game.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <new>
#include <sstream>
#include <string>

#include "engine/debug_log.h"
#include "engine/windows_dx.h"
#include "platform/scripted/scripted_platform.h"
#include "tests/support/engine_reset.h"
#include "tests/support/test_game.h"

class EngineTest : public testing::Test {
protected:
    void SetUp() override {
        previous = &platform::Current();
        platform::SetCurrent(&machine);
        ResetEngine();
        // As at program start: the log opens debug.txt here and writes its header.
        debugLog.~DebugLog();
        new (&debugLog) DebugLog();
        test_game::Reset();
    }
    void TearDown() override {
        test_game::Reset();
        ResetEngine();
        platform::SetCurrent(previous);
    }

    // Starts the engine the way this game does and expects success.
    void StartWindowed(int width = 756, int height = 512) {
        ASSERT_TRUE(Tarvo.Initialize(false, width, height));
        ASSERT_EQ(Tarvo.status, INIT_OK);
    }

    static std::string ReadLog() {
        std::ifstream in("debug.txt", std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    platform::ScriptedPlatform machine;
    platform::Platform* previous = nullptr;
};
