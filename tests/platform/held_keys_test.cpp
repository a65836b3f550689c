// The keyboard is one more holder beside the controllers: a key that both
// hold goes up only when neither does, and the keyboard's own repeats still
// reach the engine.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/gamepad_keys.h"
#include "platform/platform.h"

namespace platform {
namespace {

class HeldKeysTest : public testing::Test {
protected:
    GamepadKeys keys;
    std::vector<std::string> emitted;
    GamepadKeys::Emit emit = [this](int vk, bool down) {
        emitted.push_back(std::to_string(vk) + (down ? " down" : " up"));
    };
    std::vector<std::string> Take() { return std::exchange(emitted, {}); }
};

using Lines = std::vector<std::string>;

// A keyboard key's scancode.
constexpr int kKey = 82;

TEST_F(HeldKeysTest, ReleasingTheStickKeepsAnArrowTheKeyboardHolds) {
    keys.Keyboard(kKey, VK_LEFT, true, emit);
    keys.Axis(0, PadAxis::LeftX, -30000, emit);
    EXPECT_EQ(Take(), Lines{"37 down"});
    keys.Axis(0, PadAxis::LeftX, 0, emit);
    EXPECT_EQ(Take(), Lines{});
    keys.Keyboard(kKey, VK_LEFT, false, emit);
    EXPECT_EQ(Take(), Lines{"37 up"});
}

TEST_F(HeldKeysTest, AKeyboardKeyUpKeepsAnArrowTheStickHolds) {
    keys.Axis(0, PadAxis::LeftY, -30000, emit);
    keys.Keyboard(kKey, VK_UP, true, emit);
    keys.Keyboard(kKey, VK_UP, false, emit);
    EXPECT_EQ(Take(), (Lines{"38 down", "38 down"}));
    keys.Axis(0, PadAxis::LeftY, 0, emit);
    EXPECT_EQ(Take(), Lines{"38 up"});
}

TEST_F(HeldKeysTest, ButtonsAndUnpluggingShareTheKeyboardsKeys) {
    keys.Keyboard(kKey, VK_SPACE, true, emit);
    keys.Button(3, PadButton::A, true, emit);
    keys.Removed(3, emit);  // the controller goes; the keyboard still holds Space
    EXPECT_EQ(Take(), Lines{"32 down"});
    keys.Keyboard(kKey, VK_SPACE, false, emit);
    EXPECT_EQ(Take(), Lines{"32 up"});
}

TEST_F(HeldKeysTest, KeyboardAloneIsPassedOnRepeatsIncluded) {
    keys.Keyboard(kKey, 'M', true, emit);
    keys.Keyboard(kKey, 'M', true, emit);  // auto-repeat
    keys.Keyboard(kKey, 'M', false, emit);
    keys.Keyboard(kKey, 'M', false, emit);  // a second key-up has nothing to let go
    EXPECT_EQ(Take(), (Lines{"77 down", "77 down", "77 up"}));
}

TEST_F(HeldKeysTest, TwoKeyboardKeysOnOneGameKeyHoldItWhileEitherIsDown) {
    constexpr int kW = 26, kUp = 82;
    keys.Keyboard(kW, VK_UP, true, emit);
    keys.Keyboard(kUp, VK_UP, true, emit);
    keys.Keyboard(kW, VK_UP, false, emit);  // Up is still down
    EXPECT_EQ(Take(), (Lines{"38 down", "38 down"}));
    keys.Keyboard(kUp, VK_UP, false, emit);
    EXPECT_EQ(Take(), Lines{"38 up"});
}

}  // namespace
}  // namespace platform
