#include "platform/key_map.h"

#include <algorithm>
#include <span>

#include "base/game_info.h"
#include "platform/platform.h"

namespace platform {

namespace {

std::span<const TarvoAction> Actions() {
    std::span<const TarvoAction> actions = DeclaredGame().actions;
    return actions.first(std::min<size_t>(actions.size(), kMaxGameKeys));
}

}  // namespace

int GameKeyCount() { return static_cast<int>(Actions().size()); }

const char* GameKeyName(GameKey key) {
    return key >= 0 && key < GameKeyCount() && Actions()[key].name != nullptr ? Actions()[key].name : "";
}

std::optional<GameKey> GameKeyFromName(std::string_view name) {
    for (int i = 0; i < GameKeyCount(); ++i)
        if (!name.empty() && name == GameKeyName(i)) return i;
    return std::nullopt;
}

int GameKeyVirtualKey(GameKey key) { return key >= 0 && key < GameKeyCount() ? Actions()[key].key : 0; }

std::vector<std::string> GameKeyDefaults(GameKey key) {
    if (key < 0 || key >= GameKeyCount()) return {};
    return ActionDefaultKeys(Actions()[key]);
}

KeyMap::KeyMap() {
    for (int i = 0; i < GameKeyCount(); ++i) bound.push_back(GameKeyDefaults(i));
}

const std::vector<std::string>& KeyMap::Keys(GameKey key) const {
    static const std::vector<std::string> none;
    return key >= 0 && key < static_cast<int>(bound.size()) ? bound[static_cast<size_t>(key)] : none;
}

void KeyMap::Bind(GameKey key, std::vector<std::string> names) {
    if (key < 0 || key >= kMaxGameKeys) return;
    if (key >= static_cast<int>(bound.size())) bound.resize(static_cast<size_t>(key) + 1);
    bound[static_cast<size_t>(key)] = std::move(names);
}

std::optional<GameKey> KeyMap::Lookup(std::string_view keyName) const {
    if (keyName.empty()) return std::nullopt;
    for (size_t i = 0; i < bound.size(); ++i)
        for (const std::string& name : bound[i])
            if (SameKeyName(name, keyName)) return static_cast<GameKey>(i);
    return std::nullopt;
}

int KeyMap::VirtualKeyFor(std::string_view keyName, std::string_view positionName, int naturalKey) const {
    if (naturalKey == VK_ESCAPE || Reserved(keyName)) return naturalKey;
    std::optional<GameKey> key = Lookup(keyName);
    if (!key) key = Lookup(positionName);
    if (key) return GameKeyVirtualKey(*key);
    for (int i = 0; i < GameKeyCount(); ++i)
        if (naturalKey == GameKeyVirtualKey(i)) return 0;
    return naturalKey;
}

bool KeyMap::Reserved(std::string_view keyName) {
    return SameKeyName(keyName, "Escape") || SameKeyName(keyName, "F11") ||
           (DeclaredGame().muteKey && SameKeyName(keyName, "M"));
}

bool KeyMap::operator==(const KeyMap& other) const {
    if (bound.size() != other.bound.size()) return false;
    for (size_t i = 0; i < bound.size(); ++i) {
        if (bound[i].size() != other.bound[i].size()) return false;
        for (size_t k = 0; k < bound[i].size(); ++k)
            if (!SameKeyName(bound[i][k], other.bound[i][k])) return false;
    }
    return true;
}

}  // namespace platform
