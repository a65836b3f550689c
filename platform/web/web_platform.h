// WebPlatform: the machine in a browser, on Emscripten's HTML5 API.
//
// The page (platform/web/index.html) holds one <canvas id="canvas"> inside a
// <div id="stage">. The engine's window is that canvas: its client area is the
// canvas's size in logical pixels, shown at the largest whole factor of device
// pixels that fits the stage, never blurred (platform/web/web_input.h). The
// "screen" is the browser's screen, in CSS pixels, with a depth of 16.
//
// Messages: keydown/keyup of the page as WM_KEYDOWN/WM_KEYUP with virtual-key
// codes and WM_CHAR for typed text and for Escape, Enter, Backspace and Tab;
// the page's focus and blur as WM_ACTIVATEAPP and WM_SETFOCUS/WM_KILLFOCUS,
// with every key still held let go first; mouse moves and buttons on the
// canvas in logical pixels. The engine's message loop is left as it is: the
// program is built with Asyncify, and the frame wait (inside Lock, as on the
// desktop) yields to the browser, which is when its events arrive.
//
// Pacing: 60 frames a second by this backend's own timer (FramePacer on
// emscripten_get_now), whatever the display's refresh rate.
//
// Video: surfaces are plain memory; presentation converts the 16-bit back
// surface to RGBA and puts it on the canvas. Message boxes are a modal dialog
// on the page (and a line on the console), waited for with the page still
// live; while one is open, the keys are the dialog's and none is posted. Text is rasterised by the page's canvas text and blended into the
// 16-bit surface.
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

#include "platform/platform.h"

namespace platform {

struct WebOptions {
    bool scriptedInput = false;
};

class WebPlatform : public Platform {
public:
    // Delivered once `frame` frames have run (0: before the first frame).
    virtual void Schedule(int frame, const Message& message) = 0;
    // See the header comment; null for none.
    std::function<void(int framesDone)> beforeFrame;
};

std::unique_ptr<WebPlatform> CreateWebPlatform(const WebOptions& options);

}  // namespace platform
