// Writing the settings: a new file whole, or the player's file with only the
// changed items rewritten and every other line kept.
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "base/game_info.h"
#include "file/replace_file.h"
#include "platform/settings.h"
#include "platform/settings_text.h"

namespace platform {

using namespace settings_text;

namespace {

std::string FormatKeys(const Settings& settings, bool muteKey) {
    std::string text;
    text += "\n[keys]\n# SDL key names, comma-separated; Escape (quit), F11" + std::string(muteKey ? " and M" : "") +
            " cannot be bound\n";
    for (GameKey key = 0; key < GameKeyCount(); ++key) {
        const std::vector<std::string>& names = settings.keys.Keys(key);
        // Its default keys all went to other actions: nothing to name.
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

}  // namespace

std::string FormatSettings(const Settings& settings) {
    const bool muteKey = DeclaredGame().muteKey;
    std::string text = "# " + std::string(DeclaredGame().title) +
                       "'s settings. The game writes this file when a setting is changed while\n"
                       "# playing (F11 or Alt+Enter, " +
                       (muteKey ? "M, " : "") +
                       "resizing the window); it may be edited by hand.\n"
                       "\n[window]\n"
                       "# yes: the whole screen; no: a window\n"
                       "fullscreen = " +
                       std::string(settings.fullscreen ? "yes" : "no") +
                       "\n"
                       "# the window's whole scale, 1 to 8; left out, the largest that suits the desktop\n";
    text += settings.scale > 0 ? "scale = " + std::to_string(settings.scale) + "\n" : "# scale = 2\n";
    text += "\n[sound]\nmute = " + std::string(settings.mute ? "yes" : "no") + "\n";
    if (GameKeyCount() > 0) text += FormatKeys(settings, muteKey);
    if (!settings.game.empty()) {
        text += "\n[game]\n";
        for (const auto& [name, value] : settings.game) text += name + " = " + value + "\n";
    }
    return text;
}

namespace {

struct Item {
    const char* section;
    const char* name;
};

Item ItemAt(int index) {
    if (index == 0) return {"window", "fullscreen"};
    if (index == 1) return {"window", "scale"};
    if (index == 2) return {"sound", "mute"};
    return {"keys", GameKeyName(index - 3)};
}
int ItemCount() { return 3 + GameKeyCount(); }

// An item's value as the file writes it; "" where the file cannot say it
// (the desktop's scale, a game key with no key): such an item is left out.
std::string ItemValue(const Settings& settings, int index) {
    if (index == 0) return settings.fullscreen ? "yes" : "no";
    if (index == 1) return settings.scale > 0 ? std::to_string(settings.scale) : "";
    if (index == 2) return settings.mute ? "yes" : "no";
    std::string value;
    for (const std::string& name : settings.keys.Keys(index - 3)) value += (value.empty() ? "" : ", ") + name;
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
    for (int i = 0; i < ItemCount(); ++i)
        if (ItemValue(before, i) != ItemValue(after, i)) changed |= SettingItems{1} << i;
    return changed;
}

SettingItems SettingItemOf(GameKey key) { return SettingItems{1} << (3 + key); }

std::string UpdateSettingsText(std::string_view text, const Settings& settings, SettingItems changed,
                               const std::set<std::string>& gameItems) {
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
    for (int i = 0; i < ItemCount(); ++i)
        if ((changed >> i) & 1u) SetItem(lines, ItemAt(i), ItemValue(settings, i), cr);
    for (const std::string& name : gameItems) {
        const auto item = settings.game.find(name);
        SetItem(lines, {"game", name.c_str()}, item != settings.game.end() ? item->second : "", cr);
    }
    std::string updated(marked ? kByteOrderMark : "");
    for (const std::string& line : lines) updated += line + "\n";
    return updated;
}

bool SaveSettings(const std::string& path, const Settings& settings, SettingItems changed, std::string& why,
                  const std::set<std::string>& gameItems) {
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
        read == FileRead::Missing ? FormatSettings(settings) : UpdateSettingsText(text, settings, changed, gameItems);
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
    const std::string file = std::string("/") + DeclaredGame().name + "/settings.ini";
    if (config != nullptr && config[0] == '/') return config + file;
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0') return home + std::string("/.config") + file;
    return "";
}

}  // namespace platform
