// Reading the settings: every line that can be read counts, and each one
// that cannot is named; key bindings that would lock a game key out are
// dropped, the latest first.
#include <map>
#include <optional>

#include "base/game_info.h"
#include "base/quoted.h"
#include "platform/settings.h"
#include "platform/settings_text.h"

namespace platform {

using namespace settings_text;

namespace {

// Problems named one by one; a file of noise gets a count for the rest.
constexpr int kMaxProblemLines = 5;

std::optional<bool> YesNo(std::string_view value) {
    for (const char* yes : {"yes", "true", "on", "1"})
        if (SameKeyName(value, yes)) return true;
    for (const char* no : {"no", "false", "off", "0"})
        if (SameKeyName(value, no)) return false;
    return std::nullopt;
}

std::optional<int> Scale(std::string_view value) {
    if (value.size() != 1 || value[0] < '1' || value[0] > '8') return std::nullopt;
    return value[0] - '0';
}

class Reader {
public:
    Reader(const std::string& fileName, const KeyNameCheck& keyName, std::vector<std::string>& problems)
        : fileName(fileName), keyName(keyName), problems(problems) {}

    void Problem(int line, const std::string& what) {
        ++problemCount;
        if (problemCount <= kMaxProblemLines)
            problems.push_back("Settings: " + fileName + " line " + std::to_string(line) + ": " + what);
    }

    void Finish() {
        // A line that leaves another game key with no key at all is dropped,
        // the latest one first, until every game key has one.
        while (true) {
            const std::optional<GameKey> empty = LeftWithoutKeys();
            if (!empty) break;
            const KeyMap defaults;
            int latest = 0;
            GameKey taker = 0;
            for (const auto& [key, line] : named)
                for (const std::string& name : defaults.Keys(*empty))
                    if (line > latest && Holds(settings.keys.Keys(key), name)) {
                        latest = line;
                        taker = key;
                    }
            if (latest == 0) break;  // cannot happen: only a named line takes a key
            Problem(latest, std::string(GameKeyName(taker)) + " would leave " + GameKeyName(*empty) +
                                " with no key; skipped, its default is kept");
            named.erase(taker);
        }
        Settle(settings.keys);
        if (problemCount > kMaxProblemLines)
            problems.push_back("Settings: " + fileName + ": " + std::to_string(problemCount - kMaxProblemLines) +
                               " more lines could not be read; defaults for them.");
    }

    void Line(int number, std::string_view line) {
        line = Trim(line);
        if (line.empty() || line[0] == '#' || line[0] == ';') return;
        if (const auto header = SectionHeader(line)) {
            section = *header;
            if (section.empty()) {
                Problem(number, "unknown section" + Quoted(line) + "; its lines are ignored");
                ignoring = true;
            } else {
                ignoring = false;
            }
            return;
        }
        if (ignoring) return;
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            Problem(number, "not a 'name = value' line; ignored");
            return;
        }
        const std::string_view name = Trim(line.substr(0, equals));
        const std::string_view value = Trim(line.substr(equals + 1));
        if (section.empty()) {
            Problem(number, "a setting before any [section]; ignored");
            return;
        }
        const std::string where = "[" + section + "] " + std::string(name);
        if (!seen.emplace(where, number).second) {
            Problem(number, (Quoted(name).empty() ? std::string("this setting") : std::string(name)) +
                                " is given again (first on line " + std::to_string(seen[where]) +
                                "); this one is ignored");
            return;
        }
        if (section == "window" && name == "fullscreen") {
            if (const auto v = YesNo(value))
                settings.fullscreen = *v;
            else
                Problem(number, "fullscreen takes yes or no; no is kept");
        } else if (section == "window" && name == "scale") {
            if (const auto v = Scale(value))
                settings.scale = *v;
            else
                Problem(number, "scale takes a whole number from 1 to 8; the desktop's is kept");
        } else if (section == "sound" && name == "mute") {
            if (const auto v = YesNo(value))
                settings.mute = *v;
            else
                Problem(number, "mute takes yes or no; no is kept");
        } else if (section == "keys" && GameKeyFromName(name)) {
            Keys(number, *GameKeyFromName(name), value);
        } else if (section == "game") {
            if (ValidGameSetting(name, value))
                settings.game[std::string(name)] = std::string(value);
            else
                Problem(number, "the game's setting" + Quoted(name) + " cannot be read; ignored");
        } else {
            Problem(number, "unknown setting" + Quoted(name) + " in [" + section + "]; ignored");
        }
    }

