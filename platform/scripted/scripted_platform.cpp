#include "platform/scripted/scripted_platform.h"

#include <algorithm>
#include <cstdlib>
#include <cstddef>
#include <cstring>

#include "platform/frame_queue.h"
#include "platform/window_messages.h"

namespace platform {

namespace {

// FNV-1a over the visible pixels, row by row.
uint64_t HashPixels(const uint16_t* pixels, int width, int height, int stridePixels) {
    uint64_t hash = 1469598103934665603ull;
    for (int y = 0; y < height; ++y) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(pixels + static_cast<ptrdiff_t>(y) * stridePixels);
        for (int i = 0; i < width * 2; ++i) {
            hash ^= bytes[i];
            hash *= 1099511628211ull;
        }
    }
    return hash;
}

// How the recorded calls name a surface: the engine's back surface is
// off-screen when windowed and a flip chain's back buffer in full screen.
std::string SurfaceName(SurfaceHandle surface) { return MemorySurfaces::From(surface)->primary ? "primary" : "back"; }

}  // namespace

ScriptedPlatform::ScriptedPlatform() : messages(std::make_unique<FrameQueue>()) {}
ScriptedPlatform::~ScriptedPlatform() = default;

void ScriptedPlatform::Fail(Op op, int callNumber, HResult result) { faults[op].push_back({callNumber, result}); }

bool ScriptedPlatform::Faulted(Op op, HResult& result) {
    const int call = ++callCounts[op];
    result = DD_OK;
    auto it = faults.find(op);
    if (it == faults.end()) return false;
    for (const Fault& fault : it->second) {
        if (fault.callNumber == 0 || fault.callNumber == call) {
            result = fault.result;
            return true;
        }
    }
    return false;
}

int ScriptedPlatform::CallCount(Op op) const {
    auto it = callCounts.find(op);
    return it == callCounts.end() ? 0 : it->second;
}

void ScriptedPlatform::QueueMessage(const Message& message) { messages->Post(message); }

void ScriptedPlatform::Schedule(int frame, const Message& message) { messages->Schedule(frame, message); }

void ScriptedPlatform::QueueKeyDown(int virtualKey) {
    QueueMessage({lastShown, WM_KEYDOWN, static_cast<uintptr_t>(virtualKey), 0});
}
void ScriptedPlatform::QueueKeyUp(int virtualKey) {
    QueueMessage({lastShown, WM_KEYUP, static_cast<uintptr_t>(virtualKey), 0});
}
void ScriptedPlatform::QueueChar(char c) {
    QueueMessage({lastShown, WM_CHAR, static_cast<uintptr_t>(static_cast<uint8_t>(c)), 0});
}
void ScriptedPlatform::QueueClose() { QueueMessage({lastShown, WM_CLOSE, 0, 0}); }

void ScriptedPlatform::LoseSurface(SurfaceHandle surface) { AsSurface(surface)->lost = true; }

void ScriptedPlatform::SetForeground(WindowHandle window) {
    foreground = window;
    foregroundSet = true;
}

const ScriptedPlatform::WindowRecord& ScriptedPlatform::WindowInfo(WindowHandle window) const {
    return static_cast<const Window*>(window)->record;
}

void ScriptedPlatform::Send(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (windowProc != nullptr) windowProc(window, message, wParam, lParam);
}

bool ScriptedPlatform::RegisterClass(const char*, uint32_t, WindowProcFn proc) {
    HResult result;
    if (Faulted(Op::RegisterClass, result)) return false;
    windowProc = proc;
    return true;
}

int ScriptedPlatform::GetScreenDepth() { return screenDepth; }
int ScriptedPlatform::GetScreenWidth() { return screenWidth; }
int ScriptedPlatform::GetScreenHeight() { return screenHeight; }

WindowHandle ScriptedPlatform::CreateWindow(uint32_t, const char*, const char* title, uint32_t style, int x, int y,
                                            int outerWidth, int outerHeight) {
    HResult result;
    if (Faulted(Op::CreateWindow, result)) return nullptr;
    auto window = std::make_unique<Window>();
    window->record = {x, y, outerWidth, outerHeight, style, false, false, title != nullptr ? title : ""};
    WindowHandle handle = window.get();
    ownedWindows.push_back(std::move(window));
    windows.push_back(handle);
    // Creating a window reports where its client area landed.
    int originX = 0, originY = 0;
    ClientToScreen(handle, originX, originY);
    Send(handle, WM_MOVE, 0, MakeLParam(originX, originY));
    return handle;
}

