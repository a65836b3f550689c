#include "platform/window_messages.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace platform {
namespace {

TEST(WindowMessages, LParamHalvesKeepTheirLow16Bits) {
    struct Case {
        int low, high;
        intptr_t lParam;
        int lowBack, highBack;
    };
    const Case cases[] = {
        {0, 0, 0, 0, 0},
        {755, 511, 0x01FF02F3, 755, 511},
        {-1, -2, static_cast<intptr_t>(0xFFFEFFFFu), 0xFFFF, 0xFFFE},
        {0x12345, 0x10001, 0x00012345, 0x2345, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MakeLParam(c.low, c.high), c.lParam) << c.low << "," << c.high;
        EXPECT_EQ(LowWord(c.lParam), c.lowBack);
        EXPECT_EQ(HighWord(c.lParam), c.highBack);
    }
}

TEST(WindowMessages, KeyDownOfAControlKeyAlsoTypesIt) {
    using Sent = std::vector<std::pair<uint32_t, uintptr_t>>;
    const auto sent = [](int vk, bool down) {
        Sent out;
        PostKeyMessages(vk, down, [&](uint32_t message, uintptr_t wParam) { out.emplace_back(message, wParam); });
        return out;
    };
    EXPECT_EQ(sent(VK_ESCAPE, true), (Sent{{WM_KEYDOWN, VK_ESCAPE}, {WM_CHAR, 27}}));
    EXPECT_EQ(sent(VK_RETURN, true), (Sent{{WM_KEYDOWN, VK_RETURN}, {WM_CHAR, 13}}));
    EXPECT_EQ(sent(VK_ESCAPE, false), (Sent{{WM_KEYUP, VK_ESCAPE}}));
    EXPECT_EQ(sent('A', true), (Sent{{WM_KEYDOWN, 'A'}}));
}

TEST(WindowMessages, MouseButtons) {
    EXPECT_EQ(MouseButtonMessage(MouseButton::Left, true), WM_LBUTTONDOWN);
    EXPECT_EQ(MouseButtonMessage(MouseButton::Left, false), WM_LBUTTONUP);
    EXPECT_EQ(MouseButtonMessage(MouseButton::Middle, true), WM_MBUTTONDOWN);
    EXPECT_EQ(MouseButtonMessage(MouseButton::Middle, false), WM_MBUTTONUP);
    EXPECT_EQ(MouseButtonMessage(MouseButton::Right, true), WM_RBUTTONDOWN);
    EXPECT_EQ(MouseButtonMessage(MouseButton::Right, false), WM_RBUTTONUP);
    EXPECT_EQ(MouseButtonMessage(MouseButton::Other, true), 0u);
}

}  // namespace
}  // namespace platform
