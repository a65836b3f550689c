/// @file
/// Key scripts: the game's keys over time, as text, so that a game can be
/// replayed exactly (tarvo-replay reads them).
///
/// One event a line: `FRAME down|up KEY`, FRAME being the 0-based index of the
/// run() call before which the key changes. A line whose first non-blank
/// character is '#' is a comment; blank lines are ignored. A key stays held
/// until its `up` line.
///
/// KEY names a virtual key, in any case (written in upper case):
/// - A to Z, 0 to 9, F1 to F24, NUMPAD0 to NUMPAD9;
/// - ENTER (also read as RETURN), ESCAPE, TAB, BACKSPACE, SPACE, LEFT, UP,
///   RIGHT, DOWN, INSERT, DELETE, HOME, END, PAGEUP, PAGEDOWN, SHIFT, CONTROL,
///   ALT, LSHIFT, RSHIFT, LCONTROL, RCONTROL, LALT, RALT, CAPSLOCK, PAUSE;
/// - the numeric pad's MULTIPLY, ADD, SUBTRACT, DECIMAL, DIVIDE;
/// - the punctuation keys by what they type unshifted on a US keyboard:
///   `;` `=` `,` `-` `.` `/` `` ` `` `[` `\` `]` `` ' ``;
/// - any other code from 1 to 254 as 0x and two hex digits (0x5B); a named
///   key is read in that form too, but written by its name.
#pragma once

#include <cstddef>
#include <functional>
#include <istream>
#include <string>
#include <utility>
#include <vector>

#include "../platform/platform.h"

struct KeyEvent {
    int frame = 0;
    bool down = false;
    int key = 0;  ///< virtual-key code
};

/// The longest line a script may have, its newline not counted.
constexpr size_t kKeyScriptMaxLineChars = 1000;

/// Reads every line of `in`. On a malformed line, or one longer than 1000
/// characters, returns false with `error` naming the line ("line 3: ...") and
/// quoting the refused word only when it is short printable text; `events`
/// then holds the lines before it.
bool ParseKeyScript(std::istream& in, std::vector<KeyEvent>& events, std::string& error);

/// The name a script writes for a virtual key ("SPACE", "P", ";", "0x5B"),
/// never null for a code from 1 to 254; null outside.
const char* KeyScriptName(int virtualKey);
/// The virtual-key code of a script's key name or 0xNN form (any case), or 0.
int KeyScriptCode(const std::string& name);
/// One script line for the event, without the newline.
std::string FormatKeyEvent(const KeyEvent& event);

/// Plays a script on a backend that counts frames (the scripted one, the
/// web page's): each event goes to the engine as WM_KEYDOWN / WM_KEYUP before
/// the run() call it names, and once `frames` frames have run the program is
/// told to quit (never, when `frames` is negative). `afterFrame(f)`, when
/// given, is called after run() call f (0-based), before anything else
/// happens. Set up before the entry point runs; it takes the backend's frame
/// hook (`beforeFrame`).
template <class Machine>
void PlayKeyScript(Machine& machine, const std::vector<KeyEvent>& events, int frames,
                   std::function<void(int frame)> afterFrame = {}) {
    for (const KeyEvent& event : events) {
        const uint32_t message = event.down ? platform::WM_KEYDOWN : platform::WM_KEYUP;
        machine.Schedule(event.frame, {nullptr, message, static_cast<uintptr_t>(event.key), 0});
    }
    machine.beforeFrame = [&machine, frames, afterFrame = std::move(afterFrame)](int framesDone) {
        if (framesDone > 0 && afterFrame) afterFrame(framesDone - 1);
        if (frames >= 0 && framesDone >= frames) machine.PostQuitMessage(0);
    };
}
