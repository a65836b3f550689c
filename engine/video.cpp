// Video surfaces: start-up, the per-frame lock, presentation and text.
#include "base/debug_log.h"
#include "base/pixel_format.h"
#include "draw/blit.h"
#include "engine/windows_dx.h"

using namespace platform;

bool WindowsDX::StartDirectDraw() {
    Platform& p = Current();
    if (p.DirectDrawCreate(directDraw) != DD_OK) {
        status = DDSTART_FAILED;
        return false;
    }
    status = DDSTART_OK;
    const uint32_t level = fullscreen == 1 ? (DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE) : DDSCL_NORMAL;
    if (p.SetCooperativeLevel(directDraw, windowHandle, level) != DD_OK) {
        status = DDSETLEVEL_FAILED;
        return false;
    }
    status = DDSETLEVEL_OK;
    return true;
}

namespace {

void LogPrimaryFailure(HResult code) {
    const char* message = nullptr;
    switch (code) {
        case DDERR_INCOMPATIBLEPRIMARY: message = "<WinDX::CreateSurface> Incompatible Primary\n"; break;
        case DDERR_INVALIDCAPS: message = "<WinDX::CreateSurface> Invalid Caps\n"; break;
        case DDERR_INVALIDOBJECT: message = "<WinDX::CreateSurface> Invalid Object\n"; break;
        case DDERR_INVALIDPARAMS: message = "<WinDX::CreateSurface> Invalid Params\n"; break;
        case DDERR_INVALIDPIXELFORMAT: message = "<WinDX::CreateSurface> Invalid Pixel Format\n"; break;
        case DDERR_NOALPHAHW: message = "<WinDX::CreateSurface> No Alpha HW\n"; break;
        case DDERR_NOCOOPERATIVELEVELSET: message = "<WinDX::CreateSurface> No Cooperate Level Set\n"; break;
        case DDERR_NODIRECTDRAWHW: message = "<WinDX::CreateSurface> No Direct Draw HW\n"; break;
        case DDERR_NOEMULATION: message = "<WinDX::CreateSurface> No Emulation\n"; break;
        case DDERR_NOEXCLUSIVEMODE: message = "<WinDX::CreateSurface> No Exclusive Mode\n"; break;
        case DDERR_NOFLIPHW: message = "<WinDX::CreateSurface> No Flip HW\n"; break;
        case DDERR_NOZBUFFERHW: message = "<WinDX::CreateSurface> No Z-Buffer HW\n"; break;
        case DDERR_OUTOFMEMORY: message = "<WinDX::CreateSurface> Out of Memory\n"; break;
        case DDERR_OUTOFVIDEOMEMORY: message = "<WinDX::CreateSurface> Out Of Video Memory\n"; break;
        case DDERR_PRIMARYSURFACEALREADYEXISTS:
            message = "<WinDX::CreateSurface> Primary Surface Already Exists\n";
            break;
        default: break;
    }
    if (message != nullptr) debugLog.Write(message, debugTail);
}

}  // namespace

