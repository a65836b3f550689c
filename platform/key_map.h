// KeyMap: which keyboard keys play the game's six keys, by SDL key name.
//
// The game reads virtual keys (the arrows, Space, P); the map says which
// keyboard keys stand for each. By default the arrows and W A S D steer,
// Space fires and P pauses. A keyboard key bound to a game key sends that
// game key's virtual key and nothing else; a key that by itself is one of
// the game's keys but is bound to none sends nothing (so a player who moves
// fire off Space does not fire with Space); every other key is passed on as
// it is. Escape (quit), F11 (full screen) and M (mute) keep their own jobs
// and cannot be bound.
//
// Names are compared without regard to case ("left" is "Left"). Pure: no
// SDL in it; the backend gives it the name SDL has for a pressed key.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

enum class GameKey { TurnLeft, TurnRight, Thrust, Back, Fire, Pause };
constexpr int kGameKeyCount = 6;

// The game key's name in the settings file ("turn_left" ...), and back.
const char* GameKeyName(GameKey key);
std::optional<GameKey> GameKeyFromName(std::string_view name);
// The virtual key the game reads for it.
int GameKeyVirtualKey(GameKey key);

// Whether two key names name the same key (case aside).
bool SameKeyName(std::string_view a, std::string_view b);

class KeyMap {
public:
    // The default binding: arrows and W A S D, Space, P.
    KeyMap();

    const std::vector<std::string>& Keys(GameKey key) const { return bound[static_cast<int>(key)]; }
    // Replaces what the game key is bound to.
    void Bind(GameKey key, std::vector<std::string> names) { bound[static_cast<int>(key)] = std::move(names); }

    // The game key a keyboard key of this name plays, if any.
    std::optional<GameKey> Lookup(std::string_view keyName) const;

    // The virtual key a pressed keyboard key sends: `keyName` is the name the
    // layout gives it, `positionName` the name of its place on a US keyboard
    // (tried too, so letters bound by name work on layouts whose letters are
    // not Latin), `naturalKey` the virtual key it sends unbound (0: none).
    // 0: nothing is sent.
    int VirtualKeyFor(std::string_view keyName, std::string_view positionName, int naturalKey) const;

    // Keys that cannot be bound: Escape, F11, M.
    static bool Reserved(std::string_view keyName);

    bool operator==(const KeyMap& other) const;

private:
    std::array<std::vector<std::string>, kGameKeyCount> bound;
};

}  // namespace platform
