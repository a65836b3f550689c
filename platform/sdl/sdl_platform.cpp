// The SDL2 backend's life: what it holds is made on demand by the other files
// of this folder and let go here, in the reverse order.
#include "platform/sdl/sdl_platform.h"

#include <cstdlib>
#include <cstring>

#include "platform/sdl/sdl_backend.h"

namespace platform {

SdlPlatform::SdlPlatform(const SdlOptions& options)
    : requestedScale(options.scale),
      startFullscreen(options.fullscreen),
      keyMap(options.keys),
      remembered(options.remembered),
      settingsPath(options.settingsPath),
      startupLog(options.startupLog),
      muted(options.muted),
      lastMuted(options.muted ? options.muted() : false) {
    const char* layoutName = std::getenv("TARVO_PIXEL_LAYOUT");
    rgb555 = layoutName != nullptr && std::strcmp(layoutName, "555") == 0;
}

SdlPlatform::~SdlPlatform() {
    // M pressed just before the end is remembered too.
    WatchMute();
    for (auto& [id, controller] : controllers) SDL_GameControllerClose(controller);
    sound.Close();
    presentation.Destroy();
    for (SdlWindow* w : windows) {
        if (w->sdl != nullptr) SDL_DestroyWindow(w->sdl);
        delete w;
    }
    if (font != nullptr) TTF_CloseFont(font);
    if (TTF_WasInit()) TTF_Quit();
    if (started) SDL_Quit();
}

std::unique_ptr<Platform> CreateSdlPlatform(const SdlOptions& options) {
    return std::make_unique<SdlPlatform>(options);
}

long SdlPresentedFrames(const Platform& sdlPlatform) {
    return static_cast<const SdlPlatform&>(sdlPlatform).PresentedFrames();
}

void SdlMuteChanged(Platform& sdlPlatform, bool muted) { static_cast<SdlPlatform&>(sdlPlatform).MuteChanged(muted); }

int SdlWindowScale(const Platform& sdlPlatform) { return static_cast<const SdlPlatform&>(sdlPlatform).scale; }

bool SdlScaleFits(Platform& sdlPlatform, int width, int height, std::string& why) {
    return static_cast<SdlPlatform&>(sdlPlatform).RequestedScaleFits(width, height, why);
}

}  // namespace platform
