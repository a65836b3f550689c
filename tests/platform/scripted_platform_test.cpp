#include <gtest/gtest.h>

#include <vector>

#include "tests/support/engine_fixture.h"

namespace {

TEST_F(EngineTest, BeforeFrameRunsOncePerFrameEvenWhenItQueuesInput) {
    std::vector<int> asked;
    machine.beforeFrame = [&](int framesDone) {
        asked.push_back(framesDone);
        // Called again for the same frame, this would queue keys for ever.
        if (asked.size() > 50) machine.PostQuitMessage(1);
        machine.QueueKeyDown(framesDone % 2 == 0 ? 'A' : 'B');
    };
    int frames = 0;
    test_game::onInitialize = [] { Tarvo.Initialize(false, 400, 300); };
    test_game::onRun = [&] {
        // The key queued for this frame arrived before it.
        EXPECT_EQ(Tarvo.IsKeyDown(frames % 2 == 0 ? 'A' : 'B'), 1);
        if (++frames == 3) machine.PostQuitMessage(0);
    };
    EXPECT_EQ(WinMain(nullptr, nullptr, "", 1), 0);
    EXPECT_EQ(asked, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(frames, 3);
}

}  // namespace
