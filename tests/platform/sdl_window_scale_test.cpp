// The SDL backend's window scale against the usable desktop: a scale asked
// for that does not fit is refused before start, and a scale chosen by
// default is chosen again when the display changes. On SDL's dummy video
// driver, the usable desktop given through SDL's own override.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "platform/sdl/sdl_platform.h"

namespace {

intptr_t IgnoreMessages(platform::WindowHandle, uint32_t, uintptr_t, intptr_t) { return 0; }

platform::SdlOptions Scaled(int scale) {
    platform::SdlOptions options;
    options.scale = scale;
    return options;
}

class SdlWindowScaleTest : public testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        UseDesktop("0,0,2560,1440");
    }
    void TearDown() override {
        unsetenv("SDL_VIDEODRIVER");
        SDL_ResetHints();
    }
    static void UseDesktop(const char* usable) { SDL_SetHint(SDL_HINT_DISPLAY_USABLE_BOUNDS, usable); }
    // The game's main window: 755 x 511, shown.
    static platform::WindowHandle OpenWindow(platform::Platform& sdl) {
        EXPECT_TRUE(sdl.RegisterClass("Tarvo", 0, IgnoreMessages));
        platform::WindowHandle window = sdl.CreateWindow(0, "Tarvo", "", 0, 0, 0, 755, 511);
        EXPECT_NE(window, nullptr);
        if (window != nullptr) sdl.ShowWindow(window, 1);
        return window;
    }
    static void DisplayChanged(platform::Platform& sdl) {
        SDL_Event event{};
        event.type = SDL_DISPLAYEVENT;
        event.display.event = SDL_DISPLAYEVENT_CONNECTED;
        ASSERT_EQ(SDL_PushEvent(&event), 1);
        platform::Message message;
        while (sdl.PeekMessage(message)) {
        }
    }
};

TEST_F(SdlWindowScaleTest, ScaleAskedForThatDoesNotFitIsRefused) {
    // SDL forgets its hints each time it quits, so each backend is told anew.
    auto fits = [](int scale, std::string& why) {
        UseDesktop("0,0,1920,1080");
        return platform::SdlScaleFits(*platform::CreateSdlPlatform(Scaled(scale)), 755, 511, why);
    };
    std::string why;
    EXPECT_TRUE(fits(2, why)) << why;
    EXPECT_TRUE(fits(0, why)) << why;
    EXPECT_FALSE(fits(3, why));
    EXPECT_EQ(why, "--scale 3 makes the window 2265 x 1533 pixels; the desktop has room for 1920 x 1080");
}

TEST_F(SdlWindowScaleTest, DefaultScaleChosenAgainWhenTheDisplayChanges) {
    std::unique_ptr<platform::Platform> sdl = platform::CreateSdlPlatform();
    platform::WindowHandle window = OpenWindow(*sdl);
    ASSERT_EQ(platform::SdlWindowScale(*sdl), 2);
    UseDesktop("0,0,1280,1024");
    DisplayChanged(*sdl);
    EXPECT_EQ(platform::SdlWindowScale(*sdl), 1);
    int width = 0, height = 0;
    sdl->GetClientRect(window, width, height);
    EXPECT_EQ(width, 755);
    EXPECT_EQ(height, 511);
    UseDesktop("0,0,3840,2160");
    DisplayChanged(*sdl);
    EXPECT_EQ(platform::SdlWindowScale(*sdl), 3);
    sdl->GetClientRect(window, width, height);
    EXPECT_EQ(width, 755);
}

TEST_F(SdlWindowScaleTest, ScaleAskedForStaysWhenTheDisplayChanges) {
    std::unique_ptr<platform::Platform> sdl = platform::CreateSdlPlatform(Scaled(2));
    OpenWindow(*sdl);
    UseDesktop("0,0,3840,2160");
    DisplayChanged(*sdl);
    EXPECT_EQ(platform::SdlWindowScale(*sdl), 2);
}

}  // namespace
