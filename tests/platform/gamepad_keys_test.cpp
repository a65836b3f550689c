#include "platform/gamepad_keys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

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

}  // namespace
