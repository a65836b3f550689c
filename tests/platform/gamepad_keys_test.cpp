#include "platform/gamepad_keys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <string>
#include <vector>

#include "game/game_actions.h"
#include "platform/platform.h"

namespace {

using namespace platform;

class GamepadKeysTest : public testing::Test {
protected:
    GamepadKeys pad;
    std::vector<std::string> emitted;
    GamepadKeys::Emit emit = [this](int vk, bool down) {
        emitted.push_back(std::to_string(vk) + (down ? " down" : " up"));
    };
};

TEST_F(GamepadKeysTest, ButtonsAreTheGameKeys) {
    struct Case {
        PadButton button;
        int vk;
    };
    for (const Case& c : {Case{PadButton::A, VK_SPACE}, Case{PadButton::Start, 'P'}, Case{PadButton::Back, VK_ESCAPE},
                          Case{PadButton::DpadUp, VK_UP}, Case{PadButton::DpadDown, VK_DOWN},
                          Case{PadButton::DpadLeft, VK_LEFT}, Case{PadButton::DpadRight, VK_RIGHT}}) {
        emitted.clear();
        pad.Button(0, c.button, true, emit);
        pad.Button(0, c.button, false, emit);
        EXPECT_EQ(emitted, (std::vector<std::string>{std::to_string(c.vk) + " down", std::to_string(c.vk) + " up"}));
    }
    emitted.clear();
    pad.Button(0, PadButton::Other, true, emit);
    EXPECT_TRUE(emitted.empty());
}

TEST_F(GamepadKeysTest, StickPressesPastTheOuterThresholdAndLetsGoInsideTheInner) {
    const std::vector<std::pair<int, std::vector<std::string>>> steps = {
        {-15999, {}},        {-16000, {"37 down"}}, {-12000, {}},  // still held between the thresholds
        {-11999, {"37 up"}}, {20000, {"39 down"}},  {-20000, {"39 up", "37 down"}},
        {0, {"37 up"}},
    };
    for (const auto& [value, expected] : steps) {
        emitted.clear();
        pad.Axis(0, PadAxis::LeftX, value, emit);
        EXPECT_EQ(emitted, expected) << value;
    }
    emitted.clear();
    pad.Axis(0, PadAxis::LeftY, -32768, emit);  // up is negative
    EXPECT_EQ(emitted, (std::vector<std::string>{"38 down"}));
}

TEST_F(GamepadKeysTest, AnArrowGoesUpOnlyWhenNothingHoldsIt) {
    pad.Button(0, PadButton::DpadLeft, true, emit);
    pad.Axis(0, PadAxis::LeftX, -30000, emit);
    pad.Button(1, PadButton::DpadLeft, true, emit);
    pad.Button(0, PadButton::DpadLeft, false, emit);
    pad.Axis(0, PadAxis::LeftX, 0, emit);
    EXPECT_EQ(emitted, (std::vector<std::string>{"37 down"}));
    pad.Button(1, PadButton::DpadLeft, false, emit);
    EXPECT_EQ(emitted, (std::vector<std::string>{"37 down", "37 up"}));
}

TEST_F(GamepadKeysTest, UnpluggingReleasesWhatTheControllerHeld) {
    pad.Axis(3, PadAxis::LeftY, 30000, emit);
    pad.Button(3, PadButton::A, true, emit);
    pad.Button(4, PadButton::Start, true, emit);
    emitted.clear();
    pad.Removed(3, emit);
    std::sort(emitted.begin(), emitted.end());
    EXPECT_EQ(emitted, (std::vector<std::string>{"32 up", "40 up"}));
    emitted.clear();
    pad.Removed(3, emit);  // nothing left
    EXPECT_TRUE(emitted.empty());
}

// What each control of a controller sends for a declaration: the d-pad and
// the stick the same key, each let go as it was pressed.
TEST(GamepadKeysDeclared, EachControlPlaysAnAction) {
    using P = TarvoPad;
    // The docs' Catch: letters the game reads, arrows named by the defaults
    // (in any case); W and S on no arrow take the first face buttons.
    static const TarvoAction letters[] = {
        {"left", 'A', "A, Left"}, {"right", 'D', "D, right"}, {"jump", 'W', "W"}, {"drop", 'S', "S"}};
    // An action reading the arrow's key wins over an earlier one naming it,
    // which then takes a face button; of two naming Down, the first.
    static const TarvoAction arrows[] = {
        {"climb", 'K', "K, Up"}, {"jump", VK_UP, "Space"}, {"duck", 'S', "S, Down"}, {"crouch", 'C', "C, Down"}};
    // Buttons named take theirs first; the rest fill A, B, Y; the fourth and
    // fifth find none free, and Back stays Escape. Start plays only what
    // names it.
    static const TarvoAction chosen[] = {
        {"one", '1', "1"},   {"shoot", 'F', "F", P::X}, {"two", '2', "2"}, {"menu", 'M', "M", P::Start},
        {"three", '3', "3"}, {"four", '4', "4"},        {"five", '5', "5"}};
    struct Case {
        const char* what;
        std::span<const TarvoAction> actions;
        int up, down, left, right, a, b, x, y, start;
    };
    for (const Case& c : {
             Case{"none", {}, VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_SPACE, 0, 0, 0, 'P'},
             Case{"shooter", kShooterActions, VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_SPACE, 0, 0, 0, 'P'},
             Case{"letters", letters, 0, 0, 'A', 'D', 'W', 'S', 0, 0, 0},
             Case{"arrows", arrows, VK_UP, 'S', 0, 0, 'K', 'C', 0, 0, 0},
             Case{"chosen", chosen, 0, 0, 0, 0, '1', '2', 'F', '3', 'M'},
         }) {
        GamepadKeys pad(c.actions);
        std::vector<std::pair<int, bool>> emitted;
        const GamepadKeys::Emit emit = [&](int vk, bool down) { emitted.emplace_back(vk, down); };
        // The key a control sends (0: none), pressed by `press(true)`.
        auto sends = [&](const std::function<void(bool)>& press) {
            emitted.clear();
            press(true);
            press(false);
            if (emitted.empty()) return 0;
            EXPECT_EQ(emitted, (std::vector<std::pair<int, bool>>{{emitted[0].first, true}, {emitted[0].first, false}}))
                << c.what;
            return emitted[0].first;
        };
        auto button = [&](PadButton b) { return sends([&](bool down) { pad.Button(0, b, down, emit); }); };
        auto stick = [&](PadAxis axis, int value) {
            return sends([&](bool down) { pad.Axis(0, axis, down ? value : 0, emit); });
        };
        EXPECT_EQ(button(PadButton::DpadUp), c.up) << c.what;
        EXPECT_EQ(button(PadButton::DpadDown), c.down) << c.what;
        EXPECT_EQ(button(PadButton::DpadLeft), c.left) << c.what;
        EXPECT_EQ(button(PadButton::DpadRight), c.right) << c.what;
        EXPECT_EQ(stick(PadAxis::LeftY, -32768), c.up) << c.what;
        EXPECT_EQ(stick(PadAxis::LeftY, 32767), c.down) << c.what;
        EXPECT_EQ(stick(PadAxis::LeftX, -32768), c.left) << c.what;
        EXPECT_EQ(stick(PadAxis::LeftX, 32767), c.right) << c.what;
        EXPECT_EQ(button(PadButton::A), c.a) << c.what;
        EXPECT_EQ(button(PadButton::B), c.b) << c.what;
        EXPECT_EQ(button(PadButton::X), c.x) << c.what;
        EXPECT_EQ(button(PadButton::Y), c.y) << c.what;
        EXPECT_EQ(button(PadButton::Start), c.start) << c.what;
        EXPECT_EQ(button(PadButton::Back), VK_ESCAPE) << c.what;
        EXPECT_EQ(button(PadButton::Other), 0) << c.what;
    }
}

// Controls that play one action each hold its key: it goes up only when the
// last of them lets go, and a stick on one action both ways does not chatter.
TEST(GamepadKeysDeclared, ControlsOnOneActionHoldItTogether) {
    std::vector<std::string> emitted;
    const GamepadKeys::Emit emit = [&](int vk, bool down) {
        emitted.push_back(std::to_string(vk) + (down ? " down" : " up"));
    };
    static const TarvoAction fire[] = {{"fire", VK_SPACE, "Space, Left", TarvoPad::A}};
    GamepadKeys pad(fire);
    pad.Button(0, PadButton::DpadLeft, true, emit);
    pad.Button(0, PadButton::A, true, emit);
    pad.Button(0, PadButton::DpadLeft, false, emit);
    EXPECT_EQ(emitted, (std::vector<std::string>{"32 down"}));
    pad.Axis(0, PadAxis::LeftX, -30000, emit);
    pad.Button(0, PadButton::A, false, emit);
    EXPECT_EQ(emitted, (std::vector<std::string>{"32 down"}));
    pad.Axis(0, PadAxis::LeftX, 0, emit);
    EXPECT_EQ(emitted, (std::vector<std::string>{"32 down", "32 up"}));

    static const TarvoAction steer[] = {{"steer", 'S', "Left, Right"}};
    GamepadKeys both(steer);
    const std::vector<std::pair<int, std::vector<std::string>>> steps = {
        {-20000, {"83 down"}}, {20000, {"83 up", "83 down"}}, {14000, {}}, {0, {"83 up"}}};
    for (const auto& [value, expected] : steps) {
        emitted.clear();
        both.Axis(0, PadAxis::LeftX, value, emit);
        EXPECT_EQ(emitted, expected) << value;
    }
}

}  // namespace
