// Full screen, resizing, and where the picture goes in a window.
//
// Full screen keeps the desktop's mode: the window covers the display it is
// on and the picture takes the largest whole scale that fits, centred, black
// around it. Under a window manager SDL asks it for full screen; on a bare X
// server nothing would answer that request (SDL would only believe the
// window had grown), so there the window is moved and sized by hand.
#include <SDL_syswm.h>

#include <algorithm>
#include <string>

#include "base/debug_log.h"
#include "platform/sdl/sdl_backend.h"

namespace platform {

PicturePlace SdlPlatform::PlaceIn(SdlWindow* window) const {
    int width = 0, height = 0;
    SDL_GetWindowSize(window->sdl, &width, &height);
    return PlacePicture(width, height, window->logicalWidth, window->logicalHeight);
}

void SdlPlatform::MousePosition(SdlWindow* window, int x, int y, int& gameX, int& gameY) const {
    const PicturePlace place = PlaceIn(window);
    gameX = ToPicturePixel(x, place, false, window->logicalWidth);
    gameY = ToPicturePixel(y, place, true, window->logicalHeight);
}

// Whether an X window manager runs (it names itself on the root window).
// Other video drivers have their own compositor: true.
bool SdlPlatform::HasWindowManager() const {
#if defined(SDL_VIDEO_DRIVER_X11) && defined(TARVO_HAVE_XLIB)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (mainWindow == nullptr || !SDL_GetWindowWMInfo(mainWindow->sdl, &info) || info.subsystem != SDL_SYSWM_X11)
        return true;
    Display* display = info.info.x11.display;
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None) return false;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const bool read = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW, &type,
                                         &format, &count, &after, &data) == Success;
    const bool found = read && data != nullptr && count == 1;
    if (data != nullptr) XFree(data);
    return found;
#else
    return true;
#endif
}

// Where the window is. On a bare X server SDL misses a move that comes with
// a resize, so the X server is asked.
void SdlPlatform::WindowOrigin(SdlWindow* window, int& x, int& y) const {
    SDL_GetWindowPosition(window->sdl, &x, &y);
#if defined(SDL_VIDEO_DRIVER_X11) && defined(TARVO_HAVE_XLIB)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window->sdl, &info) && info.subsystem == SDL_SYSWM_X11) {
        Display* display = info.info.x11.display;
        Window child = 0;
        int rootX = 0, rootY = 0;
        if (XTranslateCoordinates(display, info.info.x11.window, DefaultRootWindow(display), 0, 0, &rootX, &rootY,
                                  &child)) {
            x = rootX;
            y = rootY;
        }
    }
#endif
}

// The engine places its copy at the window's client origin; a window moved
// by the program itself may get no event for it.
void SdlPlatform::TellPosition(SdlWindow* window) {
    int x = 0, y = 0;
    WindowOrigin(window, x, y);
    Post(window, WM_MOVE, 0, MakeLParam(x, y));
}

bool SdlPlatform::SetFullscreen(bool on) {
    if (mainWindow == nullptr || mainWindow->destroyed || on == inFullscreen) return on == inFullscreen;
    SDL_Window* sdl = mainWindow->sdl;
    if (on) {
        SDL_Rect bounds;
        const int display = std::max(0, SDL_GetWindowDisplayIndex(sdl));
        if (SDL_GetDisplayBounds(display, &bounds) != 0) {
            debugLog.Write(("Display: full screen was refused (" + std::string(SDL_GetError()) +
                            "); the window stays as it was.\n")
                               .c_str(),
                           debugTail);
            return false;
        }
        WindowOrigin(mainWindow, windowed.x, windowed.y);
        SDL_GetWindowSize(sdl, &windowed.w, &windowed.h);
        fullscreenBySdl = HasWindowManager();
        if (fullscreenBySdl) {
            if (SDL_SetWindowFullscreen(sdl, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
                debugLog.Write(("Display: full screen was refused (" + std::string(SDL_GetError()) +
                                "); the window stays as it was.\n")
                                   .c_str(),
                               debugTail);
                return false;
            }
        } else {
            SDL_SetWindowPosition(sdl, bounds.x, bounds.y);
            SDL_SetWindowSize(sdl, bounds.w, bounds.h);
            SDL_RaiseWindow(sdl);
        }
        inFullscreen = true;
        SDL_ShowCursor(SDL_DISABLE);
    } else {
        if (fullscreenBySdl) {
            if (SDL_SetWindowFullscreen(sdl, 0) != 0) {
                debugLog.Write(
                    ("Display: leaving full screen was refused (" + std::string(SDL_GetError()) + ").\n").c_str(),
                    debugTail);
                return false;
            }
        } else {
            SDL_SetWindowSize(sdl, windowed.w, windowed.h);
            SDL_SetWindowPosition(sdl, windowed.x, windowed.y);
        }
        inFullscreen = false;
        SDL_ShowCursor(SDL_ENABLE);
    }
    TellPosition(mainWindow);
    return true;
}

// The player sized the window: its scale is the picture's from now on, and
// remembered. Sizes that full screen or the program itself set give the
// scale already in use, so they change nothing.
void SdlPlatform::Resized(SdlWindow* window, int width, int height) {
    if (window != mainWindow || inFullscreen) return;
    const int fitted = PlacePicture(width, height, window->logicalWidth, window->logicalHeight).scale;
    if (fitted == scale) return;
    scale = fitted;
    requestedScale = fitted;  // the display changing no longer chooses it
    remembered.scale = std::min(fitted, kMaxWindowScale);
    Remember(kSettingScale);
}

}  // namespace platform
