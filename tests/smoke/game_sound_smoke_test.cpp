// The whole game on the real SDL2 backend under a virtual X server, on a
// machine without a sound device: it starts, is played (Space starts the
// fight and fires, Up thrusts, M is pressed), and quits on Escape with
// status 0; the missing sound costs one line in debug.txt and nothing else.
//
// Keys reach the game as SDL key events pushed by a timer, as a keyboard
// would deliver them.
#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "engine/audio.h"
#include "engine/windows_dx.h"
#include "file/data_path.h"
#include "game/game.h"
#include "platform/sdl/sdl_platform.h"

namespace {

void PushKey(Uint32 type, SDL_Keycode sym, SDL_Scancode scancode) {
    SDL_Event event{};
    event.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = scancode;
    event.key.keysym.sym = sym;
    SDL_PushEvent(&event);
}

// Every 100 ms, once the program's events run: the next step of the play.
Uint32 Play(Uint32 interval, void*) {
    static int tick = 0;
    if (SDL_WasInit(SDL_INIT_EVENTS) == 0) return interval;
    switch (++tick) {
        case 2: PushKey(SDL_KEYDOWN, SDLK_SPACE, SDL_SCANCODE_SPACE); break;
        case 4: PushKey(SDL_KEYDOWN, SDLK_UP, SDL_SCANCODE_UP); break;
        case 6: PushKey(SDL_KEYDOWN, SDLK_m, SDL_SCANCODE_M); break;
        case 7: PushKey(SDL_KEYUP, SDLK_m, SDL_SCANCODE_M); break;
        case 12: PushKey(SDL_KEYUP, SDLK_UP, SDL_SCANCODE_UP); break;
        case 14: PushKey(SDL_KEYDOWN, SDLK_ESCAPE, SDL_SCANCODE_ESCAPE); return 0;
        default: break;
    }
    return interval;
}

}  // namespace

TEST(GameSoundSmoke, StartsPlaysAndQuitsWithoutASoundDevice) {
    std::string dir = (std::filesystem::temp_directory_path() / "tarvo-sound-smoke-XXXXXX").string();
    ASSERT_NE(mkdtemp(dir.data()), nullptr);
    ASSERT_EQ(chdir(dir.c_str()), 0);
    // Pictures and effects from the build, as from beside the executable.
    SetDataFolders({TARVO_BINARY_DIR});

    std::unique_ptr<platform::Platform> sdl = platform::CreateSdlPlatform();
    platform::SetCurrent(sdl.get());
    const SDL_TimerID timer = SDL_AddTimer(100, Play, nullptr);
    ASSERT_NE(timer, 0) << SDL_GetError();
    const int code = WinMain(nullptr, nullptr, "", 1);
    SDL_RemoveTimer(timer);
    const long presented = platform::SdlPresentedFrames(*sdl);
    sdl.reset();
    platform::SetCurrent(nullptr);

    EXPECT_EQ(code, 0);
    EXPECT_GT(presented, 30);
    // Played: the fight started, the ship flew up under thrust and fired.
    EXPECT_FALSE(showIntro);
    EXPECT_LT(playerShip.y, 630);
    EXPECT_GT(playerPhotons.Count(), 0);
    EXPECT_FALSE(audio.IsOpen());
    EXPECT_TRUE(audio.Muted());  // M was pressed once

    std::ifstream in("debug.txt");
    std::stringstream text;
    text << in.rdbuf();
    const std::string log = text.str();
    const size_t line = log.find("Audio: No sound output (");
    EXPECT_NE(line, std::string::npos) << log;
    EXPECT_EQ(log.find("Audio:"), log.rfind("Audio:")) << log;
    EXPECT_EQ(log.find("Error"), std::string::npos) << log;
    std::filesystem::remove_all(dir);
}
