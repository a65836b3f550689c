// The SDL backend's desktop behaviour on SDL's dummy video driver (no
// display): the key map between keyboard and game, F11 and Alt+Enter, and
// the settings written when the player changes them (a resized window's
// scale, full screen, mute), or said once in debug.txt when they cannot be.
#include <SDL.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "engine/debug_log.h"
#include "platform/sdl/sdl_platform.h"
#include "tests/support/test_game.h"

namespace platform {
namespace {

intptr_t IgnoreMessages(WindowHandle, uint32_t, uintptr_t, intptr_t) { return 0; }

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class SdlDesktopTest : public testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        SDL_SetHint(SDL_HINT_DISPLAY_USABLE_BOUNDS, "0,0,2560,1440");
        options.settingsPath = "config/tarvo/settings.ini";
        options.muted = [this] { return muted; };
    }
    void TearDown() override {
        sdl.reset();
        debugLog.Close();
        unsetenv("SDL_VIDEODRIVER");
        SDL_ResetHints();
    }
    void Open() {
        sdl = CreateSdlPlatform(options);
        ASSERT_TRUE(sdl->RegisterClass("Tarvo", 0, IgnoreMessages));
        window = sdl->CreateWindow(0, "Tarvo", "", 0, 0, 0, 755, 511);
        ASSERT_NE(window, nullptr);
        sdl->ShowWindow(window, 1);
        Drain();
    }
    // The one SDL window the backend made.
    static SDL_Window* Sdl() {
        for (Uint32 id = 1; id < 100; ++id)
            if (SDL_Window* w = SDL_GetWindowFromID(id)) return w;
        return nullptr;
    }
    // The key and mouse messages the engine is sent, as "down 38", "move 3 4".
    std::vector<std::string> Drain() {
        std::vector<std::string> keys;
        Message message;
        while (sdl->PeekMessage(message)) {
            if (message.message == WM_KEYDOWN) keys.push_back("down " + std::to_string(message.wParam));
            if (message.message == WM_KEYUP) keys.push_back("up " + std::to_string(message.wParam));
            if (message.message == WM_MOUSEMOVE)
                keys.push_back("move " + std::to_string(message.lParam & 0xFFFF) + " " +
                               std::to_string((message.lParam >> 16) & 0xFFFF));
        }
        return keys;
    }
    static void Mouse(int x, int y) {
        SDL_Event event{};
        event.type = SDL_MOUSEMOTION;
        event.motion.windowID = SDL_GetWindowID(Sdl());
        event.motion.x = x;
        event.motion.y = y;
        ASSERT_EQ(SDL_PushEvent(&event), 1);
    }
    static void Key(SDL_Keycode sym, SDL_Scancode scancode, bool down, Uint16 mod = KMOD_NONE) {
        SDL_Event event{};
        event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        event.key.keysym.sym = sym;
        event.key.keysym.scancode = scancode;
        event.key.keysym.mod = mod;
        ASSERT_EQ(SDL_PushEvent(&event), 1);
    }

    SdlOptions options;
    bool muted = false;
    std::unique_ptr<Platform> sdl;
    WindowHandle window = nullptr;
};

using Lines = std::vector<std::string>;

TEST_F(SdlDesktopTest, KeysReachTheGameThroughTheKeyMap) {
    options.keys.Bind(ShooterKey::Fire, {"Return"});
    Open();
    Key(SDLK_w, SDL_SCANCODE_W, true);
    Key(SDLK_UP, SDL_SCANCODE_UP, true);
    Key(SDLK_w, SDL_SCANCODE_W, false);  // Up still holds it
    Key(SDLK_UP, SDL_SCANCODE_UP, false);
    Key(SDLK_RETURN, SDL_SCANCODE_RETURN, true);
    Key(SDLK_SPACE, SDL_SCANCODE_SPACE, true);  // fire is on Return only
    Key(SDLK_q, SDL_SCANCODE_Q, true);
    EXPECT_EQ(Drain(), (Lines{"down 38", "down 38", "up 38", "down 32", "down 81"}));
    EXPECT_FALSE(std::filesystem::exists(options.settingsPath)) << "nothing changed, nothing written";
}

