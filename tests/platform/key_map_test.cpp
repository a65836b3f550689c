// Which virtual key a pressed keyboard key sends, with the default map and
// with keys moved.
#include "platform/key_map.h"

#include <gtest/gtest.h>

#include "platform/platform.h"
#include "tests/support/test_game.h"

namespace platform {
namespace {

struct Press {
    const char* name;
    const char* place;
    int natural;
    int expected;
};

void ExpectSends(const KeyMap& map, std::initializer_list<Press> presses) {
    for (const Press& p : presses)
        EXPECT_EQ(map.VirtualKeyFor(p.name, p.place, p.natural), p.expected) << p.name << " / '" << p.place << "'";
}

TEST(KeyMap, DefaultsPlayWithTheArrowsAndWasdAndPassOtherKeysOn) {
    ExpectSends(KeyMap(), {
                              {"Up", "", VK_UP, VK_UP},
                              {"W", "", 'W', VK_UP},
                              {"a", "", 'A', VK_LEFT},  // names in any case
                              {"S", "", 'S', VK_DOWN},
                              {"D", "", 'D', VK_RIGHT},
                              {"Left", "", VK_LEFT, VK_LEFT},
                              {"Space", "", VK_SPACE, VK_SPACE},
                              {"P", "", 'P', 'P'},
                              {"Q", "", 'Q', 'Q'},  // not the game's: as it is
                              {"M", "", 'M', 'M'},
                              {"Escape", "", VK_ESCAPE, VK_ESCAPE},
                              {"F5", "", VK_F1 + 4, VK_F1 + 4},
                              {"Unknown", "", 0, 0},
                              // A Cyrillic layout's key where W is: bound by its place.
                              {"\xD0\xA6", "W", 0, VK_UP},
                          });
}

TEST(KeyMap, MovedKeysLeaveTheirOldKeysSilent) {
    KeyMap map;
    map.Bind(ShooterKey::Fire, {"Return", "Right Ctrl"});
    map.Bind(ShooterKey::Thrust, {"I"});
    map.Bind(ShooterKey::Pause, {});
    ExpectSends(map, {
                         {"return", "", VK_RETURN, VK_SPACE},
                         {"Right Ctrl", "", VK_CONTROL, VK_SPACE},
                         {"I", "", 'I', VK_UP},
                         {"Space", "", VK_SPACE, 0},  // fire is elsewhere now
                         {"Up", "", VK_UP, 0},
                         {"P", "", 'P', 0},  // pause bound to nothing
                         {"W", "", 'W', 'W'},
                         {"Left", "", VK_LEFT, VK_LEFT},
                     });
    EXPECT_EQ(map.Lookup("right ctrl"), ShooterKey::Fire);
    EXPECT_EQ(map.Lookup("Space"), std::nullopt);
}

TEST(KeyMap, EscapeF11AndMKeepTheirJobsEvenWhenBound) {
    KeyMap map;
    map.Bind(ShooterKey::Fire, {"Escape", "F11", "m"});
    ExpectSends(map, {
                         {"Escape", "", VK_ESCAPE, VK_ESCAPE},
                         {"F11", "", VK_F1 + 10, VK_F1 + 10},
                         {"M", "", 'M', 'M'},
                     });
}

TEST(KeyMap, GameKeyNamesGoBothWays) {
    const char* names[] = {"turn_left", "turn_right", "thrust", "back", "fire", "pause"};
    const int keys[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_SPACE, 'P'};
    ASSERT_EQ(GameKeyCount(), 6);
    for (int i = 0; i < GameKeyCount(); ++i) {
        const auto key = static_cast<GameKey>(i);
        EXPECT_STREQ(GameKeyName(key), names[i]);
        EXPECT_EQ(GameKeyFromName(names[i]), key);
        EXPECT_EQ(GameKeyVirtualKey(key), keys[i]);
    }
    EXPECT_EQ(GameKeyFromName("Thrust"), std::nullopt);
    EXPECT_EQ(GameKeyFromName(""), std::nullopt);
}

}  // namespace
}  // namespace platform