bool WindowsDX::CreateSurface() {
    Platform& p = Current();
    if (backSurface != nullptr) {
        p.ReleaseSurface(backSurface);
        backSurface = nullptr;
    }
    if (primarySurface != nullptr) {
        p.ReleaseSurface(primarySurface);
        primarySurface = nullptr;
    }

    SurfaceDesc desc;
    desc.dwSize = kSurfaceDescSize;

    if (fullscreen == 1) {
        if (p.SetDisplayMode(directDraw, pitch, screenHeight, screenBits) != DD_OK) {
            status = SETMODE_FAILED;
            return false;
        }
        status = SETMODE_OK;
        desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
        desc.dwBackBufferCount = 1;
        desc.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
        HResult result = p.CreateSurface(directDraw, desc, primarySurface);
        if (result != DD_OK) {
            LogPrimaryFailure(result);
            desc.dwCaps &= ~DDSCAPS_VIDEOMEMORY;
            if (p.CreateSurface(directDraw, desc, primarySurface) != DD_OK) {
                status = FRONTSURFACE_FAILED;
                return false;
            }
        }
        status = FRONTSURFACE_OK;
        if (p.GetAttachedSurface(primarySurface, DDSCAPS_BACKBUFFER, backSurface) != DD_OK) {
            status = BACKSURFACE_FAILED;
            return false;
        }
    } else {
        desc.dwFlags = DDSD_CAPS;
        desc.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_VIDEOMEMORY;
        if (p.CreateSurface(directDraw, desc, primarySurface) != DD_OK) {
            desc.dwCaps &= ~DDSCAPS_VIDEOMEMORY;
            if (p.CreateSurface(directDraw, desc, primarySurface) != DD_OK) {
                status = FRONTSURFACE_FAILED;
                return false;
            }
        }
        status = FRONTSURFACE_OK;
        desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
        desc.dwHeight = static_cast<uint32_t>(screenHeight);
        desc.dwWidth = static_cast<uint32_t>(pitch);
        desc.dwCaps = DDSCAPS_OFFSCREENPLAIN;
        if (p.CreateSurface(directDraw, desc, backSurface) != DD_OK) {
            desc.dwCaps &= ~DDSCAPS_VIDEOMEMORY;
            if (p.CreateSurface(directDraw, desc, backSurface) != DD_OK) {
                status = BACKSURFACE_FAILED;
                return false;
            }
        }
    }
    status = BACKSURFACE_OK;

    desc = SurfaceDesc{};
    desc.dwSize = kSurfaceDescSize;
    desc.dwFlags = DDSD_HEIGHT | DDSD_WIDTH | DDSD_PITCH | DDSD_PIXELFORMAT;
    p.GetSurfaceDesc(primarySurface, desc);
    debugLog.Write((desc.dwCaps & DDSCAPS_VIDEOMEMORY) != 0 ? "WinDX:: Front Buffer is in video memory.\n"
                                                            : "WinDX:: Front Buffer NOT IN VIDEO MEMORY.\n",
                   debugTail);

    desc = SurfaceDesc{};
    desc.dwSize = kSurfaceDescSize;
    desc.dwFlags = DDSD_HEIGHT | DDSD_WIDTH | DDSD_PITCH | DDSD_PIXELFORMAT;
    p.GetSurfaceDesc(backSurface, desc);
    debugLog.Write((desc.dwCaps & DDSCAPS_VIDEOMEMORY) != 0 ? "WinDX:: Back Buffer is in video memory.\n"
                                                            : "WinDX:: Back Buffer NOT IN VIDEO MEMORY.\n",
                   debugTail);
    debugLog.Write((desc.dwCaps & DDSCAPS_BACKBUFFER) != 0 ? "WinDX:: Back Buffer is a valid flip (back) buffer.\n"
                                                           : "WinDX:: Back Buffer NOT A FLIP (BACK) BUFFER.\n",
                   debugTail);

    screenHeight = static_cast<int32_t>(desc.dwHeight);
    screenWidth = static_cast<int32_t>(desc.dwWidth);
    pitchBytes = desc.lPitch;
    pitch = desc.lPitch / 2;
    DrawPixel = &DrawPixel16;
    DrawSolid = &DrawSolid16;
    DrawTransparent = &DrawTransparent16;
    DrawAlpha = &DrawAlpha16;
    DrawAdditive = &DrawAdditive16;
    SetPixelFormat(desc.dwRBitMask, desc.dwGBitMask, desc.dwBBitMask);

    // One entry past the last row, sized from the surface so any height fits.
    rowOffset.assign(static_cast<size_t>(screenHeight > 0 ? screenHeight : 0) + 1, 0);
    for (int32_t y = 0; y <= screenHeight; ++y) rowOffset[static_cast<size_t>(y)] = y * pitch;

    int originX = 0;
    int originY = 0;
    p.ClientToScreen(windowHandle, originX, originY);
    clientOriginX = originX;
    clientOriginY = originY;

    active = 1;
    status = INIT_OK;
    return true;
}

bool WindowsDX::BeginDraw() {
    SurfaceDesc desc;
    desc.dwSize = kSurfaceDescSize;
    if (Current().Lock(backSurface, desc) != DD_OK) {
        status = LOCK_FAILED;
        ShowStartupError();
        return false;
    }
    backBuffer = static_cast<uint16_t*>(desc.lpSurface);
    return true;
}

int WindowsDX::EndDraw() {
    Current().Unlock(backSurface);
    return 1;
}

int WindowsDX::ViewUpdate() {
    Platform& p = Current();
    if (active != 1) return 1;
    if (p.GetForegroundWindow() != windowHandle) return 1;
    if (fullscreen == 1) {
        p.Flip(primarySurface);
        if (p.IsLost(primarySurface) == DDERR_SURFACELOST) p.Restore(primarySurface);
        return 1;
    }
    const HResult result = p.BltFast(primarySurface, clientOriginX, clientOriginY, backSurface);
    if (result == DD_OK) return 1;
    if (result == DDERR_WASSTILLDRAWING) return 0;
    if (result == DDERR_SURFACELOST) {
        p.MessageBox(windowHandle, "<WinDX::ViewUpdate> Error: Surface Lost", "", MB_OK);
        if (p.Restore(primarySurface) != DD_OK) return 0;
        if (p.Restore(backSurface) != DD_OK) return 0;
        return 1;
    }
    return 1;
}

void WindowsDX::SetTextRGB(int r, int g, int b) {
    textRed = r;
    textGreen = g;
    textBlue = b;
    textColor =
        static_cast<uint32_t>(r & 0xFF) | static_cast<uint32_t>(g & 0xFF) << 8 | static_cast<uint32_t>(b & 0xFF) << 16;
}

int WindowsDX::DrawText(int x, int y, const char* text) {
    Platform& p = Current();
    if (p.GetDC(backSurface) < 0) {
        debugLog.Write("WinDX::DrawText: Unable to get device context handle.\n", debugTail);
        return 0;
    }
    int length = 0;
    while (text[length] != '\0') ++length;
    p.TextOut(backSurface, x, y, text, length, textColor);
    p.ReleaseDC(backSurface);
    return 1;
}
