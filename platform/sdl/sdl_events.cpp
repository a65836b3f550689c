// The message queue: SDL's events become the window messages they stand for,
// queued in order and taken one at a time by PeekMessage. The backend
// translates only; what a message means is the engine's business.
#include "platform/sdl/sdl_backend.h"
#include "platform/sdl/sdl_keys.h"

namespace platform {

void SdlPlatform::PostQuitMessage(int exitCode) {
    queue.push_back({nullptr, WM_QUIT, static_cast<uintptr_t>(exitCode), 0});
}

bool SdlPlatform::PeekMessage(Message& out) {
    if (queue.empty() && started) {
        SDL_Event event;
        while (queue.empty() && SDL_PollEvent(&event)) Translate(event);
    }
    if (queue.empty()) return false;
    out = queue.front();
    queue.pop_front();
    return true;
}

void SdlPlatform::Send(SdlWindow* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (windowProc != nullptr) windowProc(window, message, wParam, lParam);
}

void SdlPlatform::Post(SdlWindow* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    queue.push_back({window, message, wParam, lParam});
}

SdlWindow* SdlPlatform::FromId(Uint32 id) {
    SDL_Window* sdl = SDL_GetWindowFromID(id);
    if (sdl == nullptr) return nullptr;
    return static_cast<SdlWindow*>(SDL_GetWindowData(sdl, "tarvo"));
}

// One SDL event becomes the window messages it stands for.
void SdlPlatform::Translate(const SDL_Event& event) {
    switch (event.type) {
        case SDL_QUIT:
            if (mainWindow != nullptr && !mainWindow->destroyed) Post(mainWindow, WM_CLOSE, 0, 0);
            break;
        case SDL_WINDOWEVENT: {
            SdlWindow* window = FromId(event.window.windowID);
            if (window == nullptr || window->destroyed) break;
            switch (event.window.event) {
                case SDL_WINDOWEVENT_MOVED:
                    Post(window, WM_MOVE, 0, MakeLParam(event.window.data1, event.window.data2));
                    break;
                case SDL_WINDOWEVENT_FOCUS_GAINED:
                    focusSeen = true;
                    Post(window, WM_ACTIVATEAPP, 1, 0);
                    Post(window, WM_SETFOCUS, 0, 0);
                    break;
                case SDL_WINDOWEVENT_FOCUS_LOST:
                    focusSeen = true;
                    Post(window, WM_ACTIVATEAPP, 0, 0);
                    Post(window, WM_KILLFOCUS, 0, 0);
                    break;
                case SDL_WINDOWEVENT_SIZE_CHANGED:
                    Resized(window, event.window.data1, event.window.data2);
                    TellPosition(window);
                    break;
                case SDL_WINDOWEVENT_CLOSE:
                    Post(window, WM_CLOSE, 0, 0);
                    break;
                case SDL_WINDOWEVENT_DISPLAY_CHANGED:
                    if (window == presentWindow) DecideVsyncAgain();
                    if (window == mainWindow) ChooseScaleAgain();
                    break;
                default:
                    break;
            }
            break;
        }
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            Translated(event.key);
            break;
        case SDL_TEXTINPUT: {
            SdlWindow* window = FromId(event.text.windowID);
            if (window == nullptr) window = mainWindow;
            for (const uint32_t code : DecodeUtf8(event.text.text)) {
                // Single-byte characters only, as Latin-1.
                if (code < 256) Post(window, WM_CHAR, code, 0);
            }
            break;
        }
        case SDL_MOUSEMOTION: {
            SdlWindow* window = FromId(event.motion.windowID);
            if (window == nullptr) break;
            int x = 0, y = 0;
            MousePosition(window, event.motion.x, event.motion.y, x, y);
            Post(window, WM_MOUSEMOVE, 0, MakeLParam(x, y));
            break;
        }
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            SdlWindow* window = FromId(event.button.windowID);
            if (window == nullptr) break;
            const bool down = event.type == SDL_MOUSEBUTTONDOWN;
            const uint8_t button = event.button.button;
            const MouseButton which = button == SDL_BUTTON_LEFT     ? MouseButton::Left
                                      : button == SDL_BUTTON_MIDDLE ? MouseButton::Middle
                                      : button == SDL_BUTTON_RIGHT  ? MouseButton::Right
                                                                    : MouseButton::Other;
            const uint32_t message = MouseButtonMessage(which, down);
            int x = 0, y = 0;
            MousePosition(window, event.button.x, event.button.y, x, y);
            if (message != 0) Post(window, message, 0, MakeLParam(x, y));
            break;
        }
        case SDL_CONTROLLERDEVICEADDED:
        case SDL_CONTROLLERDEVICEREMOVED:
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP:
        case SDL_CONTROLLERAXISMOTION:
            ControllerEvent(event);
            break;
        case SDL_AUDIODEVICEADDED:
        case SDL_AUDIODEVICEREMOVED:
            AudioDeviceEvent(event.adevice, event.type == SDL_AUDIODEVICEADDED);
            break;
        case SDL_DISPLAYEVENT:
            // A display came, went or changed its mode.
            DecideVsyncAgain();
            ChooseScaleAgain();
            break;
        case SDL_RENDER_DEVICE_RESET:
            // Video memory was taken away: the surfaces report it until restored.
            memory.LosePrimaries();
            DestroyPresentation();
            break;
        default:
            break;
    }
}

}  // namespace platform
