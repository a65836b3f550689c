// MemorySurfaces: 16-bit surfaces as plain memory, for backends that upload
// the finished frame themselves (SDL, the browser).
//
// One owner for every surface a backend hands out: the primary (which holds
// no pixels of its own, only its size and, for a flip chain, its back
// buffer), the chain's back buffer and off-screen surfaces. Rows start on
// 4-byte boundaries. The backend decides how the primary is shown; this keeps
// the bookkeeping every such backend shares: creation from a request, the
// attached back buffer, the description, lock, loss and restore, release.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/platform.h"

namespace platform {

struct MemorySurface {
    bool primary = false;
    uint32_t caps = 0;
    int width = 0;
    int height = 0;
    int pitchBytes = 0;
    std::vector<uint8_t> pixels;        // off-screen and back-buffer memory
    MemorySurface* attached = nullptr;  // back buffer of a flip chain
    bool lost = false;
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

    // A surface for `request`: a primary of primaryWidth x primaryHeight whose
    // caps carry `primaryMemory` (video or system memory), with its back
    // buffer when the request counts one; or an off-screen surface of the
    // requested size (at most kMaxSide a side).
    HResult Create(const SurfaceDesc& request, int primaryWidth, int primaryHeight, uint32_t primaryMemory,
                   SurfaceHandle& out);
    HResult GetAttached(SurfaceHandle handle, uint32_t caps, SurfaceHandle& out) const;
    // Size, row length, caps and the 16-bit masks given.
    void Describe(SurfaceHandle handle, SurfaceDesc& desc, uint32_t red, uint32_t green, uint32_t blue) const;
    // The pixels of a surface that is not the primary and not lost.
    HResult Lock(SurfaceHandle handle, SurfaceDesc& desc) const;
    HResult IsLost(SurfaceHandle handle) const;
    // Back in use, cleared to black.
    void Restore(SurfaceHandle handle);
    // Frees the surface (a primary with its back buffer); a primary that
    // pointed at a released back buffer no longer does.
    void Release(SurfaceHandle handle);
    // Every primary reports its memory lost until restored.
    void LosePrimaries();

private:
    MemorySurface* NewMemorySurface(int width, int height);
    std::vector<MemorySurface*> surfaces;
};

}  // namespace platform
