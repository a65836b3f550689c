// The web backend's one class, shared by the files of this folder and by
// nothing else (the rest of the program sees platform/web/web_platform.h).
//
// Each concern has its file:
//   web_window.cpp       construction, the window (the page's canvas), the
//                        message queue, the message box, fitting the page
//   web_events.cpp       the page's events as messages: keys, focus, mouse,
//                        touch controls, and the calls the page makes
//   web_gamepads.cpp     standard-mapping gamepads as keys
//   web_video.cpp        surfaces in memory, flip and copy, text, presentation
//   web_pacing.cpp       frames on the display's refresh at 60 a second,
//                        scripted runs as fast as they go
//   web_audio.cpp        sound through the page's Web Audio
//   web_settings.cpp     the game's settings, in the browser's storage
//   web_input.cpp        keys, page scale and address (pure, tested natively)
// and what the page does for it, in JavaScript linked as libraries:
//   library_page.js      focus, sizes, the dialog, animation frames, figures
//   library_video.js     WebGL or 2D presentation, canvas sizes, text
//   library_audio.js     WAV files to samples, playing and stopping them
//   library_gamepads.js  the pads the page read this frame
#pragma once

#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/frame_pacer.h"
#include "platform/frame_queue.h"
#include "platform/gamepad_keys.h"
#include "platform/memory_surfaces.h"
#include "platform/web/web_input.h"
#include "platform/web/web_platform.h"

// What the page does, in the libraries above (see each for the details).
extern "C" {
// library_page.js
int PageInWorker();
int PageHasFocus();
int PageScreenWidth();
int PageScreenHeight();
void PageStage(double* width, double* height, double* ratio);
void PageShowMessageBox(const char* caption, const char* text);
int PageMessageBoxOpen();
// Yields to the browser until its next animation frame (an Asyncify import).
void PageNextAnimationFrame();
void PageFrameWork(double milliseconds, double presentMilliseconds);
// The game's stored settings as lines, a name then its value (malloc'd).
char* PageGameSettings();
void PageStoreSetting(const char* name, const char* value);
// library_video.js
int PageStartPresentation();
void PagePresentGL(const uint16_t* pixels, int pitch, int width, int height);
void PageSizeCanvas(int bufferWidth, int bufferHeight, double cssWidth, double cssHeight, int whole, int factor);
void PagePutPixels(const uint8_t* rgba, int width, int height);
void PageClearCanvas();
int PageTextWidth(const char* text, int length, int* height);
void PageRasteriseText(const char* text, int length, int red, int green, int blue, uint8_t* rgba, int width,
                       int height);
// library_audio.js
int PageOpenAudio();
int PageLoadSound(const uint8_t* bytes, int length);
void PagePlaySound(int sound, double volume, double pan, int loop);
void PageStopSound(int sound);
// library_gamepads.js
int PageReadGamepads(int* out, int most);
}

namespace platform {

constexpr int64_t kFramePeriodNanos = 1'000'000'000 / 60;
// Scripted runs do not wait for frames, but the page must still draw and
// answer now and then.
constexpr double kScriptedYieldMs = 50;
// How often a modal message box looks whether it was closed.
constexpr unsigned kDialogPollMs = 50;
inline constexpr char kCanvas[] = "#canvas";

struct PageWindow {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool shown = false;
    bool destroyed = false;
};

using Surface = MemorySurface;

class BrowserPlatform final : public WebPlatform {
public:
    explicit BrowserPlatform(const WebOptions& options)
        : scripted(options.scriptedInput), fastScript(options.scriptedInput && !options.paced) {}
    ~BrowserPlatform() override;

    void Schedule(int frame, const Message& message) override;

