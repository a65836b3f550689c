// WebPlatform: the machine in a browser, on Emscripten's HTML5 API.
//
// Where the browser can hand a worker a canvas (OffscreenCanvas), the program
// runs in a worker (platform/web/game_worker.js) and draws there, and the
// page's main thread only shows its frames and passes the page's events on;
// elsewhere it runs on the main thread. Either way what only the page can do
// (its focus and sizes, the dialog, sound, gamepads) goes through the page's
// Module.page (index.html), directly or by messages.
//
// The page (platform/web/index.html) holds one <canvas id="canvas"> inside a
// <div id="stage">. The engine's window is that canvas: its client area is the
// window's size in logical pixels, shown as large as the stage takes, at a
// whole factor of device pixels or filling the stage sharp
// (ChoosePageScale, platform/web/web_input.h), again whenever the stage
// changes size. The "screen" is the browser's screen in CSS pixels, made at
// least the game's window (a phone shows the game scaled), with a depth of 16.
//
// Messages (from the HTML5 API's events, or in a worker from the page's, by
// the same rules): keydown/keyup of the page as WM_KEYDOWN/WM_KEYUP with
// virtual-key codes and WM_CHAR for typed text and for Escape, Enter,
// Backspace and Tab; the page's focus and blur as WM_ACTIVATEAPP and
// WM_SETFOCUS/WM_KILLFOCUS, with every key still held let go first; mouse
// moves and buttons on the canvas in logical pixels. The page's touch
// controls (tarvo_page_key) and standard-mapping gamepads (read once a frame
// while one is in use, twice a second while none is) are keys too: the
// keyboard, the controls and each pad hold keys through the desktop's
// translator (platform/gamepad_keys.h), and a pad gone lets go of what it
// held. The engine's message loop is left as it is: the program is built
// with Asyncify, and the frame wait (inside Lock, as on the desktop) yields
// to the browser, which is when its events arrive.
//
// Pacing: a frame starts on the browser's animation frame (the display's
// refresh), at 60 a second by FramePacer on emscripten_get_now: on a faster
// display the refreshes well before the pacer's time are let pass. A hidden
// page has no animation frames, so it runs nothing until shown again, and
// its sound is suspended meanwhile.
//
// Video: surfaces are plain memory. With WebGL the 16-bit back surface goes
// to the GPU as a 5-6-5 texture and one shader pass scales it; without, or
// where WebGL is drawn in software (slower there than a 2D canvas), it is
// converted to RGBA and put on a 2D canvas, as sharp. Message boxes are a modal dialog
// on the page (and a line on the console), waited for with the page still
// live; while one is open, the keys are the dialog's and none is posted. Text is rasterised by the page's canvas text
// and blended into the 16-bit surface.
//
// Sound: Web Audio, the effects decoded from their WAV files into buffers,
// each play a voice with its volume and balance, 16 voices at most, stops
// faded over 40 ms. The browser lets the page sound only once its user has
// pressed a key or clicked.
//
// Scripted input: with `scriptedInput`, the page's keys and mouse are not
// delivered; keys come from Schedule, by frame index, exactly as on the
// scripted backend (a frame is counted each time PeekMessage finds the queue
// empty), and frames run as fast as the machine allows, yielding to the
// browser now and then. `beforeFrame` is called at that moment with the
// number of frames run so far, so a caller can read the state of the frame
// just finished and end the run.
//
// Only this folder includes Emscripten headers.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/platform.h"

namespace platform {

struct WebOptions {
    bool scriptedInput = false;
    bool paced = false;  // scripted input at the display's pace, every frame shown
};

class WebPlatform : public Platform {
public:
    // Delivered once `frame` frames have run (0: before the first frame).
    virtual void Schedule(int frame, const Message& message) = 0;
    // See the header comment; null for none.
    std::function<void(int framesDone)> beforeFrame;
};

std::unique_ptr<WebPlatform> CreateWebPlatform(const WebOptions& options);

// What the page's `window.tarvo.state` holds after each frame: the game's
// report of frame `frame` (0-based), as one line of JSON. A game's page may
// set one before the program starts (a static initialiser in its own
// sources); without one the state says only the frame: {"frame":N}.
using PageFrameReport = std::string (*)(int frame);
void SetPageFrameReport(PageFrameReport report);

}  // namespace platform
