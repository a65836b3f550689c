// The video layer: surfaces in plain memory, flip and copy shown on the
// page's canvas (a 5-6-5 WebGL texture, or RGBA on a 2D canvas), and text
// rasterised by the page and blended into a surface.
#include <algorithm>

#include "platform/web/rgba_row.h"
#include "platform/web/web_backend.h"

namespace platform {

namespace {

// Glyphs in RGBA (colour with coverage in alpha) over 5-6-5 pixels.
void BlendGlyphs(Surface& s, int left, int top, const std::vector<uint8_t>& glyphs, int width, int height) {
    for (int gy = 0; gy < height; ++gy) {
        const int y = top + gy;
        if (y < 0 || y >= s.height) continue;
        uint16_t* row = s.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(s.pitchBytes / 2);
        for (int gx = 0; gx < width; ++gx) {
            const int x = left + gx;
            if (x < 0 || x >= s.width) continue;
            const uint8_t* g = &glyphs[(static_cast<size_t>(gy) * width + gx) * 4];
            const uint32_t a = g[3];
            if (a == 0) continue;
            const uint32_t word = row[x];
            uint8_t dr = 0, dg = 0, db = 0;
            Rgb8From565(word, dr, dg, db);
            const uint32_t r = (g[0] * a + dr * (255 - a)) / 255;
            const uint32_t gr = (g[1] * a + dg * (255 - a)) / 255;
            const uint32_t b = (g[2] * a + db * (255 - a)) / 255;
            row[x] = static_cast<uint16_t>(((r >> 3) << 11) | ((gr >> 2) << 5) | (b >> 3));
        }
    }
}

}  // namespace

HResult BrowserPlatform::DirectDrawCreate(DirectDrawHandle& out) {
    out = this;
    return DD_OK;
}

HResult BrowserPlatform::SetCooperativeLevel(DirectDrawHandle, WindowHandle window, uint32_t flags) {
    if (window == nullptr) return DDERR_NOHWND;
    exclusive = (flags & DDSCL_EXCLUSIVE) != 0;
    return DD_OK;
}

HResult BrowserPlatform::SetDisplayMode(DirectDrawHandle, int width, int height, int bitsPerPixel) {
    if (!exclusive) return DDERR_NOEXCLUSIVEMODE;
    if (bitsPerPixel != 16 || width <= 0 || height <= 0 || width > MemorySurfaces::kMaxSide ||
        height > MemorySurfaces::kMaxSide)
        return DDERR_INVALIDMODE;
    // Full screen on a page is the canvas at the mode's size.
    modeWidth = width;
    modeHeight = height;
    if (mainWindow != nullptr) {
        mainWindow->width = width;
        mainWindow->height = height;
        FitToPage();
    }
    return DD_OK;
}

HResult BrowserPlatform::CreateSurface(DirectDrawHandle, const SurfaceDesc& request, SurfaceHandle& out) {
    SurfaceRules rules;
    rules.primaryWidth = modeWidth > 0 ? modeWidth : GetScreenWidth();
    rules.primaryHeight = modeHeight > 0 ? modeHeight : GetScreenHeight();
    return memory.Create(request, rules, out);
}

HResult BrowserPlatform::GetAttachedSurface(SurfaceHandle handle, uint32_t caps, SurfaceHandle& out) {
    return memory.GetAttached(handle, caps, out);
}

// The browser's canvas takes 5-6-5 only.
HResult BrowserPlatform::GetSurfaceDesc(SurfaceHandle handle, SurfaceDesc& desc) {
    memory.Describe(handle, desc, 0xF800, 0x07E0, 0x001F);
    return DD_OK;
}

// The frame wait is here, as on the desktop: the engine locks the back
// surface once a frame.
HResult BrowserPlatform::Lock(SurfaceHandle handle, SurfaceDesc& desc) {
    const HResult result = memory.Lock(handle, desc);
    if (result == DD_OK) Pace();
    return result;
}

HResult BrowserPlatform::Flip(SurfaceHandle handle) {
    Surface* primary = static_cast<Surface*>(handle);
    if (primary->attached == nullptr) return DDERR_NOTFLIPPABLE;
    if (primary->lost) return DDERR_SURFACELOST;
    Present(*primary->attached);
    return DD_OK;
}

HResult BrowserPlatform::BltFast(SurfaceHandle dest, int x, int y, SurfaceHandle source) {
    Surface* primary = static_cast<Surface*>(dest);
    Surface* back = static_cast<Surface*>(source);
    if (primary->lost || back->lost) return DDERR_SURFACELOST;
    // The copy must land wholly on the screen; no clipping.
    if (x < 0 || y < 0 || x > primary->width - back->width || y > primary->height - back->height)
        return DDERR_INVALIDRECT;
    Present(*back);
    return DD_OK;
}

HResult BrowserPlatform::Restore(SurfaceHandle handle) {
    memory.Restore(handle);
    return DD_OK;
}

HResult BrowserPlatform::GetDC(SurfaceHandle handle) {
    const Surface* s = static_cast<Surface*>(handle);
    if (s->primary || s->lost) return DDERR_CANTCREATEDC;
    return DD_OK;
}

// Text in the page's font, single-byte characters as Latin-1.
void BrowserPlatform::TextOut(SurfaceHandle handle, int x, int y, const char* text, int length, uint32_t color) {
    Surface* s = static_cast<Surface*>(handle);
    if (length <= 0) return;
    int height = 0;
    const int width = PageTextWidth(text, length, &height);
    if (width <= 0 || height <= 0) return;
    std::vector<uint8_t> glyphs(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    PageRasteriseText(text, length, static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                      static_cast<int>((color >> 16) & 0xFF), glyphs.data(), width, height);
    BlendGlyphs(*s, x, y, glyphs, width, height);
}

void BrowserPlatform::ReleaseSurface(SurfaceHandle handle) {
    shown = nullptr;  // it may have been this one, or attached to it
    memory.Release(handle);
}

// The surface's top-left part, as much as the canvas shows, timed for the
// page's figures.
void BrowserPlatform::Present(const Surface& source) {
    if (mainWindow == nullptr) return;
    // A scripted run shows only the frames the browser gets to draw: the
    // last one before each yield (not counted in the frame work).
    if (fastScript) {
        shown = &source;
        return;
    }
    const double startMs = emscripten_get_now();
    PresentNow(source);
    presentMs += emscripten_get_now() - startMs;
}

// Through WebGL as a 5-6-5 texture, or on the 2D canvas in RGBA.
void BrowserPlatform::PresentNow(const Surface& source) {
    const int width = std::min(source.width, mainWindow->width);
    const int height = std::min(source.height, mainWindow->height);
    if (webgl) {
        PagePresentGL(source.pixels.data(), source.pitchBytes / 2, width, height);
        return;
    }
    rgba.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    for (int y = 0; y < height; ++y) {
        const uint16_t* row =
            source.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(source.pitchBytes / 2);
        Rgba565Row(row, rgba.data() + static_cast<size_t>(y) * static_cast<size_t>(width) * 4, width);
    }
    PagePutPixels(rgba.data(), width, height);
}

}  // namespace platform
