// The SDL backend's presentation, one object the platform owns: the
// renderer, the streaming texture the back surface goes to, refresh sync and
// the pacer that holds frames to 60 a second. Only this folder includes it.
#pragma once

#include <SDL.h>

#include <chrono>
#include <cstdint>

#include "platform/frame_pacer.h"
#include "platform/memory_surfaces.h"

namespace platform {

using SdlClock = std::chrono::steady_clock;
constexpr int64_t kFramePeriodNanos = 1'000'000'000 / 60;

class SdlPresentation {
public:
    SdlPresentation() = default;
    ~SdlPresentation() { Destroy(); }
    SdlPresentation(const SdlPresentation&) = delete;
    SdlPresentation& operator=(const SdlPresentation&) = delete;

    // A renderer for `window`, its texture in `pixelFormat`; false when
    // neither an accelerated nor a software one can be made.
    bool Create(SDL_Window* window, Uint32 pixelFormat);
    void Destroy();
    bool Ready() const { return renderer != nullptr; }
    bool Accelerated() const { return accelerated; }

    // Black over the whole window, shown at once.
    void ShowBlack();
    // Shows a whole surface: stretched over the window in the engine's own
    // full screen mode, else `shownWidth` x `shownHeight` of it at the largest
    // whole scale that fits, centred. False when the device is gone.
    bool Show(const MemorySurface& source, bool fullscreenMode, int shownWidth, int shownHeight);
    // Holds frames to 60 a second; called as each frame starts.
    void Pace();
    // Refresh sync only where `window`'s display runs at about 60 Hz.
    void DecideVsyncAgain(SDL_Window* window);

    long Frames() const { return presentedFrames; }

private:
    static bool DisplayRunsAt60(SDL_Window* window);

    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    Uint32 format = 0;
    int textureWidth = 0;
    int textureHeight = 0;
    bool vsync = false;
    bool accelerated = false;
    FramePacer pacer{kFramePeriodNanos};
    long presentedFrames = 0;
};

}  // namespace platform
