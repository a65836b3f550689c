// The SDL2 backend's one class, shared by the files of this folder and by
// nothing else (the rest of the program sees platform/sdl/sdl_platform.h).
//
// Each concern has its file, as SDL keeps its own drivers:
//   sdl_platform.cpp     construction, teardown and the public accessors
//   sdl_window.cpp       windows emulated on SDL windows, displays, the scale
//   sdl_fullscreen.cpp   full screen, resizing, the picture's place in a window
//   sdl_settings.cpp     the settings the player changes, written as they change
//   sdl_keyboard.cpp     the keyboard through the key map, and the window's own keys
//   sdl_events.cpp       the message queue: SDL events become window messages
//   sdl_controllers.cpp  game controllers as keys
//   sdl_video.cpp        the video layer: surfaces in memory, flip and copy
//   sdl_present.h/.cpp   SdlPresentation: the renderer, its texture, pacing to 60 a second
//   sdl_text.cpp         text on a surface through SDL2_ttf
//   sdl_audio.h/.cpp     SdlAudio: sound through SDL2_mixer, with the voices' own fader
//   sdl_keys.cpp         keys and typed text to the engine's codes (pure)
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include <cstdint>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/gamepad_keys.h"
#include "platform/memory_surfaces.h"
#include "platform/platform.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_platform.h"
#include "platform/sdl/sdl_present.h"
#include "platform/window_messages.h"
#include "platform/window_scale.h"

namespace platform {

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
    HResult Unlock(SurfaceHandle handle) override { return memory.Unlock(handle); }
    HResult Flip(SurfaceHandle handle) override;
    HResult BltFast(SurfaceHandle dest, int x, int y, SurfaceHandle source) override;
    HResult IsLost(SurfaceHandle handle) override { return memory.IsLost(handle); }
    HResult Restore(SurfaceHandle handle) override;
    HResult GetDC(SurfaceHandle handle) override;
    void TextOut(SurfaceHandle handle, int x, int y, const char* text, int length, uint32_t color) override;
    void ReleaseDC(SurfaceHandle) override {}
    void ReleaseSurface(SurfaceHandle handle) override { memory.Release(handle); }
    void ReleaseDirectDraw(DirectDrawHandle) override;

    // --- Sound (SdlAudio) ------------------------------------------------------
    bool OpenAudio(std::string& why) override { return sound.Open(why); }
    int LoadSound(const char* path) override { return sound.Load(path); }
    void PlaySound(int effect, float volume, float pan, bool loop) override { sound.Play(effect, volume, pan, loop); }
    void StopSound(int effect) override { sound.Stop(effect); }
    void StopAllSounds() override { sound.StopAll(); }
    // sdl_settings.cpp: the game's own items, in the settings file.
    bool ReadGameSetting(const std::string& name, std::string& value) override;
    bool WriteGameSetting(const std::string& name, const std::string& value, std::string& why) override;

    // Starts SDL's video once; false, with the reason, without a display.
    bool StartVideo(std::string& why);
    // Whether the scale asked for shows a client area of width x height whole
    // on the usable desktop (always, when none was asked for or there is no
    // display); false with the reason.
    bool RequestedScaleFits(int width, int height, std::string& why);

    int VoicesPlaying() const { return sound.VoicesPlaying(); }
    long PresentedFrames() const { return presentation.Frames(); }
    // The engine's mute changed: remembered in the settings.
    void MuteChanged(bool muted);

    // sdl_fullscreen.cpp: full screen on or off; false, said in debug.txt,
    // when the display refuses (the window stays as it was).
    bool SetFullscreen(bool on);
    bool Fullscreen() const { return inFullscreen; }

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
    // Saves every change of the run; false with the reason (said once in debug.txt).
    bool SaveChanges(SettingItems changed, std::string& why);
    void WatchMute();

    // sdl_keyboard.cpp
    void Translated(const SDL_KeyboardEvent& key);

    // sdl_events.cpp
    void Send(SdlWindow* window, uint32_t message, uintptr_t wParam, intptr_t lParam);
    void Post(SdlWindow* window, uint32_t message, uintptr_t wParam, intptr_t lParam);
    SdlWindow* FromId(Uint32 id);
    void Translate(const SDL_Event& event);

    // sdl_controllers.cpp
    void ControllerEvent(const SDL_Event& event);
    void PostPadKey(int vk, bool down);

    // sdl_video.cpp: presentation in the window the engine presents to.
    Uint32 PixelFormat() const { return rgb555 ? SDL_PIXELFORMAT_RGB555 : SDL_PIXELFORMAT_RGB565; }
    bool CreatePresentation() { return presentation.Create(presentWindow->sdl, PixelFormat()); }
    void DestroyPresentation() { presentation.Destroy(); }
    bool Present(const MemorySurface& source, bool fullscreenMode);
    void DecideVsyncAgain() {
        if (presentWindow != nullptr) presentation.DecideVsyncAgain(presentWindow->sdl);
    }

    void AudioDeviceEvent(const SDL_AudioDeviceEvent& device, bool added) { sound.DeviceEvent(device, added); }

    bool started = false;
    SdlAudio sound;
    SdlPresentation presentation;
    bool rgb555 = false;
    bool exclusive = false;
    bool focusSeen = false;
    int modeWidth = 0;
    int modeHeight = 0;
    WindowProcFn windowProc = nullptr;
    std::vector<SdlWindow*> windows;
    MemorySurfaces memory;
    SdlWindow* mainWindow = nullptr;
    SdlWindow* presentWindow = nullptr;
    TTF_Font* font = nullptr;
    std::deque<Message> queue;
    int requestedScale = 0;
    GamepadKeys pad{DeclaredGame().actions};
    std::map<SDL_JoystickID, SDL_GameController*> controllers;

    // Full screen and the window it came from (sdl_fullscreen.cpp).
    bool startFullscreen = false;
    bool inFullscreen = false;
    bool fullscreenBySdl = false;  // through the window manager, or moved and sized by hand
    SDL_Rect windowed{0, 0, 0, 0};

    // Keys and settings (sdl_keyboard.cpp, sdl_settings.cpp).
    KeyMap keyMap;
    Settings remembered;
    std::string settingsPath;
    std::vector<std::string> startupLog;
    std::function<bool()> muted;
    bool lastMuted = false;
    bool saveFailed = false;
    SettingItems changedSettings = 0;  // every item changed so far in this run
    std::set<std::string> changedGameSettings;  // and of the game's own
};

}  // namespace platform
