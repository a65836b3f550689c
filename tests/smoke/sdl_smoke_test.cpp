// The real SDL2 backend under a virtual X server: the window comes up at the
// size the engine asks for, frames reach the screen, and Escape pressed on
// the keyboard ends the program through the engine's own message handling.
#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/windows_dx.h"
#include "platform/sdl/sdl_keys.h"
#include "platform/sdl/sdl_platform.h"

namespace {

int framesRun = 0;
int textPixels = -1;

// Pixels that are not background in a rectangle of the back buffer.
int CountLit(int x0, int y0, int x1, int y1) {
    int lit = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) lit += Tarvo.backBuffer[y * Tarvo.pitch + x] != 0;
    return lit;
}

void PressEscape() {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    event.key.keysym.scancode = SDL_SCANCODE_ESCAPE;
    event.key.keysym.sym = SDLK_ESCAPE;
    SDL_PushEvent(&event);
}

}  // namespace

void initialize() { Tarvo.Initialize(false, 756, 512); }

void run() {
    ++framesRun;
    if (Tarvo.BeginDraw()) {
        // What DrawText put on the surface after the last frame is still there.
        if (framesRun == 2) textPixels = CountLit(200, 200, 400, 240);
        Tarvo.ClearScreen();
        Tarvo.FillRect(10, 10, 100, 100, 255, 255, 255);
        Tarvo.EndDraw();
    }
    Tarvo.SetTextRGB(255, 255, 0);
    EXPECT_EQ(Tarvo.DrawText(200, 200, "Tarvo"), 1);
    Tarvo.ViewUpdate();
    if (framesRun == 30) PressEscape();
    // A quit that never arrives must not hang the test run.
    if (framesRun > 600) std::exit(3);
}

TEST(SdlSmoke, WindowComesUpFramesShowAndEscapeQuits) {
    std::string dir = (std::filesystem::temp_directory_path() / "tarvo-smoke-XXXXXX").string();
    ASSERT_NE(mkdtemp(dir.data()), nullptr);
    ASSERT_EQ(chdir(dir.c_str()), 0);

    std::unique_ptr<platform::Platform> sdl = platform::CreateSdlPlatform();
    platform::SetCurrent(sdl.get());
    const int code = WinMain(nullptr, nullptr, "", 1);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(framesRun, 30);
    EXPECT_GE(platform::SdlPresentedFrames(*sdl), 1);
    EXPECT_GT(textPixels, 20);
    // Escape was typed; the finished run leaves no key held, Escape included.
    EXPECT_EQ(Tarvo.keyCount, 1);
    EXPECT_EQ(Tarvo.keyBuffer[0], 27);
    EXPECT_EQ(Tarvo.keyState[27], 0);
    EXPECT_EQ(Tarvo.pitch >= 756, true);
    EXPECT_EQ(Tarvo.screenHeight, 512);

    // The main window's client area is one pixel short of the surface each way.
    SDL_Window* main = SDL_GetWindowFromID(2);
    ASSERT_NE(main, nullptr);
    int w = 0, h = 0;
    SDL_GetWindowSize(main, &w, &h);
    EXPECT_EQ(w, 755);
    EXPECT_EQ(h, 511);

    std::ifstream log("debug.txt");
    std::stringstream text;
    text << log.rdbuf();
    EXPECT_EQ(text.str().rfind("WindowsDX: Initialization started.\n", 0), 0u);
    EXPECT_NE(text.str().find("  WindowsDX: Initialization finished OK.\n"), std::string::npos);

    sdl.reset();
    platform::SetCurrent(nullptr);
    std::filesystem::remove_all(dir);
}

// The backend on its own, with a window to present to; each test its own SDL.
class SdlBackend : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sdl->RegisterClass(
            "Tarvo", 0, [](platform::WindowHandle, uint32_t, uintptr_t, intptr_t) { return intptr_t{0}; }));
        window = sdl->CreateWindow(0, "Tarvo", "", platform::WS_POPUP, 0, 0, 64, 48);
        ASSERT_NE(window, nullptr);
        ASSERT_EQ(sdl->DirectDrawCreate(dd), platform::DD_OK);
        ASSERT_EQ(sdl->SetCooperativeLevel(dd, window, platform::DDSCL_FULLSCREEN | platform::DDSCL_EXCLUSIVE),
                  platform::DD_OK);
    }
    std::unique_ptr<platform::Platform> sdl = platform::CreateSdlPlatform();
    platform::WindowHandle window = nullptr;
    platform::DirectDrawHandle dd = nullptr;
};

// The back surface is allocated from the mode's size: a size no surface may
// have fails the mode (SETMODE_FAILED) instead of ending the process.
TEST_F(SdlBackend, AFullScreenModeLargerThanAnySurfaceIsRefused) {
    for (int side : {1'000'000, 16385}) {
        SCOPED_TRACE(side);
        EXPECT_NE(sdl->SetDisplayMode(dd, side, 480, 16), platform::DD_OK);
        EXPECT_NE(sdl->SetDisplayMode(dd, 640, side, 16), platform::DD_OK);
    }
    EXPECT_EQ(sdl->SetDisplayMode(dd, 640, 480, 16), platform::DD_OK);
}

