// The video layer: surfaces are plain memory (platform/memory_surfaces.h)
// that the engine locks and draws into; a flip shows the back surface over
// the whole fullscreen window, a copy shows it in the window at the largest
// whole scale that fits, each logical pixel a square block. Presenting is sdl_present.cpp's.
#include "platform/sdl/sdl_backend.h"

namespace platform {

HResult SdlPlatform::DirectDrawCreate(DirectDrawHandle& out) {
    if (!started) return DDERR_NODIRECTDRAWHW;
    out = this;
    return DD_OK;
}

HResult SdlPlatform::SetCooperativeLevel(DirectDrawHandle, WindowHandle window, uint32_t flags) {
    if (window == nullptr) return DDERR_NOHWND;
    presentWindow = static_cast<SdlWindow*>(window);
    exclusive = (flags & DDSCL_EXCLUSIVE) != 0;
    return DD_OK;
}

HResult SdlPlatform::SetDisplayMode(DirectDrawHandle, int width, int height, int bitsPerPixel) {
    if (!exclusive || presentWindow == nullptr) return DDERR_NOEXCLUSIVEMODE;
    // The back surface is allocated from the mode's size, so it is bounded
    // as the windowed one is: a huge request fails the mode, not the process.
    if (bitsPerPixel != 16 || width <= 0 || height <= 0 || width > MemorySurfaces::kMaxSide ||
        height > MemorySurfaces::kMaxSide)
        return DDERR_INVALIDMODE;
    SDL_SetWindowSize(presentWindow->sdl, width, height);
    if (SDL_SetWindowFullscreen(presentWindow->sdl, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) return DDERR_UNSUPPORTEDMODE;
    modeWidth = width;
    modeHeight = height;
    return DD_OK;
}

HResult SdlPlatform::CreateSurface(DirectDrawHandle, const SurfaceDesc& request, SurfaceHandle& out) {
    if (request.dwSize != kSurfaceDescSize) return DDERR_INVALIDPARAMS;
    if ((request.dwCaps & DDSCAPS_PRIMARYSURFACE) != 0) {
        if (presentWindow == nullptr) return DDERR_NOCOOPERATIVELEVELSET;
        if (!presentation.Ready() && !CreatePresentation()) return DDERR_NODIRECTDRAWHW;
    }
    const SDL_Rect desktop = DesktopBounds();
    SurfaceRules rules;
    rules.primaryWidth = modeWidth > 0 ? modeWidth : desktop.w;
    rules.primaryHeight = modeHeight > 0 ? modeHeight : desktop.h;
    rules.primaryMemory = presentation.Accelerated() ? DDSCAPS_VIDEOMEMORY : DDSCAPS_SYSTEMMEMORY;
    return memory.Create(request, rules, out);
}

HResult SdlPlatform::GetAttachedSurface(SurfaceHandle handle, uint32_t caps, SurfaceHandle& out) {
    return memory.GetAttached(handle, caps, out);
}

HResult SdlPlatform::GetSurfaceDesc(SurfaceHandle handle, SurfaceDesc& desc) {
    memory.Describe(handle, desc, rgb555 ? 0x7C00 : 0xF800, rgb555 ? 0x03E0 : 0x07E0, 0x001F);
    return DD_OK;
}

HResult SdlPlatform::Lock(SurfaceHandle handle, SurfaceDesc& desc) {
    const HResult result = memory.Lock(handle, desc);
    if (result == DD_OK) presentation.Pace();
    return result;
}

HResult SdlPlatform::Flip(SurfaceHandle handle) {
    MemorySurface* primary = static_cast<MemorySurface*>(handle);
    if (primary->attached == nullptr) return DDERR_NOTFLIPPABLE;
    if (primary->lost) return DDERR_SURFACELOST;
    if (!Present(*primary->attached, true)) return DDERR_SURFACELOST;
    return DD_OK;
}

HResult SdlPlatform::BltFast(SurfaceHandle dest, int x, int y, SurfaceHandle source) {
    MemorySurface* primary = static_cast<MemorySurface*>(dest);
    MemorySurface* back = static_cast<MemorySurface*>(source);
    if (primary->lost || back->lost) return DDERR_SURFACELOST;
    // The copy must land wholly on the desktop; no clipping. The picture
    // lies where it is placed in the window (x, y is the window's origin).
    const SDL_Rect desktop = DesktopBounds();
    const PicturePlace place = presentWindow != nullptr ? PlaceIn(presentWindow) : PicturePlace{};
    const int64_t left = int64_t{x} + place.x, top = int64_t{y} + place.y;
    const int shownWidth = presentWindow != nullptr ? presentWindow->logicalWidth : back->width;
    const int shownHeight = presentWindow != nullptr ? presentWindow->logicalHeight : back->height;
    if (left < desktop.x || top < desktop.y || left - desktop.x > desktop.w - int64_t{shownWidth} * place.scale ||
        top - desktop.y > desktop.h - int64_t{shownHeight} * place.scale)
        return DDERR_INVALIDRECT;
    if (!Present(*back, false)) return DDERR_SURFACELOST;
    return DD_OK;
}

HResult SdlPlatform::Restore(SurfaceHandle handle) {
    if (MemorySurfaces::From(handle)->primary && !presentation.Ready() && !CreatePresentation())
        return DDERR_NODIRECTDRAWHW;
    memory.Restore(handle);
    return DD_OK;
}

// The window's client area of the surface (which may be a pixel larger each
// way) when windowed.
bool SdlPlatform::Present(const MemorySurface& source, bool fullscreenMode) {
    const bool sized = presentWindow != nullptr;
    return presentation.Show(source, fullscreenMode, sized ? presentWindow->logicalWidth : source.width,
                             sized ? presentWindow->logicalHeight : source.height);
}

void SdlPlatform::ReleaseDirectDraw(DirectDrawHandle) {
    DestroyPresentation();
    if (presentWindow != nullptr && modeWidth > 0) SDL_SetWindowFullscreen(presentWindow->sdl, 0);
    modeWidth = modeHeight = 0;
}

}  // namespace platform
