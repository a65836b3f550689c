#include "tools/replay/frame_timer.h"

#include <algorithm>
#include <thread>

namespace {

constexpr size_t kBlock = 60;

double MedianOfBlockMeans(const std::vector<double>& frames) {
    std::vector<double> means;
    for (size_t start = 0; start + kBlock <= frames.size(); start += kBlock) {
        double sum = 0;
        for (size_t i = start; i < start + kBlock; ++i) sum += frames[i];
        means.push_back(sum / kBlock);
    }
    if (means.empty()) return 0;
    std::nth_element(means.begin(), means.begin() + static_cast<ptrdiff_t>(means.size() / 2), means.end());
    return means[means.size() / 2];
}

}  // namespace

platform::HResult TimedMachine::Lock(platform::SurfaceHandle surface, platform::SurfaceDesc& desc) {
    const Clock::time_point now = Clock::now();
    if (started) {
        work.push_back(std::chrono::duration<double, std::micro>(now - since).count());
        present.push_back(presentMicros);
    }
    const platform::HResult result = ScriptedPlatform::Lock(surface, desc);
    if (paced) {
        if (started) std::this_thread::sleep_until(frameBegan + std::chrono::microseconds(16667));
        frameBegan = Clock::now();
    }
    started = true;
    presentMicros = 0;
    since = Clock::now();
    return result;
}

platform::HResult TimedMachine::Flip(platform::SurfaceHandle primary) {
    const Clock::time_point start = Clock::now();
    const platform::HResult result = ScriptedPlatform::Flip(primary);
    presentMicros += std::chrono::duration<double, std::micro>(Clock::now() - start).count();
    return result;
}

platform::HResult TimedMachine::BltFast(platform::SurfaceHandle dest, int x, int y, platform::SurfaceHandle source) {
    const Clock::time_point start = Clock::now();
    const platform::HResult result = ScriptedPlatform::BltFast(dest, x, y, source);
    presentMicros += std::chrono::duration<double, std::micro>(Clock::now() - start).count();
    return result;
}

double TimedMachine::MedianWorkMicros() const { return MedianOfBlockMeans(work); }
double TimedMachine::MedianPresentMicros() const { return MedianOfBlockMeans(present); }
