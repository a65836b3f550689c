// The whole game on the real SDL2 backend under a virtual X server, on a
// machine without a sound device: it starts, is played (Space starts the
// fight and fires, Up thrusts, M is pressed), and quits on Escape with
// status 0; the missing sound costs one line in debug.txt and nothing else.
//
// Keys reach the game as SDL key events, as a keyboard would deliver them.
// Each is pushed once the game shows that the one before has acted, however
// slowly the machine runs: the play is counted in frames, never in time.
#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "engine/audio.h"
#include "engine/windows_dx.h"
#include "file/data_path.h"
#include "game/game.h"
#include "platform/sdl/sdl_platform.h"

namespace {

using namespace platform;

// The SDL backend with a look at every frame: `beforeFrame` runs on the
// program's thread each time the message queue is empty, that is just
// before the game's run().
class WatchedPlatform final : public Platform {
public:
    WatchedPlatform(Platform& inner, std::function<void()> beforeFrame)
        : inner(inner), beforeFrame(std::move(beforeFrame)) {}

    bool PeekMessage(Message& out) override {
        if (inner.PeekMessage(out)) return true;
        beforeFrame();
        return false;
    }

    bool RegisterClass(const char* name, uint32_t style, WindowProcFn proc) override {
        return inner.RegisterClass(name, style, proc);
    }
    int GetScreenDepth() override { return inner.GetScreenDepth(); }
    int GetScreenWidth() override { return inner.GetScreenWidth(); }
    int GetScreenHeight() override { return inner.GetScreenHeight(); }
    WindowHandle CreateWindow(uint32_t exStyle, const char* name, const char* title, uint32_t style, int x, int y,
                              int w, int h) override {
        return inner.CreateWindow(exStyle, name, title, style, x, y, w, h);
    }
    void GetClientRect(WindowHandle window, int& w, int& h) override { inner.GetClientRect(window, w, h); }
    void ShowWindow(WindowHandle window, int command) override { inner.ShowWindow(window, command); }
    bool UpdateWindow(WindowHandle window) override { return inner.UpdateWindow(window); }
    void DestroyWindow(WindowHandle window) override { inner.DestroyWindow(window); }
    intptr_t DefWindowProc(WindowHandle window, uint32_t message, uintptr_t w, intptr_t l) override {
        return inner.DefWindowProc(window, message, w, l);
    }
    void PostQuitMessage(int code) override { inner.PostQuitMessage(code); }
    WindowHandle GetForegroundWindow() override { return inner.GetForegroundWindow(); }
    void ClientToScreen(WindowHandle window, int& x, int& y) override { inner.ClientToScreen(window, x, y); }
    int MessageBox(WindowHandle owner, const char* text, const char* caption, uint32_t flags) override {
        return inner.MessageBox(owner, text, caption, flags);
    }
    HResult DirectDrawCreate(DirectDrawHandle& out) override { return inner.DirectDrawCreate(out); }
    HResult SetCooperativeLevel(DirectDrawHandle dd, WindowHandle window, uint32_t flags) override {
        return inner.SetCooperativeLevel(dd, window, flags);
    }
    HResult SetDisplayMode(DirectDrawHandle dd, int w, int h, int bits) override {
        return inner.SetDisplayMode(dd, w, h, bits);
    }
    HResult CreateSurface(DirectDrawHandle dd, const SurfaceDesc& request, SurfaceHandle& out) override {
        return inner.CreateSurface(dd, request, out);
    }
    HResult GetAttachedSurface(SurfaceHandle surface, uint32_t caps, SurfaceHandle& out) override {
        return inner.GetAttachedSurface(surface, caps, out);
    }
    HResult GetSurfaceDesc(SurfaceHandle surface, SurfaceDesc& desc) override {
        return inner.GetSurfaceDesc(surface, desc);
    }
    HResult Lock(SurfaceHandle surface, SurfaceDesc& desc) override { return inner.Lock(surface, desc); }
    HResult Unlock(SurfaceHandle surface) override { return inner.Unlock(surface); }
    HResult Flip(SurfaceHandle primary) override { return inner.Flip(primary); }
    HResult BltFast(SurfaceHandle dest, int x, int y, SurfaceHandle source) override {
        return inner.BltFast(dest, x, y, source);
    }
    HResult IsLost(SurfaceHandle surface) override { return inner.IsLost(surface); }
    HResult Restore(SurfaceHandle surface) override { return inner.Restore(surface); }
    HResult GetDC(SurfaceHandle surface) override { return inner.GetDC(surface); }
    void TextOut(SurfaceHandle surface, int x, int y, const char* text, int length, uint32_t color) override {
        inner.TextOut(surface, x, y, text, length, color);
    }
    void ReleaseDC(SurfaceHandle surface) override { inner.ReleaseDC(surface); }
    void ReleaseSurface(SurfaceHandle surface) override { inner.ReleaseSurface(surface); }
    void ReleaseDirectDraw(DirectDrawHandle dd) override { inner.ReleaseDirectDraw(dd); }
    bool OpenAudio(std::string& why) override { return inner.OpenAudio(why); }
    int LoadSound(const char* path) override { return inner.LoadSound(path); }
    void PlaySound(int sound, float volume, float pan, bool loop) override {
        inner.PlaySound(sound, volume, pan, loop);
    }
    void StopSound(int sound) override { inner.StopSound(sound); }
    void StopAllSounds() override { inner.StopAllSounds(); }

private:
    Platform& inner;
    std::function<void()> beforeFrame;
};

void PushKey(Uint32 type, SDL_Keycode sym, SDL_Scancode scancode) {
    SDL_Event event{};
    event.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = scancode;
    event.key.keysym.sym = sym;
    SDL_PushEvent(&event);
}

constexpr float kStartY = 630;  // the player's ship at the start

// The play, one step at a time: each step's keys go out once the game shows
// what the step waits for. A key pushed before a frame is read by that frame.
class Player {
public:
    void BeforeFrame() {
        ++frames;
        if (step == kDone) return;
        // The game acts on a key within a frame or two, so a step that has
        // waited this long never comes, whatever the machine's speed.
        if (frames - stepStarted > 600) {
            stalledAt = step;
            step = kDone;
            PushKey(SDL_KEYDOWN, SDLK_ESCAPE, SDL_SCANCODE_ESCAPE);
            return;
        }
        switch (step) {
            case kStart:  // the loop runs: Space leaves the intro, and, held, fires
                PushKey(SDL_KEYDOWN, SDLK_SPACE, SDL_SCANCODE_SPACE);
                Next();
                break;
            case kFly:
                if (showIntro) break;
                PushKey(SDL_KEYDOWN, SDLK_UP, SDL_SCANCODE_UP);
                Next();
                break;
            case kMute:  // flown up and fired
                if (playerShip.y >= kStartY || playerPhotons.Count() == 0) break;
                PushKey(SDL_KEYDOWN, SDLK_m, SDL_SCANCODE_M);
                Next();
                break;
            case kLetGo:
                if (!audio.Muted()) break;
                PushKey(SDL_KEYUP, SDLK_m, SDL_SCANCODE_M);
                PushKey(SDL_KEYUP, SDLK_UP, SDL_SCANCODE_UP);
                Next();
                break;
            case kQuit:
                PushKey(SDL_KEYDOWN, SDLK_ESCAPE, SDL_SCANCODE_ESCAPE);
                step = kDone;
                break;
            default:
                break;
        }
    }

