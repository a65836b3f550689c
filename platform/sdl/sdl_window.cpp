// Windows emulated on SDL windows: the class's start of SDL, creation at a
// whole scale, the client size, showing, focus, message boxes, and the
// displays the windows are placed on.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/sdl/sdl_backend.h"
#include "platform/window_scale.h"

namespace platform {

bool SdlPlatform::StartVideo(std::string& why) {
    if (started) return true;
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        why = SDL_GetError();
        return false;
    }
    // With no display reachable SDL falls back to drivers that show
    // nothing, and the program would run unseen with no way to quit.
    // Those count only when asked for by name.
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* named = std::getenv("SDL_VIDEODRIVER");
    const bool invisible =
        driver != nullptr && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0 ||
                              std::strcmp(driver, "evdev") == 0);
    if (invisible && (named == nullptr || named[0] == '\0')) {
        why = std::string("only the '") + driver + "' video driver is available.";
        SDL_Quit();
        return false;
    }
    started = true;
    // Controllers are a bonus: without the subsystem the keyboard still plays.
    SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
    return true;
}

bool SdlPlatform::RegisterClass(const char*, uint32_t, WindowProcFn proc) {
    std::string why;
    if (!StartVideo(why)) {
        std::fprintf(stderr, "Tarvo: no display: %s\n", why.c_str());
        return false;
    }
    windowProc = proc;
    WriteStartupLog();
    return true;
}

bool SdlPlatform::RequestedScaleFits(int width, int height, std::string& why) {
    std::string noDisplay;
    // Without a display there is nothing to measure; start-up says why.
    if (requestedScale == 0 || !StartVideo(noDisplay)) return true;
    const SDL_Rect usable = UsableBounds(0);
    if (WindowScaleFits(requestedScale, usable.w, usable.h, width, height)) return true;
    why = "--scale " + std::to_string(requestedScale) + " makes the window " + std::to_string(requestedScale * width) +
          " x " + std::to_string(requestedScale * height) + " pixels; the desktop has room for " +
          std::to_string(usable.w) + " x " + std::to_string(usable.h);
    return false;
}

WindowHandle SdlPlatform::CreateWindow(uint32_t, const char*, const char* title, uint32_t style, int x, int y,
                                       int outerWidth, int outerHeight) {
    if (!started || outerWidth <= 0 || outerHeight <= 0) return nullptr;
    // SDL sizes the client area and the window manager adds its frame, so
    // the outer size asked for is what the client area gets.
    const SDL_Rect display = OpeningDisplay();
    if (scale == 0) scale = requestedScale > 0 ? requestedScale : DefaultScale(outerWidth, outerHeight);
    // A scaled window keeps the centre the engine placed it around.
    const int left = display.x + x - (scale - 1) * outerWidth / 2;
    const int top = display.y + y - (scale - 1) * outerHeight / 2;
    SDL_Window* sdl = SDL_CreateWindow(title, left, top, outerWidth * scale, outerHeight * scale,
                                       SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
    if (sdl == nullptr) return nullptr;
    // Dragged smaller than 1x, the picture would not fit at any scale.
    SDL_SetWindowMinimumSize(sdl, outerWidth, outerHeight);
    auto* window = new SdlWindow{sdl, style, false, outerWidth, outerHeight};
    windows.push_back(window);
    SDL_SetWindowData(sdl, "tarvo", window);
    int originX = 0, originY = 0;
    ClientToScreen(window, originX, originY);
    Send(window, WM_MOVE, 0, MakeLParam(originX, originY));
    return window;
}

// The engine's client area keeps its size whatever the window's: the
// picture is scaled into the window.
void SdlPlatform::GetClientRect(WindowHandle handle, int& width, int& height) {
    width = static_cast<SdlWindow*>(handle)->logicalWidth;
    height = static_cast<SdlWindow*>(handle)->logicalHeight;
}

void SdlPlatform::ShowWindow(WindowHandle handle, int) {
    SdlWindow* window = static_cast<SdlWindow*>(handle);
    mainWindow = window;
    if (presentWindow == nullptr) presentWindow = window;
    // The renderer before full screen: making it may make the window anew
    // where it was first placed.
    const bool presenting = presentWindow == window && (presentation.Ready() || CreatePresentation());
    if (startFullscreen) {
        startFullscreen = false;
        SetFullscreen(true);
    }
    SDL_ShowWindow(window->sdl);
    SDL_RaiseWindow(window->sdl);
    // Black at once, as a black class brush paints it: the game loads its
    // pictures before the first frame is presented.
    if (presenting) presentation.ShowBlack();
}

void SdlPlatform::DestroyWindow(WindowHandle handle) {
    SdlWindow* window = static_cast<SdlWindow*>(handle);
    if (window->destroyed) return;
    Send(window, WM_DESTROY, 0, 0);
    window->destroyed = true;
    if (window == presentWindow) DestroyPresentation();
    SDL_HideWindow(window->sdl);
}

WindowHandle SdlPlatform::GetForegroundWindow() {
    for (SdlWindow* w : windows) {
        if (w->destroyed) continue;
        const uint32_t flags = SDL_GetWindowFlags(w->sdl);
        if ((flags & SDL_WINDOW_INPUT_FOCUS) != 0 && (flags & SDL_WINDOW_SHOWN) != 0) return w;
    }
    // Without a window manager nothing ever holds the focus; the one
    // visible window is then the one in front.
    if (mainWindow != nullptr && !mainWindow->destroyed && !focusSeen &&
        (SDL_GetWindowFlags(mainWindow->sdl) & SDL_WINDOW_SHOWN) != 0)
        return mainWindow;
    return nullptr;
}

void SdlPlatform::ClientToScreen(WindowHandle handle, int& x, int& y) {
    int wx = 0, wy = 0;
    SDL_GetWindowPosition(static_cast<SdlWindow*>(handle)->sdl, &wx, &wy);
    x += wx;
    y += wy;
}

int SdlPlatform::MessageBox(WindowHandle owner, const char* text, const char* caption, uint32_t) {
    SDL_Window* parent = owner != nullptr ? static_cast<SdlWindow*>(owner)->sdl : nullptr;
    const char* quiet = std::getenv("TARVO_NO_MESSAGE_BOX");
    if ((quiet == nullptr || quiet[0] == '\0' || quiet[0] == '0') && started &&
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, parent) == 0)
        return IDOK;
    // No display to show it on: the words still reach the user.
    std::fprintf(stderr, "%s\n%s\n", caption, text);
    return IDOK;
}

