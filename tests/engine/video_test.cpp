#include <gtest/gtest.h>

#include <string>

#include "base/pixel_format.h"
#include "draw/blit.h"
#include "tests/support/engine_fixture.h"

using namespace platform;

namespace {

TEST_F(EngineTest, SurfaceGivesPitchMasksSlotsAndRowTable) {
    struct Case {
        PixelLayout layout;
        int padding;
        int32_t red, green;
        int32_t redShift, greenBits;
    };
    for (const Case& c : {Case{PixelLayout::RGB565, 0, 0xF800, 0x07E0, 11, 6},
                          Case{PixelLayout::RGB555, 6, 0x7C00, 0x03E0, 10, 5}}) {
        SCOPED_TRACE(c.padding);
        ResetEngine();
        machine.layout = c.layout;
        machine.rowPaddingPixels = c.padding;
        StartWindowed();
        EXPECT_EQ(Tarvo.pitchBytes, (756 + c.padding) * 2);
        EXPECT_EQ(Tarvo.pitch, 756 + c.padding);
        EXPECT_EQ(Tarvo.screenHeight, 512);
        // The clip rectangle keeps the window's width when rows are longer.
        EXPECT_EQ(Tarvo.clipRight, 755);
        EXPECT_EQ(redMask, c.red);
        EXPECT_EQ(greenMask, c.green);
        EXPECT_EQ(blueMask, 0x1F);
        EXPECT_EQ(redShift, c.redShift);
        EXPECT_EQ(greenBits, c.greenBits);
        ASSERT_EQ(Tarvo.rowOffset.size(), 513u);
        EXPECT_EQ(Tarvo.rowOffset[512], 512 * Tarvo.pitch);
        EXPECT_EQ(Tarvo.DrawSolid, &DrawSolid16);
        EXPECT_EQ(Tarvo.DrawTransparent, &DrawTransparent16);
        EXPECT_EQ(Tarvo.DrawAlpha, &DrawAlpha16);
        EXPECT_EQ(Tarvo.DrawAdditive, &DrawAdditive16);
        EXPECT_EQ(Tarvo.DrawPixel, &DrawPixel16);
    }
}

TEST_F(EngineTest, RowTableFitsSurfacesTallerThanAThousandRows) {
    machine.screenWidth = 1600;
    machine.screenHeight = 1300;
    StartWindowed(800, 1200);
    ASSERT_EQ(Tarvo.rowOffset.size(), 1201u);
    EXPECT_EQ(Tarvo.rowOffset[1200], 1200 * 800);
    ASSERT_TRUE(Tarvo.BeginDraw());
    Tarvo.DrawPixel(799, 1199, 31, 0, 0);
    EXPECT_EQ(Tarvo.backBuffer[1199 * 800 + 799], 31 << 10);
    Tarvo.EndDraw();
}

TEST_F(EngineTest, FullscreenPrimaryFailureLogsItsReasonOnce) {
    struct Case {
        HResult code;
        std::string line;
    };
    for (const Case& c : {Case{DDERR_OUTOFVIDEOMEMORY, "<WinDX::CreateSurface> Out Of Video Memory\n"},
                          Case{DDERR_NOCOOPERATIVELEVELSET, "<WinDX::CreateSurface> No Cooperate Level Set\n"},
                          Case{DDERR_SURFACEBUSY, ""}}) {
        SCOPED_TRACE(c.line);
        ResetEngine();
        platform::ScriptedPlatform local;
        platform::SetCurrent(&local);
        local.Fail(Op::CreateSurface, 1, c.code);
        ASSERT_TRUE(Tarvo.Initialize(true, 640, 480));
        EXPECT_EQ(ReadLog(), "WindowsDX: Initialization started.\n  " + (c.line.empty() ? "" : c.line + "  ") +
                                 "WinDX:: Front Buffer is in video memory.\n"
                                 "  WinDX:: Back Buffer is in video memory.\n"
                                 "  WinDX:: Back Buffer is a valid flip (back) buffer.\n"
                                 "  WindowsDX: Initialization finished OK.\n  ");
        ResetEngine();
        platform::SetCurrent(&machine);
    }
}

TEST_F(EngineTest, CreateSurfaceAgainReleasesTheFirstPair) {
    StartWindowed();
    machine.calls.clear();
    ASSERT_TRUE(Tarvo.CreateSurface());
    EXPECT_EQ(machine.calls, (std::vector<std::string>{"ReleaseSurface back", "ReleaseSurface primary",
                                                       "CreateSurface primary", "CreateSurface back"}));
}

TEST_F(EngineTest, FrameIsCopiedOneToOneAtTheClientOrigin) {
    machine.keepFramePixels = true;
    StartWindowed(8, 4);
    ASSERT_TRUE(Tarvo.BeginDraw());
    Tarvo.ClearScreen();
    Tarvo.DrawPixel(0, 0, 1, 2, 3);
    Tarvo.DrawPixel(7, 3, 31, 0, 0);
    EXPECT_EQ(Tarvo.EndDraw(), 1);
    EXPECT_EQ(Tarvo.ViewUpdate(), 1);
    ASSERT_EQ(machine.frames.size(), 1u);
    EXPECT_EQ(machine.frames[0].pixels[0], 1 * 1024 + 2 * 32 + 3);
    EXPECT_EQ(machine.frames[0].pixels[3 * 8 + 7], 31 << 10);
    auto* primary = machine.AsSurface(Tarvo.primarySurface);
    const int at = Tarvo.clientOriginY * primary->width + Tarvo.clientOriginX;
    EXPECT_EQ(primary->pixels[static_cast<size_t>(at)], 1 * 1024 + 2 * 32 + 3);
}

TEST_F(EngineTest, ViewUpdateShowsNothingWhenInactiveBehindOrOffScreen) {
    StartWindowed();
    Tarvo.active = 0;
    EXPECT_EQ(Tarvo.ViewUpdate(), 1);
    Tarvo.active = 1;
    machine.SetForeground(nullptr);
    EXPECT_EQ(Tarvo.ViewUpdate(), 1);
    machine.SetForeground(Tarvo.windowHandle);
    Tarvo.clientOriginX = 1024 - 755;  // the last column would fall off the desktop
    EXPECT_EQ(Tarvo.ViewUpdate(), 1);
    EXPECT_TRUE(machine.frames.empty());
    Tarvo.clientOriginX = 1024 - 756;
    EXPECT_EQ(Tarvo.ViewUpdate(), 1);
    EXPECT_EQ(machine.frames.size(), 1u);
}

TEST_F(EngineTest, LostWindowedSurfaceIsReportedAndRestored) {
    StartWindowed();
    machine.LoseSurface(Tarvo.primarySurface);
    EXPECT_EQ(Tarvo.ViewUpdate(), 1);
    ASSERT_EQ(machine.messageBoxes.size(), 1u);
    EXPECT_EQ(machine.messageBoxes[0].text, "<WinDX::ViewUpdate> Error: Surface Lost");
    EXPECT_EQ(machine.messageBoxes[0].caption, "");
    EXPECT_EQ(machine.messageBoxes[0].owner, Tarvo.windowHandle);
    EXPECT_EQ(machine.calls.back(), "Restore back");
    EXPECT_TRUE(machine.frames.empty());
    EXPECT_EQ(Tarvo.ViewUpdate(), 1);
    EXPECT_EQ(machine.frames.size(), 1u);

    machine.LoseSurface(Tarvo.primarySurface);
    machine.Fail(Op::Restore, 0);
    EXPECT_EQ(Tarvo.ViewUpdate(), 0);
}

TEST_F(EngineTest, StillDrawingCopyReturnsZero) {
    StartWindowed();
    machine.Fail(Op::BltFast, 1, DDERR_WASSTILLDRAWING);
    EXPECT_EQ(Tarvo.ViewUpdate(), 0);
    machine.Fail(Op::BltFast, 2, DDERR_GENERIC);
    EXPECT_EQ(Tarvo.ViewUpdate(), 1);
    EXPECT_TRUE(machine.frames.empty());
}

TEST_F(EngineTest, FullscreenFlipsAndRepairsALostPrimarySilently) {
    ASSERT_TRUE(Tarvo.Initialize(true, 640, 480));
    EXPECT_EQ(Tarvo.ViewUpdate(), 1);
    EXPECT_EQ(machine.frames.size(), 1u);
    machine.LoseSurface(Tarvo.primarySurface);
    EXPECT_EQ(Tarvo.ViewUpdate(), 1);
    EXPECT_EQ(machine.calls.back(), "Restore primary");
    EXPECT_TRUE(machine.messageBoxes.empty());
}

TEST_F(EngineTest, FailedLockReportsEveryTime) {
    StartWindowed();
    machine.Fail(Op::Lock, 0);
    EXPECT_FALSE(Tarvo.BeginDraw());
    EXPECT_FALSE(Tarvo.BeginDraw());
    EXPECT_EQ(Tarvo.status, LOCK_FAILED);
    ASSERT_EQ(machine.messageBoxes.size(), 2u);
    EXPECT_EQ(machine.messageBoxes[0].caption, "Tarvo");
    EXPECT_EQ(machine.messageBoxes[0].text.rfind("Unable to start Tarvo.\n\nError: LOCK_FAILED", 0), 0u);
    const std::string log = ReadLog();
    EXPECT_NE(log.find("  Tarvo Error: LOCK_FAILED"), std::string::npos);
}

TEST_F(EngineTest, DrawTextUsesTheTextColourOrLogsWithoutContext) {
    StartWindowed();
    Tarvo.SetTextRGB(255, 128, 1);
    EXPECT_EQ(Tarvo.DrawText(5, 6, "Score 10"), 1);
    ASSERT_EQ(machine.texts.size(), 1u);
    EXPECT_EQ(machine.texts[0].text, "Score 10");
    EXPECT_EQ(machine.texts[0].x, 5);
    EXPECT_EQ(machine.texts[0].color, 0x000180FFu);

    machine.Fail(Op::GetDC, 0, DDERR_CANTCREATEDC);
    EXPECT_EQ(Tarvo.DrawText(0, 0, "x"), 0);
    EXPECT_EQ(machine.texts.size(), 1u);
    const std::string log = ReadLog();
    const std::string tail = "  WinDX::DrawText: Unable to get device context handle.\n  ";
    EXPECT_EQ(log.substr(log.size() - tail.size()), tail);
}

}  // namespace
