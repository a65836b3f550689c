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
// Depends on platform/platform.h only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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

// How a canvas of width x height logical pixels is shown on a page area of
// pageWidth x pageHeight CSS pixels at devicePixelRatio device pixels a CSS
// pixel: each logical pixel becomes a square of `factor` device pixels, the
// largest whole factor that fits (at least 1, so a small page scrolls rather
// than shrinking the picture unevenly). cssWidth and cssHeight are the
// canvas's size on the page in CSS pixels.
struct PageScale {
    int factor = 1;
    double cssWidth = 0;
    double cssHeight = 0;
};
PageScale ChoosePageScale(double pageWidth, double pageHeight, double devicePixelRatio, int width, int height);

// A position on the canvas in CSS pixels (from its top-left corner) as a
// logical pixel, for a canvas `logical` pixels wide shown `css` pixels wide.
int LogicalFromCss(double cssPosition, int logical, double css);

// What the page's address asks for: play from the keyboard, or play a key
// script for `frames` frames.
struct PageRun {
    bool scripted = false;
    int frames = -1;  // -1: until the player quits
};
constexpr int kMaxScriptFrames = 1'000'000;

// The run asked for by an address with (`hasScript`) or without a `script`
// parameter and with the `frames` parameter `framesText` (null when absent).
// A script needs frames, 1 to kMaxScriptFrames; frames need a script. False,
// with `error` saying why, for an address refused.
bool ReadPageAddress(bool hasScript, const char* framesText, PageRun& run, std::string& error);

}  // namespace platform