    enum Step { kStart, kFly, kMute, kLetGo, kQuit, kDone };
    // What each step waits for.
    static constexpr const char* kAwaited[] = {"nothing", "the intro to leave", "the ship to fly up and fire",
                                               "the sound to be muted", "nothing"};
    int stalledAt = -1;  // the step whose wait never ended, -1 when none

private:
    void Next() {
        step = static_cast<Step>(step + 1);
        stepStarted = frames;
    }
    Step step = kStart;
    long frames = 0;
    long stepStarted = 0;
};

}  // namespace

TEST(GameSoundSmoke, StartsPlaysAndQuitsWithoutASoundDevice) {
    std::string dir = (std::filesystem::temp_directory_path() / "tarvo-sound-smoke-XXXXXX").string();
    ASSERT_NE(mkdtemp(dir.data()), nullptr);
    ASSERT_EQ(chdir(dir.c_str()), 0);
    // Pictures and effects from the build, as from beside the executable.
    SetDataFolders({TARVO_BINARY_DIR});

    std::unique_ptr<Platform> sdl = CreateSdlPlatform();
    Player player;
    WatchedPlatform watched(*sdl, [&] { player.BeforeFrame(); });
    SetCurrent(&watched);
    const int code = WinMain(nullptr, nullptr, "", 1);
    const long presented = SdlPresentedFrames(*sdl);
    sdl.reset();
    SetCurrent(nullptr);

    EXPECT_EQ(code, 0);
    EXPECT_EQ(player.stalledAt, -1) << "waited 600 frames for " << Player::kAwaited[std::max(player.stalledAt, 0)];
    EXPECT_GT(presented, 0);
    // Played: the fight started, the ship flew up under thrust and fired.
    EXPECT_FALSE(showIntro);
    EXPECT_LT(playerShip.y, kStartY);
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
