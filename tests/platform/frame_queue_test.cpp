#include "platform/frame_queue.h"

#include <gtest/gtest.h>

#include <vector>

namespace platform {
namespace {

Message Key(uintptr_t vk) { return {nullptr, WM_KEYDOWN, vk, 0}; }

// What comes out of each frame's turn: the wParams taken before the queue ran dry.
std::vector<std::vector<uintptr_t>> Drain(FrameQueue& queue, int frames,
                                          const std::function<void(int)>& beforeFrame = nullptr) {
    std::vector<std::vector<uintptr_t>> out(1);
    Message m;
    while (static_cast<int>(out.size()) <= frames) {
        if (queue.Take(m, beforeFrame))
            out.back().push_back(m.wParam);
        else
            out.emplace_back();
    }
    out.pop_back();
    return out;
}

TEST(FrameQueue, PostedFirstThenScheduledByFrameInOrder) {
    FrameQueue queue;
    queue.Schedule(2, Key(20));
    queue.Schedule(0, Key(1));  // due already: after what was posted before it
    queue.Schedule(2, Key(21));
    queue.Post(Key(2));
    queue.Schedule(1, Key(10));
    const std::vector<std::vector<uintptr_t>> expected = {{1, 2}, {10}, {20, 21}, {}};
    EXPECT_EQ(Drain(queue, 4), expected);
    EXPECT_EQ(queue.FramesRun(), 4);
    // A frame already run delivers at once.
    queue.Schedule(3, Key(30));
    Message m;
    ASSERT_TRUE(queue.Take(m, nullptr));
    EXPECT_EQ(m.wParam, 30u);
}

TEST(FrameQueue, HookRunsOnceAFrameAndItsMessagesComeFirst) {
    FrameQueue queue;
    queue.Schedule(1, Key(10));
    std::vector<int> asked;
    const auto hook = [&](int framesDone) {
        asked.push_back(framesDone);
        if (framesDone == 1) queue.Post(Key(99));
    };
    const std::vector<std::vector<uintptr_t>> expected = {{}, {10, 99}, {}};
    EXPECT_EQ(Drain(queue, 3, hook), expected);
    EXPECT_EQ(asked, (std::vector<int>{0, 1, 2}));
}

}  // namespace
}  // namespace platform