// The part of a display windows may use: panels and docks left out.
SDL_Rect SdlPlatform::UsableBounds(int display) const {
    SDL_Rect usable{0, 0, 0, 0};
    if (SDL_GetDisplayUsableBounds(display, &usable) == 0) return usable;
    if (SDL_GetDisplayBounds(display, &usable) == 0) return usable;
    return OpeningDisplay();
}

// The largest whole scale at which the window fits three quarters of the
// usable part of the display it opens on. The frame is not known before a
// window is shown; the usable area already leaves out panels and docks.
int SdlPlatform::DefaultScale(int width, int height) const {
    const SDL_Rect usable = UsableBounds(0);
    return ChooseWindowScale(usable.w, usable.h, width, height, 0, 0);
}

// The display changed (the window moved to another, or a display changed its
// mode): a scale chosen by default is chosen again for the display the main
// window is on now, and every window keeps its centre. A scale asked for stays.
void SdlPlatform::ChooseScaleAgain() {
    if (requestedScale > 0 || scale == 0 || mainWindow == nullptr || mainWindow->destroyed || modeWidth > 0 ||
        inFullscreen)
        return;
    int width = 0, height = 0;
    GetClientRect(mainWindow, width, height);
    const SDL_Rect usable = UsableBounds(std::max(0, SDL_GetWindowDisplayIndex(mainWindow->sdl)));
    const int chosen = ChooseWindowScale(usable.w, usable.h, width, height, 0, 0);
    if (chosen == scale) return;
    // Set first: the sizes below then read as the scale in use, not as the player's.
    scale = chosen;
    for (SdlWindow* w : windows) {
        int x = 0, y = 0, screenWidth = 0, screenHeight = 0;
        SDL_GetWindowPosition(w->sdl, &x, &y);
        SDL_GetWindowSize(w->sdl, &screenWidth, &screenHeight);
        SDL_SetWindowSize(w->sdl, w->logicalWidth * chosen, w->logicalHeight * chosen);
        SDL_SetWindowPosition(w->sdl, x + (screenWidth - w->logicalWidth * chosen) / 2,
                              y + (screenHeight - w->logicalHeight * chosen) / 2);
        TellPosition(w);
    }
}

// Display 0, where SDL also centres windows by default.
SDL_Rect SdlPlatform::OpeningDisplay() const {
    SDL_Rect bounds{0, 0, 0, 0};
    if (!started || SDL_GetDisplayBounds(0, &bounds) != 0) return SDL_Rect{0, 0, 0, 0};
    return bounds;
}

SDL_Rect SdlPlatform::DesktopBounds() const {
    // The whole visible desktop: the union of every display.
    SDL_Rect all{0, 0, 0, 0};
    const int count = SDL_GetNumVideoDisplays();
    for (int i = 0; i < count; ++i) {
        SDL_Rect r;
        if (SDL_GetDisplayBounds(i, &r) != 0) continue;
        if (all.w == 0) {
            all = r;
        } else {
            SDL_UnionRect(&all, &r, &all);
        }
    }
    return all;
}

}  // namespace platform
