// SdlPlatform: the real machine, on SDL2, SDL2_ttf and SDL2_mixer.
//
// The emulated display is a 16-bit high-colour screen (5-6-5, or 5-5-5 with
// TARVO_PIXEL_LAYOUT=555) whatever the desktop's depth; SDL converts when it
// presents. Surfaces are plain memory that the engine locks and draws into;
// presentation uploads the back surface to a streaming texture one to one.
//
// Pacing: every speed in the game is per frame, so presentation holds the
// program to 60 frames a second by a timer (platform/frame_pacer.h) that is
// the floor under every frame: refresh sync, where the display runs at about
// 60 Hz, keeps the picture whole, and the timer tops up presents that return
// early (faster displays, drivers that do not wait, a hidden window). Refresh
// sync is decided again when the window changes display. The wait happens
// when the next frame locks the back surface, so frames that are not shown
// are paced too.
//
// The screen the engine sees is display 0: its size, and window positions
// given to CreateWindow relative to its top-left corner (which need not be
// the desktop's origin). Positions reported back are the desktop's.
//
// Sound: SDL2_mixer, 44100 Hz stereo, 16 voices. The audio output opens on
// its own, display or not; without a device OpenAudio says why and the rest
// of the program is unaffected.
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
