// The SDL2 backend's one class, shared by the files of this folder and by
// nothing else (the rest of the program sees platform/sdl/sdl_platform.h).
//
// Each concern has its file, as SDL keeps its own drivers:
//   sdl_platform.cpp     construction, teardown and the public accessors
//   sdl_window.cpp       windows emulated on SDL windows, displays, the scale
//   sdl_fullscreen.cpp   full screen, resizing, the picture's place in a window
//   sdl_settings.cpp     the settings the player changes, written as they change
//   sdl_events.cpp       the message queue: SDL events become window messages
//   sdl_controllers.cpp  game controllers as keys
//   sdl_video.cpp        the video layer: surfaces in memory, flip and copy
//   sdl_present.cpp      presentation on a renderer, and pacing to 60 a second
//   sdl_text.cpp         text on a surface through SDL2_ttf
//   sdl_audio.cpp        sound through SDL2_mixer, with the voices' own fader
//   sdl_keys.cpp         keys and typed text to the engine's codes (pure)
#pragma once

#include <SDL.h>
#include <SDL_mixer.h>
#include <SDL_ttf.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "platform/frame_pacer.h"
#include "platform/gamepad_keys.h"
#include "platform/memory_surfaces.h"
#include "platform/platform.h"
#include "platform/sdl/sdl_platform.h"
#include "platform/window_scale.h"

namespace platform {

using SdlClock = std::chrono::steady_clock;
constexpr int64_t kFramePeriodNanos = 1'000'000'000 / 60;

// The mixer: CD rate, stereo, 16-bit; a buffer of 1024 sample frames keeps
// the delay from a frame's event to its sound near 23 ms.
constexpr int kMixRate = 44100;
constexpr int kMixBufferFrames = 1024;
constexpr int kVoices = 16;
constexpr int kStopFadeMs = 40;

// A voice's own gain, applied sample by sample in the mixer's thread: a
// stop fades out smoothly, where the mixer's own fades change the volume
// once a buffer, in steps that click. The main thread only starts a fade
// (step) and halts the voice once it has reached silence (gain 0).
struct VoiceFade {
    std::atomic<float> gain{1};
    std::atomic<float> step{0};  // gain lost a sample frame; 0 while not fading
};

// A window message's lParam from two 16-bit halves.
intptr_t MakeLParam(int low, int high);

struct SdlWindow {
    SDL_Window* sdl = nullptr;
    uint32_t style = 0;
    bool destroyed = false;
    // The client size the engine asked for, in its own pixels.
    int logicalWidth = 0;
    int logicalHeight = 0;
};

class SdlPlatform final : public Platform {
public:
    explicit SdlPlatform(const SdlOptions& options);
    ~SdlPlatform() override;

    // --- Windows and messages (sdl_window.cpp, sdl_events.cpp) ------------
    bool RegisterClass(const char*, uint32_t, WindowProcFn proc) override;
    int GetScreenDepth() override { return 16; }
    // The screen is the display the window opens on, in the coordinates
    // windows are placed in; the engine's positions are relative to its
    // top-left corner, which need not be the desktop's origin.
    int GetScreenWidth() override { return OpeningDisplay().w; }
    int GetScreenHeight() override { return OpeningDisplay().h; }
    WindowHandle CreateWindow(uint32_t, const char*, const char* title, uint32_t style, int x, int y, int outerWidth,
                              int outerHeight) override;
    void GetClientRect(WindowHandle handle, int& width, int& height) override;
    void ShowWindow(WindowHandle handle, int) override;
    bool UpdateWindow(WindowHandle handle) override { return handle != nullptr; }
    void DestroyWindow(WindowHandle handle) override;
    intptr_t DefWindowProc(WindowHandle, uint32_t, uintptr_t, intptr_t) override { return 0; }
    void PostQuitMessage(int exitCode) override;
    bool PeekMessage(Message& out) override;
    WindowHandle GetForegroundWindow() override;
    void ClientToScreen(WindowHandle handle, int& x, int& y) override;
    int MessageBox(WindowHandle owner, const char* text, const char* caption, uint32_t) override;

    // --- Video (sdl_video.cpp, sdl_text.cpp) --------------------------------
    HResult DirectDrawCreate(DirectDrawHandle& out) override;
    HResult SetCooperativeLevel(DirectDrawHandle, WindowHandle window, uint32_t flags) override;
    HResult SetDisplayMode(DirectDrawHandle, int width, int height, int bitsPerPixel) override;
    HResult CreateSurface(DirectDrawHandle, const SurfaceDesc& request, SurfaceHandle& out) override;
    HResult GetAttachedSurface(SurfaceHandle handle, uint32_t caps, SurfaceHandle& out) override;
    HResult GetSurfaceDesc(SurfaceHandle handle, SurfaceDesc& desc) override;
    HResult Lock(SurfaceHandle handle, SurfaceDesc& desc) override;
    HResult Unlock(SurfaceHandle) override { return DD_OK; }
    HResult Flip(SurfaceHandle handle) override;
    HResult BltFast(SurfaceHandle dest, int x, int y, SurfaceHandle source) override;
    HResult IsLost(SurfaceHandle handle) override { return memory.IsLost(handle); }
    HResult Restore(SurfaceHandle handle) override;
    HResult GetDC(SurfaceHandle handle) override;
    void TextOut(SurfaceHandle handle, int x, int y, const char* text, int length, uint32_t color) override;
    void ReleaseDC(SurfaceHandle) override {}
    void ReleaseSurface(SurfaceHandle handle) override { memory.Release(handle); }
    void ReleaseDirectDraw(DirectDrawHandle) override;

