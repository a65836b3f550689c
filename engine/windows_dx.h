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
#include <vector>

#include "../platform/platform.h"
#include "startup_status.h"

class Image;

/// Signatures of the drawing slots.
using DrawPixelFn = int (*)(int x, int y, int r, int g, int b);
using DrawImageFn = int (*)(int x, int y, Image* image);

class WindowsDX {
public:
    WindowsDX();
    ~WindowsDX();
    WindowsDX(const WindowsDX&) = delete;
    WindowsDX& operator=(const WindowsDX&) = delete;

    // --- Screen buffer (valid between BeginDraw and EndDraw) ---------------
    uint16_t* backBuffer = nullptr;
    /// Pixel offset of each row from backBuffer: entry y = y * pitch. Sized
    /// from the back surface (screenHeight + 1 entries).
    std::vector<int32_t> rowOffset;
    int32_t screenHeight = 0;  ///< rows of the back surface
    int32_t screenWidth = 0;   ///< columns of the back surface (pitch may be wider)
    int32_t pitch = 0;         ///< row length in pixels (the row stride)
    int32_t pitchBytes = 0;    ///< row length in bytes

    /// Drawing slots, filled by CreateSurface with the 16-bit set. Call them
    /// like methods: Tarvo.DrawSolid(x, y, &image). Each returns 1.
    DrawPixelFn DrawPixel = nullptr;
    DrawImageFn DrawSolid = nullptr;
    DrawImageFn DrawTransparent = nullptr;
    DrawImageFn DrawAlpha = nullptr;
    DrawImageFn DrawAdditive = nullptr;

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
    /// Inclusive clip rectangle, in screen pixels.
    int32_t clipLeft = 0;
    int32_t clipTop = 0;
    int32_t clipRight = 0;
    int32_t clipBottom = 0;
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

    uint16_t* saturationTable = nullptr;  ///< owned; 32 x 32 entries

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

    // --- Screen buffer, clipping and fills ---------------------------------
    /// Visible part of an image placed with its top-left pixel at (x, y).
    /// Offsets are in pixels. False when nothing is visible.
    bool ClipImage(int x, int y, const Image* image, int& dstOffset, int& srcOffset, int& visibleWidth,
                   int& visibleHeight);
    void SetClipRect(int left, int top, int right, int bottom);
    void SetTextRGB(int r, int g, int b);
    void ClearScreen();
    /// Fills the inclusive rectangle (x1, y1)-(x2, y2) with a colour made of the
    /// top five bits of each 8-bit component, packed 5-5-5 (red at bits 10-14)
    /// whatever the screen's layout: on a 5-6-5 screen the same word shows
    /// another colour. Cut to the screen (its width and height, not the clip
    /// rectangle); nothing when x1 > x2 or y1 > y2.
    void FillRect(int x1, int y1, int x2, int y2, int r, int g, int b);
    /// The screen word for 8-bit components in the screen's own layout (5-6-5
    /// or 5-5-5), for writing into backBuffer directly: what FillRect and
    /// DrawPixel do not do.
    uint16_t ScreenColor(int r, int g, int b) const;
    void MakeSaturationTable();
    int32_t GetPitch() { return pitch; }
    int32_t GetScreenHeight() { return screenHeight; }
    int32_t GetScreenWidth() { return screenWidth; }
    int32_t GetPitchBytes() { return pitchBytes; }
    uint16_t* GetBackBuffer() { return backBuffer; }
    platform::WindowHandle GetWindowHandle() { return windowHandle; }

    // --- Tiled background ----------------------------------------------------
    /// Covers the screen with copies of `tile`; grid position (x, y) shows at
    /// the screen's top-left pixel.
    int DrawTiled(int x, int y, Image* tile);
    static void TileIndex(int x, int y, int tileWidth, int tileHeight, int& column, int& row, int& offsetX,
                          int& offsetY);

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
