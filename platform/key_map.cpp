#include "platform/key_map.h"

#include <cctype>

#include "platform/platform.h"

namespace platform {

namespace {

struct GameKeyInfo {
    const char* name;
    int virtualKey;
    std::vector<std::string> defaults;
};

const GameKeyInfo& Info(GameKey key) {
    static const GameKeyInfo info[kGameKeyCount] = {
        {"turn_left", VK_LEFT, {"Left", "A"}}, {"turn_right", VK_RIGHT, {"Right", "D"}},
        {"thrust", VK_UP, {"Up", "W"}},        {"back", VK_DOWN, {"Down", "S"}},
        {"fire", VK_SPACE, {"Space"}},         {"pause", 'P', {"P"}},
    };
    return info[static_cast<int>(key)];
}

}  // namespace

const char* GameKeyName(GameKey key) { return Info(key).name; }

std::optional<GameKey> GameKeyFromName(std::string_view name) {
    for (int i = 0; i < kGameKeyCount; ++i)
        if (name == Info(static_cast<GameKey>(i)).name) return static_cast<GameKey>(i);
    return std::nullopt;
}

int GameKeyVirtualKey(GameKey key) { return Info(key).virtualKey; }

bool SameKeyName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

KeyMap::KeyMap() {
    for (int i = 0; i < kGameKeyCount; ++i) bound[i] = Info(static_cast<GameKey>(i)).defaults;
}

std::optional<GameKey> KeyMap::Lookup(std::string_view keyName) const {
    if (keyName.empty()) return std::nullopt;
    for (int i = 0; i < kGameKeyCount; ++i)
        for (const std::string& name : bound[i])
            if (SameKeyName(name, keyName)) return static_cast<GameKey>(i);
    return std::nullopt;
}

int KeyMap::VirtualKeyFor(std::string_view keyName, std::string_view positionName, int naturalKey) const {
    if (naturalKey == VK_ESCAPE || Reserved(keyName)) return naturalKey;
    std::optional<GameKey> key = Lookup(keyName);
    if (!key) key = Lookup(positionName);
    if (key) return GameKeyVirtualKey(*key);
    for (int i = 0; i < kGameKeyCount; ++i)
        if (naturalKey == GameKeyVirtualKey(static_cast<GameKey>(i))) return 0;
    return naturalKey;
}

bool KeyMap::Reserved(std::string_view keyName) {
    return SameKeyName(keyName, "Escape") || SameKeyName(keyName, "F11") || SameKeyName(keyName, "M");
}

bool KeyMap::operator==(const KeyMap& other) const {
    for (int i = 0; i < kGameKeyCount; ++i) {
        if (bound[i].size() != other.bound[i].size()) return false;
        for (size_t k = 0; k < bound[i].size(); ++k)
            if (!SameKeyName(bound[i][k], other.bound[i][k])) return false;
    }
    return true;
}

}  // namespace platform
