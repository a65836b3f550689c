// The window steps of start-up, the window procedure and the input queries.
#include "base/debug_log.h"
#include "base/game_info.h"
#include "engine/audio.h"
#include "engine/windows_dx.h"
#include "platform/window_messages.h"

namespace {

// The temporary window is never shown: no title. The main window's is the
// game's (none for a game that declares an empty one).
const char kEmptyTitle[] = "";
const char kClassName[] = "Tarvo";

intptr_t ClassWindowProc(platform::WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return Tarvo.WindowProc(window, message, wParam, lParam);
}

using platform::HighWord;
using platform::LowWord;

}  // namespace

bool WindowsDX::RegisterWindowClass() {
    if (!platform::Current().RegisterClass(kClassName, platform::CS_HREDRAW | platform::CS_VREDRAW,
                                           &ClassWindowProc)) {
        status = INITCLASS_FAILED;
        return false;
    }
    status = INITCLASS_OK;
    return true;
}

bool WindowsDX::CreateWindows() {
    platform::Platform& p = platform::Current();
    screenBits = p.GetScreenDepth();
    if (screenBits != 16) {
        status = BPP_FAILED;
        return false;
    }
    desktopWidth = p.GetScreenWidth();
    desktopHeight = p.GetScreenHeight();
    fullscreen = requestFullscreen;

    int width = 0;
    int height = 0;
    uint32_t style = 0;
    if (fullscreen == 1) {
        width = requestWidth;
        height = requestHeight;
        style = platform::WS_POPUP;
    } else {
        if (requestWidth > desktopWidth || requestHeight > desktopHeight) {
            status = REQSIZE_FAILED;
            return false;
        }
        width = requestWidth <= 0 ? desktopWidth : requestWidth;
        height = requestHeight <= 0 ? desktopHeight : requestHeight;
        style = platform::WS_SYSMENU;
    }
    pitch = width;
    screenWidth = width;
    screenHeight = height;
    clipLeft = 0;
    clipTop = 0;
    clipRight = width - 1;
    clipBottom = height - 1;

    // The temporary window only measures the frame: it is never shown.
    platform::WindowHandle temporary =
        p.CreateWindow(platform::WS_EX_APPWINDOW, kClassName, kEmptyTitle, style, 0, 0, width, height);
    if (temporary == nullptr) {
        status = INITWINTEMP_FAILED;
        return false;
    }
    status = INITWINTEMP_OK;

    int clientWidth = 0;
    int clientHeight = 0;
    p.GetClientRect(temporary, clientWidth, clientHeight);
    const int outerWidth = 2 * width - clientWidth;
    const int outerHeight = 2 * height - clientHeight;

    int x = 0;
    int y = 0;
    if (fullscreen != 1) {
        x = (desktopWidth >> 1) - (outerWidth >> 1);
        y = (desktopHeight >> 1) - (outerHeight >> 1);
    }
    windowHandle = p.CreateWindow(platform::WS_EX_APPWINDOW, kClassName, DeclaredGame().windowTitle, style, x, y,
                                  outerWidth - 1, outerHeight - 1);
    if (windowHandle == nullptr) {
        status = INITWINREAL_FAILED;
        return false;
    }
    status = INITWINREAL_OK;
    return true;
}

bool WindowsDX::ShowMainWindow() {
    platform::Platform& p = platform::Current();
    p.ShowWindow(windowHandle, showCommand);
    if (!p.UpdateWindow(windowHandle)) {
        status = SHOWWIN_FAILED;
        return false;
    }
    status = SHOWWIN_OK;
    return true;
}

intptr_t WindowsDX::WindowProc(platform::WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    platform::Platform& p = platform::Current();
    switch (message) {
        case platform::WM_DESTROY:
            p.PostQuitMessage(0);
            break;
        case platform::WM_MOVE:
            clientOriginX = LowWord(lParam);
            clientOriginY = HighWord(lParam);
            break;
        case platform::WM_SETFOCUS:
            if (status == INIT_OK) {
                active = 1;
                ViewUpdate();
            }
            break;
        case platform::WM_KILLFOCUS:
            active = 0;
            break;
        case platform::WM_CLOSE:
            p.DestroyWindow(window);
            break;
        case platform::WM_ACTIVATEAPP:
            active = static_cast<int32_t>(wParam);
            break;
        case platform::WM_KEYDOWN:
            // M mutes and unmutes in a game that asks for it; the repeats of a
            // held key do not toggle it again.
            if (DeclaredGame().muteKey && (wParam & 0xFFu) == 'M' && keyState[static_cast<uint8_t>('M')] == 0)
                audio.ToggleMute();
            keyState[wParam & 0xFFu] = 1;
            break;
        case platform::WM_KEYUP:
            keyState[wParam & 0xFFu] = 0;
            break;
        case platform::WM_CHAR: {
            const char c = static_cast<char>(wParam & 0xFFu);
            // Escape quits and is still buffered like any other character.
            if (c == 27) p.PostQuitMessage(0);
            if (keyCount < kKeyBufferSize) {
                keyBuffer[keyCount] = c;
                ++keyCount;
            } else {
                debugLog.Write("WinDX: Keyboard buffer overflow.\n", debugTail);
            }
            break;
        }
        case platform::WM_MOUSEMOVE:
            MouseMove(LowWord(lParam), HighWord(lParam));
            break;
        case platform::WM_LBUTTONDOWN:
            MouseButtonDown(1);
            break;
        case platform::WM_RBUTTONDOWN:
            MouseButtonDown(2);
            break;
        case platform::WM_MBUTTONDOWN:
            MouseButtonDown(16);
            break;
        case platform::WM_LBUTTONUP:
        case platform::WM_RBUTTONUP:
        case platform::WM_MBUTTONUP:
            MouseButtonUp();
            break;
        default:
            break;
    }
    return p.DefWindowProc(window, message, wParam, lParam);
}

uint8_t WindowsDX::IsKeyDown(int key) {
    // Codes outside the table are never down (and never read past it).
    if (key < 0 || key > 255) return 0;
    return keyState[key];
}

char WindowsDX::GetKey() {
    if (keyCount <= 0) return 0;
    --keyCount;
    return keyBuffer[keyCount];
}

int32_t WindowsDX::GetMouseX() { return mouseX; }
int32_t WindowsDX::GetMouseY() { return mouseY; }
double WindowsDX::GetMouseDX() { return static_cast<double>(mouseX - prevMouseX); }
double WindowsDX::GetMouseDY() { return static_cast<double>(mouseY - prevMouseY); }
int32_t WindowsDX::GetMouseButton() { return mouseButton; }

void WindowsDX::MouseMove(int x, int y) {
    prevMouseX = mouseX;
    prevMouseY = mouseY;
    mouseX = x;
    mouseY = y;
}

void WindowsDX::MouseButtonDown(int button) {
    mouseDown = 1;
    mouseButton = button;
}

void WindowsDX::MouseButtonUp() {
    mouseDown = 0;
    mouseButton = 0;
}