// Releasing a flip chain's back buffer on its own clears the primary's
// pointer to it: the primary then has no back buffer to give or flip.
TEST_F(SdlBackend, ReleasingTheBackBufferLeavesNoDanglingPointer) {
    ASSERT_EQ(sdl->SetDisplayMode(dd, 640, 480, 16), platform::DD_OK);
    platform::SurfaceDesc request;
    request.dwSize = platform::kSurfaceDescSize;
    request.dwFlags = platform::DDSD_CAPS | platform::DDSD_BACKBUFFERCOUNT;
    request.dwBackBufferCount = 1;
    request.dwCaps = platform::DDSCAPS_PRIMARYSURFACE | platform::DDSCAPS_FLIP | platform::DDSCAPS_COMPLEX;
    platform::SurfaceHandle primary = nullptr, back = nullptr;
    ASSERT_EQ(sdl->CreateSurface(dd, request, primary), platform::DD_OK);
    ASSERT_EQ(sdl->GetAttachedSurface(primary, platform::DDSCAPS_BACKBUFFER, back), platform::DD_OK);
    sdl->ReleaseSurface(back);
    platform::SurfaceHandle again = nullptr;
    EXPECT_EQ(sdl->GetAttachedSurface(primary, platform::DDSCAPS_BACKBUFFER, again), platform::DDERR_NOTFOUND);
    EXPECT_EQ(sdl->Flip(primary), platform::DDERR_NOTFLIPPABLE);
    sdl->ReleaseSurface(primary);
}

// A controller (SDL's virtual one, as a test stands in for hardware) arrives
// as key messages to the shown window: A is Space, the stick's left is the
// left arrow, Back is Escape with its character; unplugged, it lets go.
TEST_F(SdlBackend, AControllerArrivesAsKeysAndLetsGoWhenUnplugged) {
    sdl->ShowWindow(window, 1);
    const int device = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                                 SDL_CONTROLLER_BUTTON_MAX, 0);
    ASSERT_GE(device, 0) << SDL_GetError();
    SDL_Joystick* joystick = SDL_JoystickOpen(device);
    ASSERT_NE(joystick, nullptr) << SDL_GetError();
    const SDL_JoystickID id = SDL_JoystickInstanceID(joystick);
    // Key messages, until `count` have come or a generous deadline passes,
    // then whatever follows them at once.
    auto drain = [&](size_t count) {
        std::vector<std::string> keys;
        const Uint64 deadline = SDL_GetTicks64() + 30'000;
        for (int settle = 0; settle < 3;) {
            platform::Message m;
            while (sdl->PeekMessage(m)) {
                if (m.message == platform::WM_KEYDOWN) keys.push_back("down " + std::to_string(m.wParam));
                if (m.message == platform::WM_KEYUP) keys.push_back("up " + std::to_string(m.wParam));
                if (m.message == platform::WM_CHAR) keys.push_back("char " + std::to_string(m.wParam));
            }
            if (keys.size() >= count || SDL_GetTicks64() > deadline) ++settle;
            SDL_Delay(5);
        }
        return keys;
    };
    // The backend opens the controller when it reads that one was plugged in.
    const Uint64 deadline = SDL_GetTicks64() + 30'000;
    while (SDL_GameControllerFromInstanceID(id) == nullptr && SDL_GetTicks64() < deadline) {
        platform::Message m;
        while (sdl->PeekMessage(m)) {
        }
        SDL_Delay(5);
    }
    ASSERT_NE(SDL_GameControllerFromInstanceID(id), nullptr) << "the backend never opened the controller";
    SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_A, 1);
    EXPECT_EQ(drain(1), (std::vector<std::string>{"down 32"}));
    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTX, -30000);
    EXPECT_EQ(drain(1), (std::vector<std::string>{"down 37"}));
    SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_BACK, 1);
    EXPECT_EQ(drain(2), (std::vector<std::string>{"down 27", "char 27"}));
    SDL_JoystickClose(joystick);
    ASSERT_EQ(SDL_JoystickDetachVirtual(device), 0) << SDL_GetError();
    std::vector<std::string> released = drain(3);
    std::sort(released.begin(), released.end());
    EXPECT_EQ(released, (std::vector<std::string>{"up 27", "up 32", "up 37"}));
}

TEST(SdlKeys, MapToVirtualKeyCodes) {
    using platform::VirtualKeyFromSdl;
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_a, SDL_SCANCODE_A), 'A');
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_p, SDL_SCANCODE_P), 80);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_7, SDL_SCANCODE_7), '7');
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_LEFT, SDL_SCANCODE_LEFT), 37);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_UP, SDL_SCANCODE_UP), 38);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_RIGHT, SDL_SCANCODE_RIGHT), 39);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_DOWN, SDL_SCANCODE_DOWN), 40);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_SPACE, SDL_SCANCODE_SPACE), 32);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_ESCAPE, SDL_SCANCODE_ESCAPE), 27);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_RETURN, SDL_SCANCODE_RETURN), 13);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_F1, SDL_SCANCODE_F1), 0x70);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_SEMICOLON, SDL_SCANCODE_SEMICOLON), 0xBA);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_KP_5, SDL_SCANCODE_KP_5), 0x65);
    EXPECT_EQ(platform::ControlCharacterOfKey(27), 27);
    EXPECT_EQ(platform::ControlCharacterOfKey(8), 8);
    EXPECT_EQ(platform::ControlCharacterOfKey('A'), 0);
}
