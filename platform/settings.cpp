#include "platform/settings.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>

#include "file/replace_file.h"

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

// A UTF-8 byte-order mark, which some editors put at the start of a file.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// For a trimmed line that opens a section: the section's name, "" for one
// this file does not have. Nothing for any other line.
std::optional<std::string> SectionHeader(std::string_view line) {
    if (line.empty() || line.front() != '[') return std::nullopt;
    const std::string_view name = line.back() == ']' ? Trim(line.substr(1, line.size() - 2)) : "";
    return name == "window" || name == "sound" || name == "keys" ? std::string(name) : "";
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
        // A line that leaves another game key with no key at all is dropped,
        // the latest one first, until every game key has one.
        while (true) {
            const std::optional<GameKey> empty = LeftWithoutKeys();
            if (!empty) break;
            const KeyMap defaults;
            int latest = 0;
            GameKey taker = GameKey::Fire;
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

    static bool Holds(const std::vector<std::string>& names, const std::string& name) {
        for (const std::string& n : names)
            if (SameKeyName(n, name)) return true;
        return false;
    }

    // The named game keys take the keys the file gave them; every other one
    // keeps the defaults that none of those took.
    void Settle(KeyMap& keys) const {
        const KeyMap defaults;
        for (int i = 0; i < kGameKeyCount; ++i) {
            const auto key = static_cast<GameKey>(i);
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
        for (int i = 0; i < kGameKeyCount; ++i)
            if (keys.Keys(static_cast<GameKey>(i)).empty()) return static_cast<GameKey>(i);
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

namespace {

enum class FileRead { Whole, Missing, NotWhole };

// The file's text, or why it could not be read whole.
FileRead ReadSettingsFile(const std::string& path, std::string& text, std::string& why) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        why = errno == ENOENT ? "no such file" : std::strerror(errno);
        // Nothing there to keep: a folder on the way that is a file fails the save anyway.
        return errno == ENOENT || errno == ENOTDIR ? FileRead::Missing : FileRead::NotWhole;
    }
    text.assign(kMaxFileBytes + 1, '\0');
    const size_t got = std::fread(text.data(), 1, text.size(), file);
    const bool failed = std::ferror(file) != 0;
    const int error = errno;
    std::fclose(file);
    text.resize(got);
    if (!failed && got <= kMaxFileBytes) return FileRead::Whole;
    why = failed ? "cannot be read (" + std::string(std::strerror(error)) + ")"
                 : std::string("larger than 64 KiB, not a settings file");
    return FileRead::NotWhole;
}

struct Item {
    const char* section;
    const char* name;
};

Item ItemAt(int index) {
    if (index == 0) return {"window", "fullscreen"};
    if (index == 1) return {"window", "scale"};
    if (index == 2) return {"sound", "mute"};
    return {"keys", GameKeyName(static_cast<GameKey>(index - 3))};
}
constexpr int kItemCount = 3 + kGameKeyCount;

// An item's value as the file writes it; "" where the file cannot say it
// (the desktop's scale, a game key with no key): such an item is left out.
std::string ItemValue(const Settings& settings, int index) {
    if (index == 0) return settings.fullscreen ? "yes" : "no";
    if (index == 1) return settings.scale > 0 ? std::to_string(settings.scale) : "";
    if (index == 2) return settings.mute ? "yes" : "no";
    std::string value;
    for (const std::string& name : settings.keys.Keys(static_cast<GameKey>(index - 3)))
        value += (value.empty() ? "" : ", ") + name;
    return value;
}

// The section a line is in, line by line, as the reader sees it: "" for
// none, or one the reader ignores.
std::vector<std::string> SectionsOf(const std::vector<std::string>& lines) {
    std::vector<std::string> sections;
    std::string section;
    for (const std::string& line : lines) {
        if (const auto header = SectionHeader(Trim(line))) section = *header;
        sections.push_back(section);
    }
    return sections;
}

bool IsHeader(std::string_view line) { return SectionHeader(Trim(line)).has_value(); }
bool IsComment(std::string_view line) {
    line = Trim(line);
    return !line.empty() && (line[0] == '#' || line[0] == ';');
}

// Sets one item in the lines of a file: its first line rewritten in place
// (or dropped when the value cannot be written), else a line at the end of
// its section, else the section at the end of the file.
void SetItem(std::vector<std::string>& lines, const Item& item, const std::string& value, const std::string& cr) {
    const std::vector<std::string> sections = SectionsOf(lines);
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = Trim(lines[i]);
        const size_t equals = line.find('=');
        if (sections[i] != item.section || IsHeader(line) || IsComment(line) || equals == std::string_view::npos ||
            Trim(line.substr(0, equals)) != item.name)
            continue;
        if (value.empty()) {
            lines.erase(lines.begin() + static_cast<long>(i));
            return;
        }
        // What stands before the value (indent, name, '=', spaces) is kept.
        const std::string& text = lines[i];
        size_t valueAt = text.find('=') + 1;
        while (valueAt < text.size() && (text[valueAt] == ' ' || text[valueAt] == '\t')) ++valueAt;
        const bool hadCr = !text.empty() && text.back() == '\r';
        lines[i] = text.substr(0, valueAt) + value + (hadCr ? "\r" : "");
        return;
    }
    if (value.empty()) return;
    const std::string added = std::string(item.name) + " = " + value + cr;
    for (size_t header = 0; header < lines.size(); ++header) {
        if (!IsHeader(lines[header]) || sections[header] != item.section) continue;
        size_t end = header + 1;
        while (end < lines.size() && !IsHeader(lines[end])) ++end;
        // Comments right above the next section belong to it; blank lines
        // stay between the sections.
        size_t at = end;
        if (end < lines.size())
            while (at > header + 1 && IsComment(lines[at - 1])) --at;
        while (at > header + 1 && Trim(lines[at - 1]).empty()) --at;
        lines.insert(lines.begin() + static_cast<long>(at), added);
        return;
    }
    if (!lines.empty() && !Trim(lines.back()).empty()) lines.push_back(cr);
    lines.push_back("[" + std::string(item.section) + "]" + cr);
    lines.push_back(added);
}

}  // namespace

SettingItems ChangedSettingItems(const Settings& before, const Settings& after) {
    SettingItems changed = 0;
    for (int i = 0; i < kItemCount; ++i)
        if (ItemValue(before, i) != ItemValue(after, i)) changed |= SettingItems{1} << i;
    return changed;
}

SettingItems SettingItemOf(GameKey key) { return SettingItems{1} << (3 + static_cast<int>(key)); }

std::string UpdateSettingsText(std::string_view text, const Settings& settings, SettingItems changed) {
    // Kept as it was, out of the way of the first line's header.
    const bool marked = text.starts_with(kByteOrderMark);
    if (marked) text.remove_prefix(kByteOrderMark.size());
    std::vector<std::string> lines;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        lines.emplace_back(text.substr(0, end));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    // New lines end as the file's first line does.
    const std::string cr = !lines.empty() && !lines[0].empty() && lines[0].back() == '\r' ? "\r" : "";
    for (int i = 0; i < kItemCount; ++i)
        if ((changed >> i) & 1u) SetItem(lines, ItemAt(i), ItemValue(settings, i), cr);
    std::string updated(marked ? kByteOrderMark : "");
    for (const std::string& line : lines) updated += line + "\n";
    return updated;
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

bool SaveSettings(const std::string& path, const Settings& settings, SettingItems changed, std::string& why) {
    const std::filesystem::path target(path);
    std::error_code error;
    if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), error);
    if (error) {
        why = "cannot make the folder " + target.parent_path().string() + ": " + error.message();
        return false;
    }
    // Read again: what the player wrote by hand meanwhile is kept too.
    std::string text, readWhy;
    const FileRead read = ReadSettingsFile(path, text, readWhy);
    if (read == FileRead::NotWhole) {
        why = path + ": " + readWhy + "; it is left as it is";
        return false;
    }
    ReplaceFile replacement(path);
    if (replacement.TargetIsReadOnly()) {
        why = path + " is read-only; it is left as it is";
        return false;
    }
    const std::string updated =
        read == FileRead::Missing ? FormatSettings(settings) : UpdateSettingsText(text, settings, changed);
    if (!replacement.Begin()) {
        why = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    if (std::fwrite(updated.data(), 1, updated.size(), replacement.Stream()) != updated.size() ||
        !replacement.Commit()) {
        why = "cannot write " + path + ": " + std::strerror(errno);
        replacement.Abandon();
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
