// Settings: what the desktop game remembers between runs, in a small text
// file a person can read and edit:
//
//   # comment
//   [window]
//   fullscreen = yes          # yes or no
//   scale = 2                 # 1 to 8; absent: the largest that suits the desktop
//   [sound]
//   mute = no
//   [keys]
//   thrust = Up, W            # SDL key names, one or more, comma-separated
//
// Reading never fails: whatever cannot be read keeps its default and is
// named, with the file and the line, in one problem line each (a line that
// is not `name = value`, an unknown section or name, a value out of range, a
// name given twice, a key name that does not exist, a reserved key, a key
// bound to two game keys). Writing replaces the file atomically: a
// temporary file in the same folder, renamed over the old one.
#pragma once

#include <functional>
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

    bool operator==(const Settings& other) const = default;
};

// The canonical spelling of a key name, or "" for a name no key has.
using KeyNameCheck = std::function<std::string(std::string_view name)>;

// Reads settings from the text of `fileName` (named in the problems).
Settings ParseSettings(std::string_view text, const std::string& fileName, const KeyNameCheck& keyName,
                       std::vector<std::string>& problems);

// The text ParseSettings reads back as the same settings.
std::string FormatSettings(const Settings& settings);

// Reads the file: a missing, unreadable or oversized one gives the defaults
// and one problem.
Settings LoadSettings(const std::string& path, const KeyNameCheck& keyName, std::vector<std::string>& problems);

// Writes the file, making its folder (and the folders above) if needed.
// False with the reason.
bool SaveSettings(const std::string& path, const Settings& settings, std::string& why);

// Where the settings live: $XDG_CONFIG_HOME/tarvo/settings.ini, or
// $HOME/.config/tarvo/settings.ini when that is unset or empty; "" when
// neither variable is set.
std::string DefaultSettingsPath();

}  // namespace platform
