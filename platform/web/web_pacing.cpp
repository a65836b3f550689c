// Pacing: a frame starts on the browser's animation frame, at 60 a second;
// a scripted run goes as fast as it can and yields now and then.
#include "platform/web/web_backend.h"

namespace platform {

// Holds play to 60 frames a second and gives the browser its turn: its
// events arrive and the canvas is shown only while the program waits.
void BrowserPlatform::Pace() {
    const double nowMs = emscripten_get_now();
    if (lastWakeMs > 0) {
        workMs += nowMs - lastWakeMs;
        if (++workFrames == 60) {
            PageFrameWork(workMs / workFrames, presentMs / workFrames);
            workMs = 0;
            presentMs = 0;
            workFrames = 0;
        }
    }
    if (fastScript) {
        if (nowMs - lastYieldMs >= kScriptedYieldMs) {
            if (shown != nullptr) {
                PresentNow(*shown);
                shown = nullptr;
            }
            emscripten_sleep(0);
            lastYieldMs = emscripten_get_now();
        }
        lastWakeMs = emscripten_get_now();
        return;
    }
    if (Playing()) ReadGamepads();
    const int64_t until = pacer.FrameStart(static_cast<int64_t>(nowMs * 1e6));
    // Frames start on the display's refresh, at least one refresh apart
    // (even a late frame yields, or the page would freeze); on a display
    // faster than 60 Hz the refreshes well before the pacer's time pass.
    do {
        PageNextAnimationFrame();
    } while (static_cast<int64_t>(emscripten_get_now() * 1e6) < until - kFramePeriodNanos / 4);
    lastWakeMs = emscripten_get_now();
}

}  // namespace platform
