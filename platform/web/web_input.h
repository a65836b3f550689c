// The browser's input and page size, as the engine's virtual keys, characters
// and whole scales: the pure part of the web backend (platform/web/), kept
// apart from Emscripten so that it builds and is tested natively.
//
// Keys: a browser's `keyCode` descends from the desktop's virtual-key codes,
// so most keys pass through unchanged (arrows, Space, letters, digits, F-keys,
// the numeric pad). The translation keeps only codes the engine declares and
// maps the few that some browsers number otherwise.
//
// Held keys: a page that loses the focus never hears the key-ups of keys
// still held, so the backend remembers what it reported down and lets go of
// it all on blur.
//
// The page's address: a key script must say how many frames it plays, so
// that no link can start a run that never ends.
//
// Depends on platform/platform.h and platform/gamepad_keys.h only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/gamepad_keys.h"

namespace platform {

// The virtual-key code for a browser keyCode, or 0 for keys the engine has no
// code for.
int VirtualKeyFromBrowser(unsigned long keyCode);

// The single-byte character typed by a keydown whose `key` attribute is the
// UTF-8 text `key`: its code when `key` is one character below 256 and no
// Ctrl, Alt or Meta modifier is held, else 0 ("ArrowUp", "é" in Latin-1 is
// 233, "€" is none).
int TypedCharacter(const char* key, bool ctrl, bool alt, bool meta);

// Whether the page's default action for a key is withheld: keys the engine
// receives, unless a browser shortcut is meant (Ctrl, Alt or Meta held) or the
// key is a function key (reload, full screen and the developer tools stay the
// browser's).
bool KeyIsTheGames(int virtualKey, bool ctrl, bool alt, bool meta);

// Keys reported down and not yet up.
class HeldKeys {
public:
    void Down(int virtualKey);
    void Up(int virtualKey);
    bool IsHeld(int virtualKey) const;
    // Every held key, in the order pressed; afterwards none is held.
    std::vector<int> ReleaseAll();

private:
    std::vector<int> held;
};

// The screen the engine is told of, for a browser whose screen is width x
// height CSS pixels: at least the game's window, frame included (756 x 512),
// since the page scales the picture to whatever room it has. A phone's screen
// is smaller than the window in CSS pixels, yet shows the game well.
struct ScreenSize {
    int width = 0;
    int height = 0;
};
constexpr ScreenSize kLeastPageScreen{756, 512};
ScreenSize ScreenForPage(int width, int height);

// How a picture of width x height logical pixels is shown on a page area of
// pageWidth x pageHeight CSS pixels at devicePixelRatio device pixels a CSS
// pixel. As large as fits, keeping its shape: at the largest whole factor of
// device pixels (each logical pixel a `factor` x `factor` square, drawn
// nearest), unless that leaves more than a tenth of the area's limiting side
// empty; then the picture fills the limiting side (`whole` false), enlarged
// nearest to `factor`, the next whole scale, and smoothly down from there, so
// every pixel keeps the same size and its edges are at most one device pixel
// soft. Never below one device pixel a logical pixel: a smaller page scrolls.
// deviceWidth x deviceHeight is the picture in device pixels, cssWidth x
// cssHeight the same on the page.
struct PageScale {
    bool whole = true;
    int factor = 1;
    int deviceWidth = 0;
    int deviceHeight = 0;
    double cssWidth = 0;
    double cssHeight = 0;
};
PageScale ChoosePageScale(double pageWidth, double pageHeight, double devicePixelRatio, int width, int height);

// A standard-mapping gamepad's button, by its index in the browser's Gamepad
// API (0 to 3 the face buttons: bottom, right, left, top; 8 back, 9 start,
// 12 to 15 the d-pad).
PadButton StandardPadButton(int index);
// A stick axis of the Gamepad API (-1 to 1) as the translator's -32768..32767.
int PadAxisValue(double value);

// A position on the canvas in CSS pixels (from its top-left corner) as a
// logical pixel, for a canvas `logical` pixels wide shown `css` pixels wide.
int LogicalFromCss(double cssPosition, int logical, double css);

// What the page's address asks for: play from the keyboard, or play a key
// script for `frames` frames.
struct PageRun {
    bool scripted = false;
    int frames = -1;  // -1: until the player quits
    bool paced = false;  // a script played at the display's pace, not as fast as it goes
};
constexpr int kMaxScriptFrames = 1'000'000;

// The run asked for by an address with (`hasScript`) or without a `script`
// parameter and with the `frames` parameter `framesText` (null when absent).
// A script needs frames, 1 to kMaxScriptFrames; frames need a script. The
// `paced` parameter `pacedText` (null when absent), "1", plays the script
// at the display's pace, a frame each refresh and each shown, as a player's
// frames are (for timing them); it needs a script too. False, with `error`
// saying why, for an address refused.
bool ReadPageAddress(bool hasScript, const char* framesText, PageRun& run, std::string& error,
                     const char* pacedText = nullptr);

}  // namespace platform
