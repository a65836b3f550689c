// Runs the real game on the scripted backend: no display, no clock. The game
// starts as the entry point starts it (WinMain: initialize(), then the message
// loop calling run()); key events reach the engine's WindowProc as
// WM_KEYDOWN / WM_KEYUP messages before the run() call they name.
//
// Used by tarvo-replay and by the game's tests. One replay at a time; each
// starts from the state of a fresh program (engine and game globals reset).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/key_script.h"
#include "platform/scripted/scripted_platform.h"

struct ReplayResult {
    int exitCode = 0;   // WinMain's
    int framesRun = 0;  // run() calls made
};

// Runs `frames` frames. `afterFrame(f)` is called after run() call f
// (0-based), while the finished back buffer is still in place. `machine`
// is installed as the platform for the run and may be set up beforehand.
ReplayResult RunReplay(platform::ScriptedPlatform& machine, const std::vector<KeyEvent>& events, int frames,
                       const std::function<void(int frame)>& afterFrame);

// Writes the back buffer of the frame just drawn as a 24-bit TIFF through
// the engine's writer. False when there is no back buffer.
bool SaveBackBuffer(platform::ScriptedPlatform& machine, const std::string& path);
