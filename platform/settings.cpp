#include "platform/settings.h"

#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>

namespace platform {

namespace {

// A settings file is a few hundred bytes; anything far larger is not one.
constexpr size_t kMaxFileBytes = 64 * 1024;
// Problems named one by one; a file of noise gets a count for the rest.
constexpr int kMaxProblemLines = 5;

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

// Quoted in a problem only when it is short printable text.
std::string Quoted(std::string_view s) {
    if (s.size() > 40) return "";
    for (const char c : s)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F) return "";
    return " '" + std::string(s) + "'";
}

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
        if (problemCount > kMaxProblemLines)
            problems.push_back("Settings: " + fileName + ": " + std::to_string(problemCount - kMaxProblemLines) +
                               " more lines could not be read; defaults for them.");
        // A key the file binds leaves the defaults of the game keys it does not name.
        for (int i = 0; i < kGameKeyCount; ++i) {
            const auto key = static_cast<GameKey>(i);
            if (named.count(key) != 0) continue;
            std::vector<std::string> kept;
            for (const std::string& name : settings.keys.Keys(key)) {
                bool taken = false;
                for (const auto& [other, line] : named)
                    for (const std::string& n : settings.keys.Keys(other)) taken = taken || SameKeyName(n, name);
                if (!taken) kept.push_back(name);
            }
            settings.keys.Bind(key, kept);
        }
    }

    void Line(int number, std::string_view line) {
        line = Trim(line);
        if (line.empty() || line[0] == '#' || line[0] == ';') return;
        if (line.front() == '[') {
            const std::string_view name = line.back() == ']' ? Trim(line.substr(1, line.size() - 2)) : "";
            section = name == "window" || name == "sound" || name == "keys" ? std::string(name) : "";
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
                Problem(number, canonical + " keeps its own job (Escape quits, F11 full screen, M mute); skipped");
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

std::string FormatSettings(const Settings& settings) {
    std::string text =
        "# Tarvo's settings. The game writes this file when a setting is changed while\n"
        "# playing (F11 or Alt+Enter, M, resizing the window); it may be edited by hand.\n"
        "\n[window]\n"
        "# yes: the whole screen; no: a window\n"
        "fullscreen = " +
        std::string(settings.fullscreen ? "yes" : "no") +
        "\n"
        "# the window's whole scale, 1 to 8; left out, the largest that suits the desktop\n";
    text += settings.scale > 0 ? "scale = " + std::to_string(settings.scale) + "\n" : "# scale = 2\n";
    text += "\n[sound]\nmute = " + std::string(settings.mute ? "yes" : "no") + "\n";
    text +=
        "\n[keys]\n"
        "# SDL key names, comma-separated; Escape (quit), F11 and M cannot be bound\n";
    for (int i = 0; i < kGameKeyCount; ++i) {
        const auto key = static_cast<GameKey>(i);
        const std::vector<std::string>& names = settings.keys.Keys(key);
        // Its default keys all went to other game keys: nothing to name.
        if (names.empty()) {
            text += "# " + std::string(GameKeyName(key)) + ": no key\n";
            continue;
        }
        text += GameKeyName(key) + std::string(" =");
        for (size_t k = 0; k < names.size(); ++k) text += (k == 0 ? " " : ", ") + names[k];
        text += "\n";
    }
    return text;
}

Settings LoadSettings(const std::string& path, const KeyNameCheck& keyName, std::vector<std::string>& problems) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        problems.push_back("Settings: " + path + ": " +
                           (errno == ENOENT ? std::string("no such file") : std::string(std::strerror(errno))) +
                           "; defaults.");
        return Settings{};
    }
    std::string text(kMaxFileBytes + 1, '\0');
    const size_t got = std::fread(text.data(), 1, text.size(), file);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed || got > kMaxFileBytes) {
        problems.push_back("Settings: " + path + ": " +
                           (failed ? std::string("cannot be read") : "larger than 64 KiB, not a settings file") +
                           "; defaults.");
        return Settings{};
    }
    text.resize(got);
    return ParseSettings(text, path, keyName, problems);
}

bool SaveSettings(const std::string& path, const Settings& settings, std::string& why) {
    const std::filesystem::path target(path);
    std::error_code error;
    if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), error);
    if (error) {
        why = "cannot make the folder " + target.parent_path().string() + ": " + error.message();
        return false;
    }
    // Beside the file, so that the rename stays on one file system.
    const std::string temporary = path + ".new";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) {
        why = "cannot write " + temporary + ": " + std::strerror(errno);
        return false;
    }
    const std::string text = FormatSettings(settings);
    bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    ok = std::fflush(file) == 0 && ok;
    ok = fsync(fileno(file)) == 0 && ok;
    const int writeErrno = errno;
    ok = std::fclose(file) == 0 && ok;
    if (!ok || std::rename(temporary.c_str(), path.c_str()) != 0) {
        why = "cannot write " + path + ": " + std::strerror(ok ? errno : writeErrno);
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

std::string DefaultSettingsPath() {
    // Only an absolute XDG_CONFIG_HOME counts; a relative one is ignored.
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') return std::string(config) + "/tarvo/settings.ini";
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0') return std::string(home) + "/.config/tarvo/settings.ini";
    return "";
}

}  // namespace platform
