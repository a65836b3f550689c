#include <gtest/gtest.h>

#include <string>

#include "tests/support/engine_fixture.h"

using namespace platform;

namespace {

intptr_t Words(int low, int high) {
    return static_cast<intptr_t>((static_cast<uint32_t>(low) & 0xFFFF) | (static_cast<uint32_t>(high) & 0xFFFF) << 16);
}

void Send(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0) {
    Tarvo.WindowProc(Tarvo.windowHandle, message, wParam, lParam);
}

size_t Count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

TEST_F(EngineTest, WindowedWindowIsCentredWithAClientOnePixelShort) {
    StartWindowed();
    ASSERT_EQ(machine.windows.size(), 2u);
    const auto& temporary = machine.WindowInfo(machine.windows[0]);
    EXPECT_EQ(temporary.x, 0);
    EXPECT_EQ(temporary.y, 0);
    EXPECT_EQ(temporary.outerWidth, 756);
    EXPECT_EQ(temporary.outerHeight, 512);
    EXPECT_FALSE(temporary.shown);
    // Frame 3 + 3 across, 22 + 3 down: client 750 x 487, so outer 762 x 537.
    const auto& main = machine.WindowInfo(Tarvo.windowHandle);
    EXPECT_EQ(main.style, WS_SYSMENU);
    EXPECT_EQ(main.outerWidth, 761);
    EXPECT_EQ(main.outerHeight, 536);
    EXPECT_EQ(main.x, 512 - 381);
    EXPECT_EQ(main.y, 384 - 268);
    EXPECT_TRUE(main.shown);
    int cw = 0, ch = 0;
    machine.GetClientRect(Tarvo.windowHandle, cw, ch);
    EXPECT_EQ(cw, 755);
    EXPECT_EQ(ch, 511);
    EXPECT_EQ(Tarvo.clientOriginX, 512 - 381 + 3);
    EXPECT_EQ(Tarvo.clientOriginY, 384 - 268 + 22);
    EXPECT_EQ(Tarvo.clipRight, 755);
    EXPECT_EQ(Tarvo.clipBottom, 511);
    EXPECT_EQ(Tarvo.desktopWidth, 1024);
    EXPECT_EQ(Tarvo.screenBits, 16);
}

TEST_F(EngineTest, WindowedSizeZeroMeansTheScreenAndOneMoreIsTooLarge) {
    StartWindowed(0, 0);
    EXPECT_EQ(Tarvo.screenHeight, 768);
    EXPECT_EQ(Tarvo.pitch, 1024);
    // Exactly the screen's size fits; one pixel more either way does not.
    const struct {
        int width, height, status;
    } cases[] = {{1024, 768, INIT_OK}, {1024, 769, REQSIZE_FAILED}, {1025, 768, REQSIZE_FAILED}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        ResetEngine();
        EXPECT_EQ(Tarvo.Initialize(false, c.width, c.height), c.status == INIT_OK);
        EXPECT_EQ(Tarvo.status, c.status);
    }
}

TEST_F(EngineTest, FullscreenTakesAnySizeAndLetsTheModeDecide) {
    ASSERT_TRUE(Tarvo.Initialize(true, 1600, 1200));
    const auto& main = machine.WindowInfo(Tarvo.windowHandle);
    EXPECT_EQ(main.style, WS_POPUP);
    EXPECT_EQ(main.x, 0);
    EXPECT_EQ(main.y, 0);
    EXPECT_EQ(main.outerWidth, 1599);
    EXPECT_EQ(main.outerHeight, 1199);
    EXPECT_EQ(machine.modeWidth, 1600);
    EXPECT_EQ(machine.modeHeight, 1200);
    EXPECT_EQ(machine.cooperativeLevel, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE);
    EXPECT_EQ(Tarvo.screenHeight, 1200);
}

TEST_F(EngineTest, GetKeyReturnsTheNewestCharacterFirst) {
    for (char c : std::string("abc")) Send(WM_CHAR, static_cast<uint8_t>(c));
    EXPECT_EQ(Tarvo.GetKey(), 'c');
    EXPECT_EQ(Tarvo.GetKey(), 'b');
    EXPECT_EQ(Tarvo.GetKey(), 'a');
    EXPECT_EQ(Tarvo.GetKey(), 0);
    EXPECT_EQ(Tarvo.keyCount, 0);
}

TEST_F(EngineTest, KeyBufferKeepsTheFirstThousandAndLogsEachDrop) {
    for (int i = 0; i < 1002; ++i) Send(WM_CHAR, static_cast<uintptr_t>('0' + i % 10));
    EXPECT_EQ(Tarvo.keyCount, 1000);
    EXPECT_EQ(Tarvo.GetKey(), '0' + 999 % 10);
    const std::string log = ReadLog();
    EXPECT_EQ(Count(log, "WinDX: Keyboard buffer overflow.\n  "), 2u) << log;
}

TEST_F(EngineTest, EscapeQuitsAndIsBuffered) {
    Send(WM_CHAR, 27);
    Message message;
    ASSERT_TRUE(machine.PeekMessage(message));
    EXPECT_EQ(message.message, WM_QUIT);
    EXPECT_EQ(message.wParam, 0u);
    EXPECT_EQ(Tarvo.GetKey(), 27);
}

TEST_F(EngineTest, KeyStateFollowsDownAndUpForAnyCode) {
    Send(WM_KEYDOWN, 0xBA);
    Send(WM_KEYDOWN, 0x125);  // only the low byte counts
    EXPECT_EQ(Tarvo.IsKeyDown(0xBA), 1);
    EXPECT_EQ(Tarvo.IsKeyDown(0x25), 1);
    Send(WM_KEYDOWN, 0xBA);  // auto-repeat changes nothing
    Send(WM_KEYUP, 0xBA);
    EXPECT_EQ(Tarvo.IsKeyDown(0xBA), 0);
    EXPECT_EQ(Tarvo.IsKeyDown(-1), 0);
    EXPECT_EQ(Tarvo.IsKeyDown(256), 0);
}

TEST_F(EngineTest, MouseRecordsPositionsAndTheLastButton) {
    Send(WM_MOUSEMOVE, 0, Words(30, 40));
    EXPECT_EQ(Tarvo.prevMouseX, 0);
    EXPECT_EQ(Tarvo.prevMouseY, 0);
    Send(WM_MOUSEMOVE, 0, Words(25, 50));
    EXPECT_EQ(Tarvo.GetMouseX(), 25);
    EXPECT_EQ(Tarvo.GetMouseY(), 50);
    EXPECT_EQ(Tarvo.GetMouseDX(), -5.0);
    EXPECT_EQ(Tarvo.GetMouseDY(), 10.0);
    // Words are unsigned: a position left of the client area reads as 65535.
    Send(WM_MOUSEMOVE, 0, Words(-1, 2));
    EXPECT_EQ(Tarvo.GetMouseX(), 65535);

    Send(WM_LBUTTONDOWN);
    EXPECT_EQ(Tarvo.GetMouseButton(), 1);
    Send(WM_RBUTTONDOWN);
    EXPECT_EQ(Tarvo.GetMouseButton(), 2);
    EXPECT_EQ(Tarvo.mouseDown, 1);
    Send(WM_LBUTTONUP);
    EXPECT_EQ(Tarvo.mouseDown, 0);
    EXPECT_EQ(Tarvo.GetMouseButton(), 0);
    Send(WM_MBUTTONDOWN);
    EXPECT_EQ(Tarvo.GetMouseButton(), 16);
}

TEST_F(EngineTest, MoveSetsTheClientOriginFromTheWords) {
    Send(WM_MOVE, 0, Words(300, 200));
    EXPECT_EQ(Tarvo.clientOriginX, 300);
    EXPECT_EQ(Tarvo.clientOriginY, 200);
}

TEST_F(EngineTest, FocusPresentsOnlyWhenReady) {
    StartWindowed();
    Send(WM_KILLFOCUS);
    EXPECT_EQ(Tarvo.active, 0);
    Send(WM_SETFOCUS);
    EXPECT_EQ(Tarvo.active, 1);
    EXPECT_EQ(machine.frames.size(), 1u);

    Send(WM_ACTIVATEAPP, 0);
    EXPECT_EQ(Tarvo.active, 0);
    Tarvo.status = LOCK_FAILED;
    Send(WM_SETFOCUS);
    EXPECT_EQ(Tarvo.active, 0);
    EXPECT_EQ(machine.frames.size(), 1u);
    Send(WM_ACTIVATEAPP, 1);
    EXPECT_EQ(Tarvo.active, 1);
}

TEST_F(EngineTest, ActivationDuringShowIsOverwrittenWhenReady) {
    // Showing sends activation 1 before the surfaces exist; CreateSurface sets 1 anyway.
    machine.activateOnShow = false;
    StartWindowed();
    EXPECT_EQ(Tarvo.active, 1);
}

}  // namespace
