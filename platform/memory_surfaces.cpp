#include "platform/memory_surfaces.h"

#include <algorithm>

namespace platform {

MemorySurfaces::~MemorySurfaces() {
    for (MemorySurface* s : surfaces) delete s;
}

MemorySurface* MemorySurfaces::NewMemorySurface(int width, int height, int pitchBytes, bool withPixels) {
    auto* s = new MemorySurface;
    s->width = width;
    s->height = height;
    s->pitchBytes = pitchBytes;
    if (withPixels) s->pixels.assign(static_cast<size_t>(pitchBytes / 2) * static_cast<size_t>(height), 0);
    surfaces.push_back(s);
    return s;
}

namespace {

int RowBytes(int width, const SurfaceRules& rules) {
    const int align = rules.rowAlignBytes;
    return ((width + rules.rowPaddingPixels) * 2 + align - 1) / align * align;
}

}  // namespace

HResult MemorySurfaces::Create(const SurfaceDesc& request, const SurfaceRules& rules, SurfaceHandle& out) {
    if (request.dwSize != kSurfaceDescSize) return DDERR_INVALIDPARAMS;
    if ((request.dwCaps & DDSCAPS_PRIMARYSURFACE) != 0) {
        MemorySurface* back = nullptr;
        if ((request.dwFlags & DDSD_BACKBUFFERCOUNT) != 0 && request.dwBackBufferCount > 0 &&
            (request.dwCaps & DDSCAPS_FLIP) != 0) {
            back = NewMemorySurface(rules.primaryWidth, rules.primaryHeight, RowBytes(rules.primaryWidth, rules));
            back->caps = DDSCAPS_BACKBUFFER | DDSCAPS_FLIP | DDSCAPS_COMPLEX | rules.otherMemory;
        }
        MemorySurface* primary =
            NewMemorySurface(rules.primaryWidth, rules.primaryHeight, rules.primaryWidth * 2, rules.primaryPixels);
        primary->primary = true;
        primary->caps = DDSCAPS_PRIMARYSURFACE | rules.primaryMemory;
        if (back != nullptr) {
            primary->attached = back;
            primary->caps |= DDSCAPS_FLIP | DDSCAPS_COMPLEX;
        }
        out = primary;
        return DD_OK;
    }
    if ((request.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT)) return DDERR_INVALIDPARAMS;
    if (request.dwWidth == 0 || request.dwHeight == 0 || request.dwWidth > kMaxSide || request.dwHeight > kMaxSide)
        return DDERR_INVALIDPARAMS;
    const int width = static_cast<int>(request.dwWidth);
    MemorySurface* surface = NewMemorySurface(width, static_cast<int>(request.dwHeight), RowBytes(width, rules));
    surface->caps = DDSCAPS_OFFSCREENPLAIN | rules.otherMemory;
    out = surface;
    return DD_OK;
}

HResult MemorySurfaces::GetAttached(SurfaceHandle handle, uint32_t caps, SurfaceHandle& out) const {
    const MemorySurface* s = From(handle);
    if ((caps & DDSCAPS_BACKBUFFER) == 0 || s->attached == nullptr) return DDERR_NOTFOUND;
    out = s->attached;
    return DD_OK;
}

void MemorySurfaces::Describe(SurfaceHandle handle, SurfaceDesc& desc, uint32_t red, uint32_t green,
                              uint32_t blue) const {
    const MemorySurface* s = From(handle);
    desc.dwWidth = static_cast<uint32_t>(s->width);
    desc.dwHeight = static_cast<uint32_t>(s->height);
    desc.lPitch = s->pitchBytes;
    desc.dwCaps = s->caps;
    desc.dwRGBBitCount = 16;
    desc.dwRBitMask = red;
    desc.dwGBitMask = green;
    desc.dwBBitMask = blue;
}

HResult MemorySurfaces::Lock(SurfaceHandle handle, SurfaceDesc& desc) const {
    MemorySurface* s = From(handle);
    if (s->pixels.empty()) return DDERR_CANTLOCKSURFACE;
    if (s->lost) return DDERR_SURFACELOST;
    if (s->locked) return DDERR_SURFACEBUSY;
    s->locked = true;
    desc.lpSurface = s->pixels.data();
    desc.lPitch = s->pitchBytes;
    desc.dwWidth = static_cast<uint32_t>(s->width);
    desc.dwHeight = static_cast<uint32_t>(s->height);
    return DD_OK;
}

HResult MemorySurfaces::Unlock(SurfaceHandle handle) const {
    MemorySurface* s = From(handle);
    if (!s->locked) return DDERR_NOTLOCKED;
    s->locked = false;
    return DD_OK;
}

HResult MemorySurfaces::IsLost(SurfaceHandle handle) const { return From(handle)->lost ? DDERR_SURFACELOST : DD_OK; }

void MemorySurfaces::Restore(SurfaceHandle handle) {
    MemorySurface* s = From(handle);
    s->lost = false;
    std::fill(s->pixels.begin(), s->pixels.end(), static_cast<uint16_t>(0));
}

void MemorySurfaces::Release(SurfaceHandle handle) {
    MemorySurface* s = From(handle);
    auto it = std::find(surfaces.begin(), surfaces.end(), s);
    if (it == surfaces.end()) return;
    surfaces.erase(it);
    // A chain's back buffer released on its own: its primary must not keep
    // pointing at it.
    for (MemorySurface* other : surfaces)
        if (other->attached == s) other->attached = nullptr;
    if (s->attached != nullptr) {
        // The chain's back buffer goes with its primary.
        auto back = std::find(surfaces.begin(), surfaces.end(), s->attached);
        if (back != surfaces.end()) {
            surfaces.erase(back);
            delete s->attached;
        }
    }
    delete s;
}

void MemorySurfaces::LosePrimaries() {
    for (MemorySurface* s : surfaces)
        if (s->primary) s->lost = true;
}

}  // namespace platform
