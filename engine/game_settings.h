/// @file
/// The game's own settings: small items it keeps between runs (a best
/// score, a chosen level), by name. On the desktop they live in the game's
/// settings file, in its `[game]` section beside the player's full screen,
/// scale and keys, read and written as carefully as those (a save rewrites
/// only the items changed and keeps every other line); elsewhere they last
/// for the run.
///
///     int best = std::atoi(GameSetting("best", "0").c_str());
///     ...
///     if (score > best) SetGameSetting("best", std::to_string(score));
///
/// A name is letters, digits, '.', '-' and '_', starting with a letter or
/// digit; a value is one line of at most 1000 bytes without control
/// characters or a space at either end (`ValidGameSetting`).
#pragma once

#include <string>

/// The item's value, or `fallback` when it was never set (or the file's line
/// for it could not be read, which debug.txt names).
std::string GameSetting(const char* name, const std::string& fallback = "");
/// Sets the item and saves it at once. False when the name or value cannot
/// be kept, or the settings file could not be written (the item then lasts
/// for the run and goes out with the next save); debug.txt says why.
bool SetGameSetting(const char* name, const std::string& value);
