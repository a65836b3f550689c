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
// Big screens: each window is shown at a whole scale (SdlOptions), every
// logical pixel a square block, nearest-neighbour. The engine sees the
// logical client size and logical mouse positions; window positions stay the
// desktop's. The main window can be resized from 1x up, and F11 or Alt+Enter
// toggles full screen (the desktop as it is, no mode change): either way the
// picture takes the largest whole scale that fits, centred, black around it,
// and mouse positions are the picture's pixels, clamped to its edge.
//
// Keys: a key map (platform/key_map.h) says which keyboard keys play the
// game's keys. What the player changes while playing (full screen, M as the
// engine's audio reports it, a resized window's scale) is written to the
// settings file at once
// (platform/settings.h); problems go to debug.txt, never to a box.
//
// Game controllers: the d-pad and left stick, the face buttons and Start play
// the game's actions and Back is Escape (platform/gamepad_keys.h), from
// controllers connected at start or plugged in later.
//
// Sound: SDL2_mixer, 44100 Hz stereo, 16 voices. The audio output opens on
// its own, display or not; without a device OpenAudio says why and the rest
// of the program is unaffected. A device that goes while playing is logged
// once and the game plays on in silence until one comes back.
//
// Only this folder includes SDL headers.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/settings.h"

namespace platform {

struct SdlOptions {
    // Whole factor the windows are shown at (platform/window_scale.h); 0
    // chooses the largest that fits the desktop when the first window opens,
    // and again when the display changes.
    int scale = 0;
    // Start in full screen.
    bool fullscreen = false;
    // The keys, and what to remember: `remembered` as read from the file at
    // `settingsPath` (options given on the command line left out), written
    // back with each change the player makes; no path: nothing is written.
    KeyMap keys;
    Settings remembered;
    std::string settingsPath;
    // Lines for debug.txt, written once the engine has opened it.
    std::vector<std::string> startupLog;
    // For an owner that does not report mute changes (SdlMuteChanged): the
    // engine's mute, asked as the backend starts and as it ends, so that M
    // is still remembered.
    std::function<bool()> muted;
};

// A new SDL2 backend. SDL itself starts when the engine registers its window
// class; a machine without a usable display fails there.
std::unique_ptr<Platform> CreateSdlPlatform(const SdlOptions& options = {});

// The engine's mute changed (M): remembered in the settings at once.
void SdlMuteChanged(Platform& sdlPlatform, bool muted);

// Frames the backend has put on the screen so far (for tests and tools).
long SdlPresentedFrames(const Platform& sdlPlatform);
// Voices sounding now; 0 while the audio output is closed or gone.
int SdlVoicesPlaying(const Platform& sdlPlatform);
// The scale in use; 0 until the first window has opened.
int SdlWindowScale(const Platform& sdlPlatform);

// Whether the scale asked for in SdlOptions shows a client area of
// width x height (logical pixels) whole on the usable part of the display
// windows open on; checked before start, so that a window that could show
// nothing is never opened. Starts SDL's video when it can; true when no scale
// was asked for or there is no display (start-up then says why). False with
// the reason in `why`.
bool SdlScaleFits(Platform& sdlPlatform, int width, int height, std::string& why);

// The canonical spelling of a keyboard key's SDL name ("left" is "Left"), or
// "" for a name no key has. Needs no display.
std::string SdlKeyName(std::string_view name);

}  // namespace platform