    // --- Sound (sdl_audio.cpp) ------------------------------------------------
    bool OpenAudio(std::string& why) override;
    int LoadSound(const char* path) override;
    void PlaySound(int sound, float volume, float pan, bool loop) override;
    void StopSound(int sound) override;
    void StopAllSounds() override;

    // Starts SDL's video once; false, with the reason, without a display.
    bool StartVideo(std::string& why);
    // Whether the scale asked for shows a client area of width x height whole
    // on the usable desktop (always, when none was asked for or there is no
    // display); false with the reason.
    bool RequestedScaleFits(int width, int height, std::string& why);

    int VoicesPlaying() const;

    // sdl_fullscreen.cpp: full screen on or off; false, said in debug.txt,
    // when the display refuses (the window stays as it was).
    bool SetFullscreen(bool on);
    bool Fullscreen() const { return inFullscreen; }

    long presentedFrames = 0;
    int scale = 0;  // decided when the first window opens

private:
    // sdl_window.cpp
    SDL_Rect UsableBounds(int display) const;
    int DefaultScale(int width, int height) const;
    void ChooseScaleAgain();
    SDL_Rect OpeningDisplay() const;
    SDL_Rect DesktopBounds() const;

    // sdl_fullscreen.cpp
    PicturePlace PlaceIn(SdlWindow* window) const;
    void MousePosition(SdlWindow* window, int x, int y, int& gameX, int& gameY) const;
    bool HasWindowManager() const;
    void Resized(SdlWindow* window, int width, int height);
    void WindowOrigin(SdlWindow* window, int& x, int& y) const;
    void TellPosition(SdlWindow* window);

    // sdl_settings.cpp
    void WriteStartupLog();
    void Remember(SettingItems changed);
    void WatchMute();
    void Translated(const SDL_KeyboardEvent& key);

    // sdl_events.cpp
    void Send(SdlWindow* window, uint32_t message, uintptr_t wParam, intptr_t lParam);
    void Post(SdlWindow* window, uint32_t message, uintptr_t wParam, intptr_t lParam);
    SdlWindow* FromId(Uint32 id);
    void Translate(const SDL_Event& event);

    // sdl_controllers.cpp
    void ControllerEvent(const SDL_Event& event);
    void PostPadKey(int vk, bool down);

    // sdl_video.cpp, sdl_present.cpp
    Uint32 PixelFormat() const { return rgb555 ? SDL_PIXELFORMAT_RGB555 : SDL_PIXELFORMAT_RGB565; }
    bool CreatePresentation();
    void DestroyPresentation();
    bool Present(const MemorySurface& source, bool fullscreenMode);
    void Pace();
    bool DisplayRunsAt60() const;
    void DecideVsyncAgain();

    // sdl_audio.cpp
    // A loop a voice plays (sound 0: none, or a single play).
    struct LoopingVoice {
        int sound = 0;
        float volume = 0, pan = 0;
    };
    void StartMixer();
    void CloseAudio();
    void AudioDeviceEvent(const SDL_AudioDeviceEvent& device, bool added);
    void FadeOut(int channel);
    void HaltFadedVoices();
    Mix_Chunk* ChunkOf(int sound) const;

    bool started = false;
    bool audioOpen = false;
    bool audioLost = false;               // the device went; waiting for one to come
    std::vector<Mix_Chunk*> chunks;       // owned; handle i + 1
    std::vector<std::string> soundPaths;  // chunks' files, to load them again
    std::array<LoopingVoice, kVoices> voices;
    std::vector<LoopingVoice> wantedLoops;  // to sound again when a device comes back
    std::array<VoiceFade, kVoices> fades;
    bool rgb555 = false;
    bool exclusive = false;
    bool focusSeen = false;
    bool vsync = false;
    bool accelerated = false;
    int modeWidth = 0;
    int modeHeight = 0;
    WindowProcFn windowProc = nullptr;
    std::vector<SdlWindow*> windows;
    MemorySurfaces memory;
    SdlWindow* mainWindow = nullptr;
    SdlWindow* presentWindow = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int textureWidth = 0;
    int textureHeight = 0;
    TTF_Font* font = nullptr;
    std::deque<Message> queue;
    FramePacer pacer{kFramePeriodNanos};
    int requestedScale = 0;
    GamepadKeys pad;
    std::map<SDL_JoystickID, SDL_GameController*> controllers;

    // Full screen and the window it came from (sdl_fullscreen.cpp).
    bool startFullscreen = false;
    bool inFullscreen = false;
    bool fullscreenBySdl = false;  // through the window manager, or moved and sized by hand
    SDL_Rect windowed{0, 0, 0, 0};

    // Keys and settings (sdl_settings.cpp).
    KeyMap keyMap;
    Settings remembered;
    std::string settingsPath;
    std::vector<std::string> startupLog;
    std::function<bool()> muted;
    bool lastMuted = false;
    bool saveFailed = false;
    SettingItems changedSettings = 0;  // every item changed so far in this run
};

}  // namespace platform
