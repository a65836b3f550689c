// The frame pacer on a simulated clock: a frame loop that draws for 2 ms and
// presents to displays of several refresh rates, with presents that wait for
// the refresh or return at once, frames that are not presented and a stall.
// Whatever the display does, the game runs at 60 +- 0.5 frames a second and
// no single wait of the pacer exceeds one period.
#include "platform/frame_pacer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

namespace {

constexpr int64_t kSecond = 1'000'000'000;
constexpr int64_t kPeriod = kSecond / 60;
constexpr int64_t kDraw = 2'000'000;

struct PacingCase {
    const char* name;
    double refreshHz;  // 0: presents return at once
    int frames;
    int unpresentedFrom;  // frames [from, to) are not presented (hidden, off screen)
    int unpresentedTo;
    int stallAtFrame;  // the process is suspended before this frame (-1: never)
};

struct PacingResult {
    double rate;  // frames a second, stall left out
    int64_t longestWait;
};

PacingResult Simulate(const PacingCase& c) {
    FramePacer pacer(kPeriod);
    const double refresh = c.refreshHz > 0 ? kSecond / c.refreshHz : 0;
    int64_t now = 0;
    int64_t longestWait = 0;
    int64_t stalled = 0;
    int64_t firstStart = -1, lastStart = 0;
    for (int frame = 0; frame < c.frames; ++frame) {
        if (frame == c.stallAtFrame) {
            now += 5 * kSecond;
            stalled += 5 * kSecond;
        }
        const int64_t start = pacer.FrameStart(now);
        longestWait = std::max(longestWait, start - now);
        now = start;
        if (firstStart < 0) firstStart = start;
        lastStart = start;
        now += kDraw;
        const bool presented = frame < c.unpresentedFrom || frame >= c.unpresentedTo;
        // A present that waits returns at the display's next refresh.
        if (presented && refresh > 0) now = static_cast<int64_t>((static_cast<int64_t>(now / refresh) + 1) * refresh);
    }
    const double seconds = static_cast<double>(lastStart - firstStart - stalled) / kSecond;
    return {(c.frames - 1) / seconds, longestWait};
}

TEST(FramePacer, SixtyFramesASecondOnAnyDisplayAndNoWaitLongerThanAPeriod) {
    const int tenMinutes = 60 * 60 * 10;
    const PacingCase cases[] = {
        {"60 Hz, waiting presents", 60.0, 3600, 0, 0, -1},
        {"61 Hz, waiting presents", 61.0, 3600, 0, 0, -1},
        {"60.05 Hz, waiting presents", 60.05, 3600, 0, 0, -1},
        {"59.94 Hz, waiting presents", 59.94, 3600, 0, 0, -1},
        {"144 Hz, waiting presents", 144.0, 3600, 0, 0, -1},
        {"presents that do not wait", 0, 3600, 0, 0, -1},
        // Ten minutes at 61 Hz, then the window is hidden for ten seconds.
        {"61 Hz, then unpresented frames", 61.0, tenMinutes + 600, tenMinutes, tenMinutes + 600, -1},
        {"60.05 Hz, unpresented runs", 60.05, 3600, 1000, 1300, -1},
        {"144 Hz, unpresented runs", 144.0, 3600, 100, 2000, -1},
        {"a long stall", 60.0, 3600, 0, 0, 1800},
        {"a long stall, presents that do not wait", 0, 3600, 0, 0, 1800},
    };
    for (const PacingCase& c : cases) {
        const PacingResult r = Simulate(c);
        EXPECT_NEAR(r.rate, 60.0, 0.5) << c.name;
        EXPECT_LE(r.longestWait, kPeriod) << c.name;
    }
}

// The frames right after a stall are not hurried to catch up.
TEST(FramePacer, AfterAStallFramesKeepTheirPeriod) {
    FramePacer pacer(kPeriod);
    int64_t now = 0;
    for (int i = 0; i < 10; ++i) now = pacer.FrameStart(now) + kDraw;
    now += 5 * kSecond;
    int64_t previous = pacer.FrameStart(now);
    EXPECT_EQ(previous, now) << "the first frame after the stall starts at once";
    now = previous + kDraw;
    for (int i = 0; i < 10; ++i) {
        const int64_t start = pacer.FrameStart(now);
        EXPECT_EQ(start - previous, kPeriod) << "frame " << i;
        previous = start;
        now = start + kDraw;
    }
}

}  // namespace