    Settings settings;

private:
    void Keys(int number, GameKey key, std::string_view value) {
        std::vector<std::string> names;
        while (true) {
            const size_t comma = value.find(',');
            const std::string_view item = Trim(value.substr(0, comma));
            const std::string canonical = item.empty() ? "" : keyName(item);
            if (canonical.empty()) {
                Problem(number,
                        item.empty() ? "an empty key name; skipped" : "no key is called" + Quoted(item) + "; skipped");
            } else if (KeyMap::Reserved(canonical)) {
                Problem(number, canonical + " keeps its own job (Escape quits, F11 full screen" +
                                    (DeclaredGame().muteKey ? ", M mute" : "") + "); skipped");
            } else if (const auto other = BoundTo(canonical, names, key)) {
                Problem(number, canonical + " is already bound to " + GameKeyName(*other) + "; skipped");
            } else {
                names.push_back(canonical);
            }
            if (comma == std::string_view::npos) break;
            value.remove_prefix(comma + 1);
        }
        if (names.empty()) {
            Problem(number, std::string(GameKeyName(key)) + " has no key that can be used; its default is kept");
            return;
        }
        settings.keys.Bind(key, names);
        named.emplace(key, number);
    }

    static bool Holds(const std::vector<std::string>& names, const std::string& name) {
        for (const std::string& n : names)
            if (SameKeyName(n, name)) return true;
        return false;
    }

    // The named game keys take the keys the file gave them; every other one
    // keeps the defaults that none of those took.
    void Settle(KeyMap& keys) const {
        const KeyMap defaults;
        for (GameKey key = 0; key < GameKeyCount(); ++key) {
            if (named.count(key) != 0) continue;
            std::vector<std::string> kept;
            for (const std::string& name : defaults.Keys(key)) {
                bool taken = false;
                for (const auto& [other, line] : named) taken = taken || Holds(keys.Keys(other), name);
                if (!taken) kept.push_back(name);
            }
            keys.Bind(key, kept);
        }
    }

    // The first game key that the lines read so far leave with no key.
    std::optional<GameKey> LeftWithoutKeys() const {
        KeyMap keys = settings.keys;
        Settle(keys);
        for (GameKey key = 0; key < GameKeyCount(); ++key)
            if (keys.Keys(key).empty()) return key;
        return std::nullopt;
    }

    // The game key this file already bound a key name to: `key` itself when
    // the line being read names it twice.
    std::optional<GameKey> BoundTo(const std::string& name, const std::vector<std::string>& current, GameKey key) {
        for (const std::string& n : current)
            if (SameKeyName(n, name)) return key;
        for (const auto& [key, line] : named)
            for (const std::string& n : settings.keys.Keys(key))
                if (SameKeyName(n, name)) return key;
        return std::nullopt;
    }

    const std::string& fileName;
    const KeyNameCheck& keyName;
    std::vector<std::string>& problems;
    std::string section;
    bool ignoring = false;
    int problemCount = 0;
    std::map<std::string, int> seen;
    std::map<GameKey, int> named;
};

}  // namespace

Settings ParseSettings(std::string_view text, const std::string& fileName, const KeyNameCheck& keyName,
                       std::vector<std::string>& problems) {
    Reader reader(fileName, keyName, problems);
    if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
    int number = 1;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        reader.Line(number++, text.substr(0, end));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    reader.Finish();
    return reader.settings;
}

Settings LoadSettings(const std::string& path, const KeyNameCheck& keyName, std::vector<std::string>& problems,
                      bool& mayWrite) {
    std::string text, why;
    const FileRead read = ReadSettingsFile(path, text, why);
    mayWrite = read != FileRead::NotWhole;
    if (read == FileRead::Missing) problems.push_back("Settings: " + path + ": " + why + "; defaults.");
    if (read == FileRead::NotWhole)
        problems.push_back("Settings: " + path + ": " + why + "; defaults, and the file is not written this run.");
    if (read != FileRead::Whole) return Settings{};
    return ParseSettings(text, path, keyName, problems);
}

}  // namespace platform
