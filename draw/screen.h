/// @file
/// ScreenBuffer: the 16-bit screen that every drawing operation writes to,
/// with its clip rectangle, fills and drawing slots. The engine object
/// (`Tarvo`, engine/windows_dx.h) is one; the engine sets the fields from its
/// back surface, and the blits of draw/blit.h draw on it.
///
/// Depends on Image (image/image.h) and the pixel format (base/). Drawing
/// works at 16 bits a pixel only.
#pragma once

#include <cstdint>
#include <vector>

class Image;

/// Signatures of the drawing slots.
using DrawPixelFn = int (*)(int x, int y, int r, int g, int b);
using DrawImageFn = int (*)(int x, int y, Image* image);

class ScreenBuffer {
public:
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

    /// Inclusive clip rectangle, in screen pixels.
    int32_t clipLeft = 0;
    int32_t clipTop = 0;
    int32_t clipRight = 0;
    int32_t clipBottom = 0;

    uint16_t* saturationTable = nullptr;  ///< owned; 32 x 32 entries

    ScreenBuffer() = default;
    ~ScreenBuffer();
    ScreenBuffer(const ScreenBuffer&) = delete;
    ScreenBuffer& operator=(const ScreenBuffer&) = delete;

    // --- Screen buffer, clipping and fills ---------------------------------
    /// Visible part of an image placed with its top-left pixel at (x, y).
    /// Offsets are in pixels. False when nothing is visible.
    bool ClipImage(int x, int y, const Image* image, int& dstOffset, int& srcOffset, int& visibleWidth,
                   int& visibleHeight);
    void SetClipRect(int left, int top, int right, int bottom);
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

    // --- Tiled background ----------------------------------------------------
    /// Covers the screen with copies of `tile`; grid position (x, y) shows at
    /// the screen's top-left pixel.
    int DrawTiled(int x, int y, Image* tile);
    static void TileIndex(int x, int y, int tileWidth, int tileHeight, int& column, int& row, int& offsetX,
                          int& offsetY);
};
