/// @file
/// Key scripts: the game's keys over time, as text, so that a game can be
/// replayed exactly (tarvo-replay reads them).
///
/// One event a line: `FRAME down|up KEY`, FRAME being the 0-based index of the
/// run() call before which the key changes, KEY one of SPACE, P, LEFT, UP,
/// RIGHT, DOWN (any case). A line whose first non-blank character is '#' is a
/// comment; blank lines are ignored. A key stays held until its `up` line.
#pragma once

#include <istream>
#include <string>
#include <vector>

struct KeyEvent {
    int frame = 0;
    bool down = false;
    int key = 0;  ///< virtual-key code
};

/// Reads every line of `in`. On a malformed line, or one longer than 1000
/// characters, returns false with `error` naming the line ("line 3: ...") and
/// quoting the refused word only when it is short printable text; `events`
/// then holds the lines before it.
bool ParseKeyScript(std::istream& in, std::vector<KeyEvent>& events, std::string& error);

/// The script name of a game key ("SPACE", "P", "LEFT", ...), or null for a
/// key the game does not use.
const char* KeyScriptName(int virtualKey);
/// The virtual-key code of a script name, or 0.
int KeyScriptCode(const std::string& name);
/// One script line for the event, without the newline.
std::string FormatKeyEvent(const KeyEvent& event);