void ScriptedPlatform::GetClientRect(WindowHandle window, int& width, int& height) {
    const WindowRecord& r = WindowInfo(window);
    if ((r.style & WS_POPUP) != 0) {
        width = r.outerWidth;
        height = r.outerHeight;
    } else {
        width = std::max(0, r.outerWidth - frameLeft - frameRight);
        height = std::max(0, r.outerHeight - frameTop - frameBottom);
    }
}

void ScriptedPlatform::ShowWindow(WindowHandle window, int) {
    static_cast<Window*>(window)->record.shown = true;
    lastShown = window;
    if (activateOnShow) {
        Send(window, WM_ACTIVATEAPP, 1, 0);
        Send(window, WM_SETFOCUS, 0, 0);
    }
}

bool ScriptedPlatform::UpdateWindow(WindowHandle) {
    HResult result;
    return !Faulted(Op::UpdateWindow, result);
}

void ScriptedPlatform::DestroyWindow(WindowHandle window) {
    Send(window, WM_DESTROY, 0, 0);
    static_cast<Window*>(window)->record.destroyed = true;
    if (lastShown == window) lastShown = nullptr;
}

intptr_t ScriptedPlatform::DefWindowProc(WindowHandle, uint32_t, uintptr_t, intptr_t) { return 0; }

void ScriptedPlatform::PostQuitMessage(int exitCode) {
    messages->Post({nullptr, WM_QUIT, static_cast<uintptr_t>(exitCode), 0});
}

bool ScriptedPlatform::PeekMessage(Message& out) {
    const bool taken = messages->Take(out, beforeFrame);
    framesRun = messages->FramesRun();
    return taken;
}

WindowHandle ScriptedPlatform::GetForegroundWindow() { return foregroundSet ? foreground : lastShown; }

void ScriptedPlatform::ClientToScreen(WindowHandle window, int& x, int& y) {
    const WindowRecord& r = WindowInfo(window);
    const bool framed = (r.style & WS_POPUP) == 0;
    x += r.x + (framed ? frameLeft : 0);
    y += r.y + (framed ? frameTop : 0);
}

int ScriptedPlatform::MessageBox(WindowHandle owner, const char* text, const char* caption, uint32_t flags) {
    messageBoxes.push_back({owner, text, caption, flags});
    return IDOK;
}

HResult ScriptedPlatform::DirectDrawCreate(DirectDrawHandle& out) {
    HResult result;
    if (Faulted(Op::DirectDrawCreate, result)) return result;
    out = this;
    calls.push_back("DirectDrawCreate");
    return DD_OK;
}

HResult ScriptedPlatform::SetCooperativeLevel(DirectDrawHandle, WindowHandle, uint32_t flags) {
    HResult result;
    if (Faulted(Op::SetCooperativeLevel, result)) return result;
    cooperativeLevel = flags;
    return DD_OK;
}

HResult ScriptedPlatform::SetDisplayMode(DirectDrawHandle, int width, int height, int bitsPerPixel) {
    HResult result;
    if (Faulted(Op::SetDisplayMode, result)) return result;
    if (bitsPerPixel != 16) return DDERR_INVALIDMODE;
    modeWidth = width;
    modeHeight = height;
    return DD_OK;
}

HResult ScriptedPlatform::CreateSurface(DirectDrawHandle, const SurfaceDesc& request, SurfaceHandle& out) {
    HResult result;
    if (Faulted(Op::CreateSurface, result)) return result;
    const bool modeSet = modeWidth > 0 && (cooperativeLevel & DDSCL_EXCLUSIVE) != 0;
    SurfaceRules rules;
    rules.primaryWidth = modeSet ? modeWidth : screenWidth;
    rules.primaryHeight = modeSet ? modeHeight : screenHeight;
    rules.primaryMemory = primaryInVideoMemory ? DDSCAPS_VIDEOMEMORY : DDSCAPS_SYSTEMMEMORY;
    rules.otherMemory = backInVideoMemory ? DDSCAPS_VIDEOMEMORY : DDSCAPS_SYSTEMMEMORY;
    rules.primaryPixels = true;
    rules.rowAlignBytes = 2;
    rules.rowPaddingPixels = rowPaddingPixels;
    result = surfaces.Create(request, rules, out);
    if (result == DD_OK) calls.push_back("CreateSurface " + SurfaceName(out));
    return result;
}

