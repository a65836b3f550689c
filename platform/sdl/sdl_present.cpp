// Presentation: the back surface uploaded to a streaming texture one to one
// and put on the window by SDL's renderer, which converts the 16-bit pixels
// to the desktop's depth. And pacing: every speed in the game is per frame,
// so frames are held to 60 a second (platform/frame_pacer.h), with refresh
// sync where the display runs at about 60 Hz to keep the picture whole.
#include "platform/sdl/sdl_present.h"

#include <algorithm>
#include <thread>

#include "platform/window_scale.h"

namespace platform {

bool SdlPresentation::Create(SDL_Window* window, Uint32 pixelFormat) {
    format = pixelFormat;
    // Refresh sync keeps the picture whole where the display runs at
    // 60 Hz; the pacer's timer holds the rate either way.
    vsync = DisplayRunsAt60(window);
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED | (vsync ? SDL_RENDERER_PRESENTVSYNC : 0));
    if (renderer == nullptr) {
        vsync = false;
        renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    }
    if (renderer == nullptr) return false;
    SDL_RendererInfo info;
    accelerated = SDL_GetRendererInfo(renderer, &info) == 0 && (info.flags & SDL_RENDERER_ACCELERATED) != 0;
    if ((info.flags & SDL_RENDERER_PRESENTVSYNC) == 0) vsync = false;
    return true;
}

void SdlPresentation::Destroy() {
    if (texture != nullptr) SDL_DestroyTexture(texture);
    texture = nullptr;
    textureWidth = textureHeight = 0;
    if (renderer != nullptr) SDL_DestroyRenderer(renderer);
    renderer = nullptr;
}

void SdlPresentation::ShowBlack() {
    if (renderer == nullptr) return;
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_RenderPresent(renderer);
}

bool SdlPresentation::Show(const MemorySurface& source, bool fullscreenMode, int shownWidth, int shownHeight) {
    if (renderer == nullptr) return false;
    if (texture == nullptr || textureWidth != source.width || textureHeight != source.height) {
        if (texture != nullptr) SDL_DestroyTexture(texture);
        texture = SDL_CreateTexture(renderer, format, SDL_TEXTUREACCESS_STREAMING, source.width, source.height);
        if (texture == nullptr) return false;
        textureWidth = source.width;
        textureHeight = source.height;
    }
    SDL_UpdateTexture(texture, nullptr, source.pixels.data(), source.pitchBytes);
    SDL_RenderSetLogicalSize(renderer, fullscreenMode ? source.width : 0, fullscreenMode ? source.height : 0);
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    // Windowed, the window's client area of the surface (which may be a
    // pixel larger each way), each logical pixel a square block, black around.
    if (fullscreenMode) {
        shownWidth = source.width;
        shownHeight = source.height;
    } else {
        shownWidth = std::min(shownWidth, source.width);
        shownHeight = std::min(shownHeight, source.height);
    }
    PicturePlace place;
    if (!fullscreenMode) {
        int outputWidth = 0, outputHeight = 0;
        SDL_GetRendererOutputSize(renderer, &outputWidth, &outputHeight);
        place = PlacePicture(outputWidth, outputHeight, shownWidth, shownHeight);
    }
    const SDL_Rect part{0, 0, shownWidth, shownHeight};
    const SDL_Rect at{place.x, place.y, shownWidth * place.scale, shownHeight * place.scale};
    SDL_RenderCopy(renderer, texture, &part, &at);
    SDL_RenderPresent(renderer);
    ++presentedFrames;
    return true;
}

// The timer is the floor under every frame, whether or not its present
// waited. The wait happens when the next frame locks the back surface, so
// frames that are not shown are paced too.
void SdlPresentation::Pace() {
    const int64_t now =
        std::chrono::duration_cast<std::chrono::nanoseconds>(SdlClock::now().time_since_epoch()).count();
    const int64_t until = pacer.FrameStart(now);
    if (until > now) std::this_thread::sleep_until(SdlClock::time_point(std::chrono::nanoseconds(until)));
}

// Decided again when the window moves to another display or a display's
// mode changes.
bool SdlPresentation::DisplayRunsAt60(SDL_Window* window) {
    const int display = std::max(0, SDL_GetWindowDisplayIndex(window));
    SDL_DisplayMode mode;
    const int refresh = SDL_GetCurrentDisplayMode(display, &mode) == 0 ? mode.refresh_rate : 0;
    return refresh >= 59 && refresh <= 61;
}

void SdlPresentation::DecideVsyncAgain(SDL_Window* window) {
    if (renderer == nullptr || window == nullptr) return;
    vsync = DisplayRunsAt60(window) && SDL_RenderSetVSync(renderer, 1) == 0;
    if (!vsync) SDL_RenderSetVSync(renderer, 0);
}

}  // namespace platform
