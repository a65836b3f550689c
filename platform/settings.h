// Settings: what the desktop game remembers between runs, in a small text
// file a person can read and edit:
//
//   # comment
//   [window]
//   fullscreen = yes
//   scale = 2
//   [sound]
//   mute = no
//   [keys]
//   thrust = Up, W
//   [game]
//   best = 120
//
// Reading never fails: whatever cannot be read keeps its default and is
// named, with the file and the line, in one problem line each (a line that
// is not `name = value`, an unknown section or name, a value out of range, a
// name given twice, a key name that does not exist, a reserved key, a key
// bound to two game keys, a line that would leave another game key with no
// key at all). A byte-order mark at the start is skipped.
//
// The file is the player's: a save changes only the items changed in this
// run and keeps every other line as it stands (comments, unknown sections,
// lines that could not be read); a file that exists but could not be read
// whole, or is read-only, is never written. Writing replaces the file
// atomically (file/replace_file.h).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/key_map.h"

namespace platform {

struct Settings {
    bool fullscreen = false;
    int scale = 0;  // 0: chosen for the desktop
    bool mute = false;
    KeyMap keys;
    // The game's own items, [game] in the file.
    std::map<std::string, std::string> game;

    bool operator==(const Settings& other) const = default;
};

// The canonical spelling of a key name, or "" for a name no key has.
using KeyNameCheck = std::function<std::string(std::string_view name)>;

// Reads settings from the text of `fileName` (named in the problems).
Settings ParseSettings(std::string_view text, const std::string& fileName, const KeyNameCheck& keyName,
                       std::vector<std::string>& problems);

// The text ParseSettings reads back as the same settings.
std::string FormatSettings(const Settings& settings);

// The items of a file, one bit each, for saying which ones a save writes.
using SettingItems = uint64_t;  // 3 + kMaxGameKeys bits
constexpr SettingItems kSettingFullscreen = SettingItems{1} << 0;
constexpr SettingItems kSettingScale = SettingItems{1} << 1;
constexpr SettingItems kSettingMute = SettingItems{1} << 2;
SettingItems SettingItemOf(GameKey key);
// The items whose values differ.
SettingItems ChangedSettingItems(const Settings& before, const Settings& after);

// The text of a settings file with the `changed` items set to their values in
// `settings` and every other line as it stood. A changed item rewrites its
// first line in place, or goes at the end of its section (the section added at
// the end when absent); one the file cannot say (the desktop's scale, a game
// key with no key) loses its line. Lines end in '\n' afterwards.
// `gameItems`: the game's own items to write too.
std::string UpdateSettingsText(std::string_view text, const Settings& settings, SettingItems changed,
                               const std::set<std::string>& gameItems = {});

// Reads the file: a missing, unreadable or oversized one gives the defaults
// and one problem. `mayWrite` is false when the file exists but could not be
// read whole: it must then be left as it is.
Settings LoadSettings(const std::string& path, const KeyNameCheck& keyName, std::vector<std::string>& problems,
                      bool& mayWrite);

// Writes the `changed` items into the file as it stands now (read again), or
// the whole settings into a new file, making its folder (and the folders
// above) if needed. A file that cannot be read whole or is read-only is left
// alone. False with the reason.
bool SaveSettings(const std::string& path, const Settings& settings, SettingItems changed, std::string& why,
                  const std::set<std::string>& gameItems = {});

// Where the game's settings live: $XDG_CONFIG_HOME/<name>/settings.ini, or
// $HOME/.config/<name>/settings.ini when that is unset or empty, <name> being
// the game's declared name; "" when neither variable is set.
std::string DefaultSettingsPath();

}  // namespace platform