HResult ScriptedPlatform::GetAttachedSurface(SurfaceHandle surface, uint32_t caps, SurfaceHandle& out) {
    HResult result;
    if (Faulted(Op::GetAttachedSurface, result)) return result;
    result = surfaces.GetAttached(surface, caps, out);
    if (result == DD_OK) calls.push_back("GetAttachedSurface back");
    return result;
}

HResult ScriptedPlatform::GetSurfaceDesc(SurfaceHandle surface, SurfaceDesc& desc) {
    if (layout == PixelLayout::RGB565)
        surfaces.Describe(surface, desc, 0xF800, 0x07E0, 0x001F);
    else
        surfaces.Describe(surface, desc, 0x7C00, 0x03E0, 0x001F);
    return DD_OK;
}

HResult ScriptedPlatform::Lock(SurfaceHandle surface, SurfaceDesc& desc) {
    HResult result;
    if (Faulted(Op::Lock, result)) return result;
    return surfaces.Lock(surface, desc);
}

HResult ScriptedPlatform::Unlock(SurfaceHandle surface) { return surfaces.Unlock(surface); }

void ScriptedPlatform::RecordFrame(const Surface& source) {
    Frame frame;
    frame.width = source.width;
    frame.height = source.height;
    frame.hash = HashPixels(source.pixels.data(), source.width, source.height, source.pitchBytes / 2);
    if (keepFramePixels) {
        frame.pixels.resize(static_cast<size_t>(source.width) * static_cast<size_t>(source.height));
        for (int y = 0; y < source.height; ++y)
            std::memcpy(&frame.pixels[static_cast<size_t>(y) * static_cast<size_t>(source.width)],
                        &source.pixels[static_cast<size_t>(y) * static_cast<size_t>(source.pitchBytes / 2)],
                        static_cast<size_t>(source.width) * 2);
    }
    frames.push_back(std::move(frame));
}

HResult ScriptedPlatform::Flip(SurfaceHandle primary) {
    HResult result;
    if (Faulted(Op::Flip, result)) return result;
    Surface* s = AsSurface(primary);
    if (s->lost) return DDERR_SURFACELOST;
    if (s->attached == nullptr) return DDERR_NOTFLIPPABLE;
    RecordFrame(*s->attached);
    return DD_OK;
}

HResult ScriptedPlatform::BltFast(SurfaceHandle dest, int x, int y, SurfaceHandle source) {
    HResult result;
    if (Faulted(Op::BltFast, result)) return result;
    Surface* d = AsSurface(dest);
    Surface* s = AsSurface(source);
    if (d->lost || s->lost) return DDERR_SURFACELOST;
    // The whole source must land on the destination: no clipping here.
    if (x < 0 || y < 0 || x > d->width - s->width || y > d->height - s->height) return DDERR_INVALIDRECT;
    for (int row = 0; row < s->height; ++row)
        std::memcpy(&d->pixels[static_cast<size_t>(y + row) * static_cast<size_t>(d->pitchBytes / 2) + static_cast<size_t>(x)],
                    &s->pixels[static_cast<size_t>(row) * static_cast<size_t>(s->pitchBytes / 2)],
                    static_cast<size_t>(s->width) * 2);
    RecordFrame(*s);
    return DD_OK;
}

HResult ScriptedPlatform::IsLost(SurfaceHandle surface) { return surfaces.IsLost(surface); }

HResult ScriptedPlatform::Restore(SurfaceHandle surface) {
    HResult result;
    if (Faulted(Op::Restore, result)) return result;
    surfaces.Restore(surface);
    calls.push_back("Restore " + SurfaceName(surface));
    return DD_OK;
}

HResult ScriptedPlatform::GetDC(SurfaceHandle) {
    HResult result;
    if (Faulted(Op::GetDC, result)) return result < 0 ? result : DDERR_CANTCREATEDC;
    return DD_OK;
}

void ScriptedPlatform::TextOut(SurfaceHandle, int x, int y, const char* text, int length, uint32_t color) {
    texts.push_back({x, y, std::string(text, static_cast<size_t>(length)), color});
}

void ScriptedPlatform::ReleaseDC(SurfaceHandle) {}

void ScriptedPlatform::ReleaseSurface(SurfaceHandle surface) {
    calls.push_back("ReleaseSurface " + SurfaceName(surface));
    // Kept alive so tests may still inspect what was drawn; released with the platform.
}

void ScriptedPlatform::ReleaseDirectDraw(DirectDrawHandle) { calls.push_back("ReleaseDirectDraw"); }

}  // namespace platform
