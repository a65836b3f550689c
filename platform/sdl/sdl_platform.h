// SdlPlatform: the real machine, on SDL2 and SDL2_ttf.
//
// The emulated display is a 16-bit high-colour screen (5-6-5, or 5-5-5 with
// TARVO_PIXEL_LAYOUT=555) whatever the desktop's depth; SDL converts when it
// presents. Surfaces are plain memory that the engine locks and draws into;
// presentation uploads the back surface to a streaming texture one to one.
//
// Pacing: every speed in the game is per frame, so presentation holds the
// program to 60 frames a second: by waiting for the display's refresh where
// that is 60 Hz, and by its own timer everywhere else (faster displays, no
// refresh sync, a hidden window). The wait happens when the next frame locks
// the back surface, so frames that are not shown are paced too.
//
// Only this folder includes SDL headers.
#pragma once

#include <memory>

#include "platform/platform.h"

namespace platform {

// A new SDL2 backend. SDL itself starts when the engine registers its window
// class; a machine without a usable display fails there.
std::unique_ptr<Platform> CreateSdlPlatform();

// Frames the backend has put on the screen so far (for tests and tools).
long SdlPresentedFrames(const Platform& sdlPlatform);

}  // namespace platform
