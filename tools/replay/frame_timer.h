// The frames' work as the browser's page times it, for comparing the two
// like for like: the scripted machine timed from each frame's Lock of the
// back surface to the next (the page's frame wait is in that Lock), the time
// spent in Flip and BltFast said apart (there the page hands the picture
// over), and averaged in blocks of 60 frames as the page reports it.
#pragma once

#include <chrono>
#include <vector>

#include "platform/scripted/scripted_platform.h"

class TimedMachine : public platform::ScriptedPlatform {
public:
    // Paced: each frame starts a display refresh (1/60 s) after the last
    // one began, as on the page, the wait not timed; else frames run back to
    // back, their data warm in the caches.
    explicit TimedMachine(bool paced = false) : paced(paced) {}

    platform::HResult Lock(platform::SurfaceHandle surface, platform::SurfaceDesc& desc) override;
    platform::HResult Flip(platform::SurfaceHandle primary) override;
    platform::HResult BltFast(platform::SurfaceHandle dest, int x, int y, platform::SurfaceHandle source) override;

    // The median of the 60-frame means, in microseconds: all the work, and
    // the part of it in Flip and BltFast. Zero before 60 frames.
    double MedianWorkMicros() const;
    double MedianPresentMicros() const;
    int FramesTimed() const { return static_cast<int>(work.size()); }

private:
    using Clock = std::chrono::steady_clock;
    bool paced;
    bool started = false;
    Clock::time_point frameBegan;
    Clock::time_point since;
    double presentMicros = 0;
    std::vector<double> work;     // each frame's, the hand-over included
    std::vector<double> present;  // each frame's time in Flip and BltFast
};
