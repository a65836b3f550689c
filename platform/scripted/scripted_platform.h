/// @file
/// ScriptedPlatform: a deterministic machine for tests. No display needed.
///
/// Set it up (screen size, depth, 5-6-5 or 5-5-5 layout, frame sizes, faults),
/// install it with platform::SetCurrent, run the engine, then look at what it
/// recorded: message boxes, presented frames (hash, and pixels on request),
/// text output and the order of the video calls.
///
/// Input: QueueMessage puts a message in the queue now; Schedule delivers it
/// once a given number of frames have run (a frame is counted each time
/// PeekMessage finds the queue empty, which is when the loop runs a frame).
///
/// Sound: what the game asks to play is recorded with the frame it was asked
/// for in; effects load only from WAV files that exist, and audioAvailable =
/// false stands for a machine without an audio device.
///
/// Faults: Fail(op, callNumber, result) makes the callNumber-th call of op
/// fail (1 = first; 0 = every call) with the result given; boolean operations
/// just fail.
///
/// Files: scripted_platform.cpp (set-up, faults, windows and the queue,
/// surfaces and frames), scripted_sound.cpp (the sound records). Surfaces
/// are kept in memory as the SDL and browser backends keep theirs
/// (platform/memory_surfaces.h).
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "../memory_surfaces.h"
#include "../platform.h"

namespace platform {

enum class Op {
    RegisterClass,
    CreateWindow,
    UpdateWindow,
    DirectDrawCreate,
    SetCooperativeLevel,
    SetDisplayMode,
    CreateSurface,
    GetAttachedSurface,
    Lock,
    Flip,
    BltFast,
    Restore,
    GetDC,
};

enum class PixelLayout { RGB565, RGB555 };

class FrameQueue;

class ScriptedPlatform : public Platform {
public:
    struct MessageBoxRecord {
        WindowHandle owner;
        std::string text;
        std::string caption;
        uint32_t flags;
    };
    struct Frame {
        uint64_t hash = 0;
        int width = 0;
        int height = 0;
        std::vector<uint16_t> pixels;  ///< width * height words, when keepFramePixels
    };
    struct TextRecord {
        int x, y;
        std::string text;
        uint32_t color;
    };

    ScriptedPlatform();
    ~ScriptedPlatform() override;

    // --- Set-up (before the engine starts) ----------------------------------
    int screenWidth = 1024;
    int screenHeight = 768;
    int screenDepth = 16;
    PixelLayout layout = PixelLayout::RGB565;
    /// Frame of a WS_SYSMENU window: the client area is the outer size less these.
    int frameLeft = 3, frameTop = 22, frameRight = 3, frameBottom = 3;
    /// Extra pixels at the end of every row of an off-screen surface.
    int rowPaddingPixels = 0;
    /// Where created surfaces claim to live.
    bool primaryInVideoMemory = true;
    bool backInVideoMemory = true;
    /// Send the activation and focus messages while the window is shown, as a
    /// window system does.
    bool activateOnShow = true;
    /// Keep the pixels of every presented frame, not only their hash.
    bool keepFramePixels = false;
    /// Called once a frame, when the queue is empty just before the loop would
    /// run the frame, with the number of frames run so far. Messages it queues
    /// (a key, a quit) are delivered before that frame runs; the hook is not
    /// called again until the next frame.
    std::function<void(int framesDone)> beforeFrame;

    void Fail(Op op, int callNumber = 0, HResult result = DDERR_GENERIC);
    void QueueMessage(const Message& message);
    /// Delivered once `frame` frames have run (0: before the first frame).
    void Schedule(int frame, const Message& message);
    /// Common input, aimed at the main window.
    void QueueKeyDown(int virtualKey);
    void QueueKeyUp(int virtualKey);
    void QueueChar(char c);
    void QueueClose();
    /// Makes the surface lose its memory (until Restore).
    void LoseSurface(SurfaceHandle surface);
    /// The window reported as foreground; by default the last shown window.
    void SetForeground(WindowHandle window);

    // --- Records -------------------------------------------------------------
    std::vector<MessageBoxRecord> messageBoxes;
    std::vector<Frame> frames;
    std::vector<TextRecord> texts;
    /// Video calls that create and release things, in order, e.g.
    /// "CreateSurface primary", "ReleaseSurface back", "ReleaseDirectDraw".
    std::vector<std::string> calls;
    int framesRun = 0;
    int CallCount(Op op) const;

