// KeyMap: which keyboard keys play the game's actions, by SDL key name.
//
// A game may declare named actions, each with the virtual key it reads and
// its default keyboard keys (base/game_info.h): the shooter's turn left,
// turn right, thrust, back, fire and pause are the arrows and W A S D, Space
// and P. The map says which keyboard keys stand for each. A keyboard key
// bound to an action sends that action's virtual key and nothing else; a key
// that by itself is one of the actions' keys but is bound to none sends
// nothing (so a player who moves fire off Space does not fire with Space);
// every other key is passed on as it is, and with no actions declared every
// key arrives as itself. Escape (quit), F11 (full screen) and, in a game that
// turns it on, M (mute) keep their own jobs and cannot be bound.
//
// Names are compared without regard to case ("left" is "Left"). Pure: no
// SDL in it; the backend gives it the name SDL has for a pressed key.
#pragma once

#include <cctype>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// An action: its index among the game's declared actions.
using GameKey = int;
// How many actions the game declares (at most kMaxGameKeys).
int GameKeyCount();
constexpr int kMaxGameKeys = 32;

// The action's name in the settings file ("turn_left" ...), and back.
const char* GameKeyName(GameKey key);
std::optional<GameKey> GameKeyFromName(std::string_view name);
// The virtual key the game reads for it.
int GameKeyVirtualKey(GameKey key);
// Its default keyboard keys, as declared ("Left, A").
std::vector<std::string> GameKeyDefaults(GameKey key);

// Whether two key names name the same key (case aside). Inline: the
// controllers compare key names in every build, the browser's too, which has
// no key map.
inline bool SameKeyName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

class KeyMap {
public:
    // The declared default binding.
    KeyMap();

    // Nothing for an action the game does not declare.
    const std::vector<std::string>& Keys(GameKey key) const;
    // Replaces what the action is bound to.
    void Bind(GameKey key, std::vector<std::string> names);

    // The game key a keyboard key of this name plays, if any.
    std::optional<GameKey> Lookup(std::string_view keyName) const;

    // The virtual key a pressed keyboard key sends: `keyName` is the name the
    // layout gives it, `positionName` the name of its place on a US keyboard
    // (tried too, so letters bound by name work on layouts whose letters are
    // not Latin), `naturalKey` the virtual key it sends unbound (0: none).
    // 0: nothing is sent.
    int VirtualKeyFor(std::string_view keyName, std::string_view positionName, int naturalKey) const;

    // Keys that cannot be bound: Escape, F11, and M in a game with the mute key.
    static bool Reserved(std::string_view keyName);

    bool operator==(const KeyMap& other) const;

private:
    std::vector<std::vector<std::string>> bound;
};

}  // namespace platform