TEST_F(SdlDesktopTest, F11AndAltEnterToggleFullScreenAndAreRemembered) {
    Open();
    Key(SDLK_F11, SDL_SCANCODE_F11, true);
    EXPECT_EQ(Drain(), Lines{}) << "the game never sees F11";
    EXPECT_NE(SDL_GetWindowFlags(Sdl()) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE) << "the pointer is hidden";
    EXPECT_NE(Read(options.settingsPath).find("fullscreen = yes\n"), std::string::npos);
    Key(SDLK_F11, SDL_SCANCODE_F11, false);
    Key(SDLK_RETURN, SDL_SCANCODE_RETURN, true, KMOD_LALT);
    EXPECT_EQ(Drain(), Lines{});
    EXPECT_EQ(SDL_GetWindowFlags(Sdl()) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    EXPECT_NE(Read(options.settingsPath).find("fullscreen = no\n"), std::string::npos);
}

TEST_F(SdlDesktopTest, FullScreenAtStartIsNotWrittenButMuteIs) {
    options.fullscreen = true;  // as --fullscreen gives it
    Open();
    EXPECT_NE(SDL_GetWindowFlags(Sdl()) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
    EXPECT_FALSE(std::filesystem::exists(options.settingsPath));
    muted = true;  // M pressed
    sdl.reset();
    Settings expected;
    expected.mute = true;
    EXPECT_EQ(Read(options.settingsPath), FormatSettings(expected));
}

TEST_F(SdlDesktopTest, AResizedWindowsScaleIsRememberedAndKept) {
    Open();
    ASSERT_EQ(SdlWindowScale(*sdl), 2);
    SDL_SetWindowSize(Sdl(), 3000, 1200);  // 3x across, 2x down
    Drain();
    EXPECT_FALSE(std::filesystem::exists(options.settingsPath)) << "still 2x";
    SDL_SetWindowSize(Sdl(), 2400, 1600);
    Drain();
    EXPECT_EQ(SdlWindowScale(*sdl), 3);
    EXPECT_NE(Read(options.settingsPath).find("scale = 3\n"), std::string::npos);
    // The picture, 2265 x 1533, at (67, 33): the mouse in its pixels, clamped.
    Mouse(67 + 3 * 100 + 2, 33 + 3 * 50);
    Mouse(10, 10);
    Mouse(2399, 1599);
    EXPECT_EQ(Drain(), (Lines{"move 100 50", "move 0 0", "move 754 510"}));
    int width = 0, height = 0;
    sdl->GetClientRect(window, width, height);
    EXPECT_EQ(width, 755) << "the game's client area keeps its size";
    EXPECT_EQ(height, 511);
    // Chosen by the player: a display that changes no longer chooses it.
    SDL_SetHint(SDL_HINT_DISPLAY_USABLE_BOUNDS, "0,0,1280,1024");
    SDL_Event event{};
    event.type = SDL_DISPLAYEVENT;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    Drain();
    EXPECT_EQ(SdlWindowScale(*sdl), 3);
}

TEST_F(SdlDesktopTest, SettingsThatCannotBeWrittenAreSaidOnceAndPlayGoesOn) {
    std::ofstream("blocker") << "x";
    options.settingsPath = "blocker/tarvo/settings.ini";
    options.startupLog = {"Settings: first line", "Settings: second line"};
    debugLog.Open("debug.txt");
    Open();
    Key(SDLK_F11, SDL_SCANCODE_F11, true);
    Key(SDLK_F11, SDL_SCANCODE_F11, false);
    Key(SDLK_F11, SDL_SCANCODE_F11, true);
    Key(SDLK_w, SDL_SCANCODE_W, true);
    EXPECT_EQ(Drain(), Lines{"down 38"});
    debugLog.Close();
    const std::string log = Read("debug.txt");
    EXPECT_NE(log.find("Settings: first line\n  Settings: second line\n"), std::string::npos) << log;
    const size_t said = log.find("Settings: not saved: cannot make the folder blocker/tarvo");
    EXPECT_NE(said, std::string::npos) << log;
    EXPECT_EQ(log.find("Settings: not saved", said + 1), std::string::npos) << "said once: " << log;
}

// Mute as the engine's audio reports it is written at once, not at the end.
TEST_F(SdlDesktopTest, AReportedMuteIsWrittenAtOnce) {
    options.muted = nullptr;
    Open();
    SdlMuteChanged(*sdl, true);
    Settings expected;
    expected.mute = true;
    EXPECT_EQ(Read(options.settingsPath), FormatSettings(expected));
}

// The player's own lines stay; a change whose save failed goes with the next.
TEST_F(SdlDesktopTest, ASaveWritesEveryChangeOfTheRunIntoThePlayersFile) {
    std::filesystem::create_directories("config/tarvo");
    std::ofstream(options.settingsPath) << "# mine\n[window]\nfullscreen = no\n";
    ASSERT_EQ(chmod(options.settingsPath.c_str(), 0444), 0);
    Open();
    Key(SDLK_F11, SDL_SCANCODE_F11, true);
    Drain();
    ASSERT_NE(SDL_GetWindowFlags(Sdl()) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
    EXPECT_EQ(Read(options.settingsPath), "# mine\n[window]\nfullscreen = no\n") << "read-only: left alone";
    ASSERT_EQ(chmod(options.settingsPath.c_str(), 0644), 0);
    muted = true;  // M pressed
    sdl.reset();
    EXPECT_EQ(Read(options.settingsPath), "# mine\n[window]\nfullscreen = yes\n\n[sound]\nmute = yes\n");
}

// The game's own items: read from the file the player has, each save
// rewriting only the item changed; a file that cannot be written says so.
TEST_F(SdlDesktopTest, TheGamesOwnItemsAreKeptInItsSection) {
    std::filesystem::create_directories("config/tarvo");
    const std::string mine = "# mine\n[game]\nbest = 7\nlevel = 2\n\n[window]\nfullscreen = no\n";
    std::ofstream(options.settingsPath) << mine;
    std::vector<std::string> problems;
    options.remembered = ParseSettings(mine, options.settingsPath, SdlKeyName, problems);
    ASSERT_TRUE(problems.empty()) << problems[0];
    Open();
    std::string value, why;
    ASSERT_TRUE(sdl->ReadGameSetting("best", value));
    EXPECT_EQ(value, "7");
    EXPECT_FALSE(sdl->ReadGameSetting("lives", value));
    ASSERT_TRUE(sdl->WriteGameSetting("best", "120", why)) << why;
    ASSERT_TRUE(sdl->WriteGameSetting("player", "Ann", why)) << why;
    EXPECT_EQ(Read(options.settingsPath),
              "# mine\n[game]\nbest = 120\nlevel = 2\nplayer = Ann\n\n[window]\nfullscreen = no\n");
    ASSERT_EQ(chmod(options.settingsPath.c_str(), 0444), 0);
    EXPECT_FALSE(sdl->WriteGameSetting("best", "130", why));
    EXPECT_EQ(why, options.settingsPath + " is read-only; it is left as it is");
    ASSERT_TRUE(sdl->ReadGameSetting("best", value));
    EXPECT_EQ(value, "130") << "kept for the run";
    ASSERT_EQ(chmod(options.settingsPath.c_str(), 0644), 0);
}

}  // namespace
}  // namespace platform
