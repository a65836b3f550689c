// MemorySurfaces: 16-bit surfaces as plain memory, for every backend that
// shows the finished frame itself (SDL, the browser, the scripted machine).
//
// One owner for every surface a backend hands out: the primary (by default
// holding no pixels of its own, only its size and, for a flip chain, its back
// buffer), the chain's back buffer and off-screen surfaces. The backend
// decides how the primary is shown; this keeps the bookkeeping every such
// backend shares: creation from a request, the attached back buffer, the
// description, lock and unlock, loss and restore, release.
#pragma once

#include <cstdint>
#include <vector>

#include "platform.h"

namespace platform {

struct MemorySurface {
    bool primary = false;
    uint32_t caps = 0;
    int width = 0;
    int height = 0;
    int pitchBytes = 0;
    std::vector<uint16_t> pixels;       // pitchBytes / 2 words a row; none for a primary without pixels
    MemorySurface* attached = nullptr;  // back buffer of a flip chain
    bool lost = false;
    bool locked = false;
};

// How a backend's new surfaces are made.
struct SurfaceRules {
    int primaryWidth = 0;
    int primaryHeight = 0;
    uint32_t primaryMemory = DDSCAPS_SYSTEMMEMORY;  // where the primary says it lives
    uint32_t otherMemory = DDSCAPS_SYSTEMMEMORY;    // where back buffers and off-screen surfaces say they live
    // The primary holds pixels the windowed copy lands in (the scripted
    // machine shows them to tests); otherwise it cannot be locked.
    bool primaryPixels = false;
    int rowAlignBytes = 4;     // rows of the other surfaces start on multiples of this (2 or 4)
    int rowPaddingPixels = 0;  // extra pixels at the end of their every row
};

class MemorySurfaces {
public:
    // Largest side of a surface: the windowed back surface and a full-screen mode alike.
    static constexpr int kMaxSide = 16384;

    MemorySurfaces() = default;
    ~MemorySurfaces();
    MemorySurfaces(const MemorySurfaces&) = delete;
    MemorySurfaces& operator=(const MemorySurfaces&) = delete;

    static MemorySurface* From(SurfaceHandle handle) { return static_cast<MemorySurface*>(handle); }

    // A surface for `request`: a primary of the rules' size, with its back
    // buffer when the request asks for a flip chain; or an off-screen surface
    // of the requested size (at most kMaxSide a side).
    HResult Create(const SurfaceDesc& request, const SurfaceRules& rules, SurfaceHandle& out);
    HResult GetAttached(SurfaceHandle handle, uint32_t caps, SurfaceHandle& out) const;
    // Size, row length, caps and the 16-bit masks given.
    void Describe(SurfaceHandle handle, SurfaceDesc& desc, uint32_t red, uint32_t green, uint32_t blue) const;
    // The pixels of a surface that has them, is not lost and is not locked already.
    HResult Lock(SurfaceHandle handle, SurfaceDesc& desc) const;
    HResult Unlock(SurfaceHandle handle) const;
    HResult IsLost(SurfaceHandle handle) const;
    // Back in use, cleared to black.
    void Restore(SurfaceHandle handle);
    // Frees the surface (a primary with its back buffer); a primary that
    // pointed at a released back buffer no longer does.
    void Release(SurfaceHandle handle);
    // Every primary reports its memory lost until restored.
    void LosePrimaries();

private:
    MemorySurface* NewMemorySurface(int width, int height, int pitchBytes, bool withPixels = true);
    std::vector<MemorySurface*> surfaces;
};

}  // namespace platform
