/// @file
/// WindowsDX: the engine object. One global instance, `Tarvo`, owns the
/// window, the input state, the video surfaces and the screen-buffer fields
/// that every drawing operation works on.
///
/// Life of a run: the game's initialize() calls Tarvo.Initialize(fullscreen,
/// width, height); the entry point (WinMain) then checks `status` and either
/// reports the failure or runs the message loop, calling the game's run()
/// whenever no message waits. A frame is BeginDraw, drawing into backBuffer,
/// EndDraw, then ViewUpdate.
///
/// Depends on: the platform seam (platform/platform.h), the debug log. Drawing
/// works at 16 bits a pixel only.
#pragma once

#include <cstdint>

#include "../draw/screen.h"
#include "../platform/platform.h"
#include "startup_status.h"

class Image;

/// The screen buffer, its clip rectangle, fills and drawing slots come from
/// ScreenBuffer (draw/screen.h); this adds the window, input and video.
class WindowsDX : public ScreenBuffer {
public:
    WindowsDX();
    ~WindowsDX();
    WindowsDX(const WindowsDX&) = delete;
    WindowsDX& operator=(const WindowsDX&) = delete;

    // --- Start-up ------------------------------------------------------------
    platform::InstanceHandle appInstance = nullptr;
    int32_t showCommand = 0;
    int32_t status = NO_INIT;  ///< a StartupStatus
    int32_t requestFullscreen = 0;
    int32_t requestWidth = -1;
    int32_t requestHeight = -1;
    int32_t fullscreen = 0;  ///< 1 fullscreen, any other value windowed
    int32_t desktopWidth = 0;
    int32_t desktopHeight = 0;
    int32_t screenBits = 0;
    /// Screen position of the client area's top-left pixel.
    int32_t clientOriginX = 0;
    int32_t clientOriginY = 0;
    int32_t active = 0;  ///< 1 while presentation is allowed
    platform::WindowHandle windowHandle = nullptr;
    int32_t textRed = 0;
    int32_t textGreen = 0;
    int32_t textBlue = 0;
    uint32_t textColor = 0;  ///< 0x00BBGGRR

    // --- Input -----------------------------------------------------------------
    static constexpr int kKeyBufferSize = 1000;
    int32_t keyCount = 0;
    char keyBuffer[kKeyBufferSize] = {};  ///< oldest first; GetKey takes the newest
    uint8_t keyState[256] = {};           ///< 1 while the key with that code is down
    int32_t mouseX = 0;
    int32_t mouseY = 0;
    int32_t prevMouseX = 0;
    int32_t prevMouseY = 0;
    int32_t mouseDown = 0;
    int32_t mouseButton = 0;  ///< 1 left, 2 right, 16 middle, 0 after a release

    // --- Owned video interfaces (released by CleanUp) -----------------------
    platform::DirectDrawHandle directDraw = nullptr;
    platform::SurfaceHandle primarySurface = nullptr;
    platform::SurfaceHandle backSurface = nullptr;

    // --- Engine core ---------------------------------------------------------
    void SetInstance(platform::InstanceHandle instance, int showCommand);
    /// Starts the engine: windows, then video. fullscreen 1 means fullscreen,
    /// anything else windowed; a width or height of 0 or less in windowed mode
    /// means the screen's. Leaves the outcome in `status` (INIT_OK on success).
    bool Initialize(int fullscreen, int xres, int yres);
    /// Message box and log line for the current `status`.
    void ShowStartupError();
    /// Releases the video interfaces (back surface, primary, DirectDraw).
    bool CleanUp();

    // --- Window and input ----------------------------------------------------
    bool RegisterWindowClass();
    bool CreateWindows();
    bool ShowMainWindow();
    intptr_t WindowProc(platform::WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);
    /// 1 while the key with virtual-key code `key` (0..255) is held.
    uint8_t IsKeyDown(int key);
    /// The newest typed character, removed from the buffer; 0 when empty.
    char GetKey();
    int32_t GetMouseX();
    int32_t GetMouseY();
    double GetMouseDX();
    double GetMouseDY();
    int32_t GetMouseButton();
    void MouseMove(int x, int y);
    void MouseButtonDown(int button);
    void MouseButtonUp();

    // --- Video -----------------------------------------------------------------
    bool StartDirectDraw();
    /// Creates the surfaces and derives the screen-buffer fields, pixel format,
    /// slots and row table from the back surface. Releases earlier surfaces.
    bool CreateSurface();
    /// Locks the back surface and sets backBuffer; on failure sets LOCK_FAILED,
    /// reports it, and nothing may be drawn this frame.
    bool BeginDraw();
    int EndDraw();
    /// Puts the finished frame on the screen (flip or copy to the client area).
    int ViewUpdate();
    /// Text at (x, y) of the unlocked back surface in textColor; not clipped.
    int DrawText(int x, int y, const char* text);
    /// One line in the debug log describing a video result code.
    void LogDirectXError(platform::HResult code);

    // --- Text colour -------------------------------------------------------
    void SetTextRGB(int r, int g, int b);
    platform::WindowHandle GetWindowHandle() { return windowHandle; }

private:
    bool InitWindows();
    bool InitDirectDraw();
    void ReleaseDirectDraw();
};

extern WindowsDX Tarvo;

/// The program's entry: runs the game's initialize(), then the message loop.
/// Returns the exit code (0 after a quit, -1 after a start-up failure).
int WinMain(platform::InstanceHandle instance, platform::InstanceHandle previousInstance, const char* commandLine,
            int showCommand);

/// Supplied by the game.
void initialize();
void run();