    // --- Windows and messages (web_window.cpp) ------------------------------
    bool RegisterClass(const char*, uint32_t, WindowProcFn proc) override;
    int GetScreenDepth() override { return 16; }
    int GetScreenWidth() override;
    int GetScreenHeight() override;
    WindowHandle CreateWindow(uint32_t, const char*, const char*, uint32_t, int x, int y, int outerWidth,
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
    int MessageBox(WindowHandle, const char* text, const char* caption, uint32_t) override;

    // --- Video (web_video.cpp) ----------------------------------------------
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
    void ReleaseSurface(SurfaceHandle handle) override;
    void ReleaseDirectDraw(DirectDrawHandle) override { modeWidth = modeHeight = 0; }

    // --- Sound (web_audio.cpp) ----------------------------------------------
    bool OpenAudio(std::string& why) override;
    int LoadSound(const char* path) override;
    void PlaySound(int sound, float volume, float pan, bool loop) override;
    void StopSound(int sound) override;
    void StopAllSounds() override;

    // --- The game's settings (web_settings.cpp) -------------------------------
    bool ReadGameSetting(const std::string& name, std::string& value) override;
    bool WriteGameSetting(const std::string& name, const std::string& value, std::string& why) override;

    // --- The page's events, from its main thread or sent to the worker
    // (web_events.cpp) ---------------------------------------------------------

    // A key of the page's keyboard: keyCode and `key` as the browser has
    // them. Whether the page's default action is withheld.
    bool KeyEvent(unsigned long keyCode, const char* key, bool ctrl, bool alt, bool meta, bool down);
    void FocusEvent(bool focused);
    enum class MouseKind { Move, Down, Up };
    // At (x, y) CSS pixels from the canvas's top-left corner, the canvas
    // shown cssWidth x cssHeight; button 0 left, 1 middle, 2 right.
    void MouseEvent(MouseKind kind, int button, double x, double y, double cssWidth, double cssHeight);
    // A touch control pressed or let go, by its virtual key.
    void TouchKey(int vk, bool down);
    // Sizes the canvas for the room the page gives it (web_window.cpp).
    void FitToPage();

private:
    void Send(PageWindow* window, uint32_t message, uintptr_t wParam, intptr_t lParam);
    void Post(PageWindow* window, uint32_t message, uintptr_t wParam, intptr_t lParam);

    // Events (web_events.cpp).
    void Listen();
    static EM_BOOL OnKey(int type, const EmscriptenKeyboardEvent* event, void* self);
    static EM_BOOL OnFocus(int type, const EmscriptenFocusEvent*, void* self);
    static EM_BOOL OnMouse(int type, const EmscriptenMouseEvent* event, void* self);
    static EM_BOOL OnResize(int, const EmscriptenUiEvent*, void* self);
    void KeyFromPage(int vk, bool down);
    void PostKey(int vk, bool down);
    // A key script plays its own keys, but Escape still ends the run: a link
    // may ask for a million frames.
    bool TakesKey(int vk) const {
        return mainWindow != nullptr && !mainWindow->destroyed && (!scripted || vk == VK_ESCAPE);
    }
    bool Playing() const { return !scripted && mainWindow != nullptr && !mainWindow->destroyed; }

    // What the page kept of the game's settings, read once (web_settings.cpp).
    void LoadGameSettings();

    // Gamepads (web_gamepads.cpp).
    void ReadGamepads();

    // Presentation (web_video.cpp) and pacing (web_pacing.cpp).
    void Present(const Surface& source);
    void PresentNow(const Surface& source);
    void Pace();

    struct PadState {
        bool connected = false;
        uint32_t buttons = 0;
        int x = 0;
        int y = 0;
    };
    static constexpr int kMaxPads = 4;

    bool scripted = false;
    bool fastScript = false;  // scripted, as fast as it goes: frames shown only now and then
    bool presenting = false;
    bool webgl = false;
    bool listening = false;
    bool pageFocused = false;
    bool exclusive = false;
    bool audioOpen = false;
    bool settingsLoaded = false;
    int modeWidth = 0;
    int modeHeight = 0;
    WindowProcFn windowProc = nullptr;
    std::vector<PageWindow*> windows;
    MemorySurfaces memory;
    PageWindow* mainWindow = nullptr;
    FrameQueue queue;
    HeldKeys held;
    GamepadKeys pads{DeclaredGame().actions};
    PadState padStates[kMaxPads];
    FramePacer pacer{kFramePeriodNanos};
    std::vector<uint8_t> rgba;
    const Surface* shown = nullptr;  // scripted: the frame to show at the next yield
    double lastWakeMs = 0;
    double lastYieldMs = 0;
    double workMs = 0;
    double presentMs = 0;
    int workFrames = 0;
};

// The backend the page's own controls speak to (one program, one page).
extern BrowserPlatform* thePage;

}  // namespace platform