    /// Whether OpenAudio succeeds.
    bool audioAvailable = true;
    bool audioOpen = false;
    struct SoundRecord {
        int frame;           ///< 0-based run() call it was asked for in; -1 before the first
        std::string action;  ///< "play", "loop", "stop" or "stopall"
        std::string effect;  ///< file name without folder or ".wav"; empty for "stopall"
        float volume = 0;    ///< play and loop only
        float pan = 0;
    };
    std::vector<SoundRecord> sounds;
    /// Paths of the loaded effects; effect i has the handle i + 1.
    std::vector<std::string> loadedSounds;
    /// The records of one frame's sounds, in the order they were asked for.
    std::vector<SoundRecord> SoundsOfFrame(int frame) const;
    /// Windows created so far (the engine's temporary window first).
    struct WindowRecord {
        int x, y, outerWidth, outerHeight;
        uint32_t style;
        bool shown;
        bool destroyed;
        std::string title;
    };
    const WindowRecord& WindowInfo(WindowHandle window) const;
    std::vector<WindowHandle> windows;

    // --- Platform ------------------------------------------------------------
    bool RegisterClass(const char* className, uint32_t style, WindowProcFn proc) override;
    int GetScreenDepth() override;
    int GetScreenWidth() override;
    int GetScreenHeight() override;
    WindowHandle CreateWindow(uint32_t exStyle, const char* className, const char* title, uint32_t style, int x,
                              int y, int outerWidth, int outerHeight) override;
    void GetClientRect(WindowHandle window, int& width, int& height) override;
    void ShowWindow(WindowHandle window, int showCommand) override;
    bool UpdateWindow(WindowHandle window) override;
    void DestroyWindow(WindowHandle window) override;
    intptr_t DefWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) override;
    void PostQuitMessage(int exitCode) override;
    bool PeekMessage(Message& out) override;
    WindowHandle GetForegroundWindow() override;
    void ClientToScreen(WindowHandle window, int& x, int& y) override;
    int MessageBox(WindowHandle owner, const char* text, const char* caption, uint32_t flags) override;

    HResult DirectDrawCreate(DirectDrawHandle& out) override;
    HResult SetCooperativeLevel(DirectDrawHandle dd, WindowHandle window, uint32_t flags) override;
    HResult SetDisplayMode(DirectDrawHandle dd, int width, int height, int bitsPerPixel) override;
    HResult CreateSurface(DirectDrawHandle dd, const SurfaceDesc& request, SurfaceHandle& out) override;
    HResult GetAttachedSurface(SurfaceHandle surface, uint32_t caps, SurfaceHandle& out) override;
    HResult GetSurfaceDesc(SurfaceHandle surface, SurfaceDesc& desc) override;
    HResult Lock(SurfaceHandle surface, SurfaceDesc& desc) override;
    HResult Unlock(SurfaceHandle surface) override;
    HResult Flip(SurfaceHandle primary) override;
    HResult BltFast(SurfaceHandle dest, int x, int y, SurfaceHandle source) override;
    HResult IsLost(SurfaceHandle surface) override;
    HResult Restore(SurfaceHandle surface) override;
    HResult GetDC(SurfaceHandle surface) override;
    void TextOut(SurfaceHandle surface, int x, int y, const char* text, int length, uint32_t color) override;
    void ReleaseDC(SurfaceHandle surface) override;
    void ReleaseSurface(SurfaceHandle surface) override;
    void ReleaseDirectDraw(DirectDrawHandle dd) override;

    bool OpenAudio(std::string& why) override;
    int LoadSound(const char* path) override;
    void PlaySound(int sound, float volume, float pan, bool loop) override;
    void StopSound(int sound) override;
    void StopAllSounds() override;

    /// Settings of the display mode in effect (after SetDisplayMode).
    int modeWidth = 0;
    int modeHeight = 0;
    uint32_t cooperativeLevel = 0;

    /// A surface as the engine drew it: `pixels` holds `pitchBytes / 2` words
    /// a row. The primary holds what the windowed copies put on the screen.
    using Surface = MemorySurface;
    Surface* AsSurface(SurfaceHandle handle) { return MemorySurfaces::From(handle); }

private:
    struct Window {
        WindowRecord record;
    };
    bool Faulted(Op op, HResult& result);
    void Send(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);
    void RecordFrame(const Surface& source);
    /// The effect's name, or empty for a handle that was never given out.
    std::string SoundName(int sound) const;

    struct Fault {
        int callNumber;
        HResult result;
    };
    std::map<Op, std::vector<Fault>> faults;
    std::map<Op, int> callCounts;
    std::unique_ptr<FrameQueue> messages;
    WindowProcFn windowProc = nullptr;
    std::vector<std::unique_ptr<Window>> ownedWindows;
    MemorySurfaces surfaces;  // none freed before the machine is: tests look at them after release
    WindowHandle foreground = nullptr;
    bool foregroundSet = false;
    WindowHandle lastShown = nullptr;
};

}  // namespace platform
