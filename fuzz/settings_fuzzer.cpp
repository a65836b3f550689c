// libFuzzer target over the settings reader: whatever a person or a broken
// disk leaves in settings.ini. Beyond what ASan and UBSan catch, it checks the
// reader's promises: every problem names the file, a few lines at most; the
// values stay in range; no keyboard key plays two game keys and no reserved
// key is bound; and what is read, written again, reads back as itself with
// no problem.
//
// To replay one file: settings_fuzzer FILE (libFuzzer runs the given inputs once).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "base/game_info.h"
#include "game/game_actions.h"
#include "platform/settings.h"

namespace {

[[noreturn]] void Broken(const char* promise, const std::string& detail) {
    std::fprintf(stderr, "settings reader: %s: %s\n", promise, detail.c_str());
    std::abort();
}

// A few of SDL's key names, reserved ones among them; the fuzzer needs no SDL.
std::string KeyName(std::string_view name) {
    for (const char* known : {"Up", "Down", "Left", "Right", "W", "A", "S", "D", "Space", "Return", "P", "Escape",
                              "F11", "M", "Left Shift", "Keypad 5"})
        if (platform::SameKeyName(name, known)) return known;
    return "";
}

// A game with actions to bind and the mute key: the shooter's.
const TarvoGame game({.name = "fuzz", .actions = kShooterActions, .muteKey = true});

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> problems;
    const platform::Settings read = platform::ParseSettings(text, "f.ini", KeyName, problems);
    if (problems.size() > 6) Broken("more than six problem lines", std::to_string(problems.size()));
    for (const std::string& line : problems)
        if (line.rfind("Settings: f.ini", 0) != 0) Broken("a problem names no file", line);
    if (read.scale < 0 || read.scale > 8) Broken("scale out of range", std::to_string(read.scale));
    std::vector<std::string> all;
    for (int i = 0; i < platform::GameKeyCount(); ++i) {
        for (const std::string& name : read.keys.Keys(i)) {
            if (platform::KeyMap::Reserved(name)) Broken("a reserved key is bound", name);
            for (const std::string& other : all)
                if (platform::SameKeyName(name, other)) Broken("a key plays two game keys", name);
            all.push_back(name);
        }
    }
    const std::string written = platform::FormatSettings(read);
    std::vector<std::string> again;
    if (!(platform::ParseSettings(written, "f.ini", KeyName, again) == read)) Broken("reads back otherwise", written);
    if (!again.empty()) Broken("its own text has a problem", again[0]);
    return 0;
}
