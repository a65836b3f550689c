// The web backend's window, the page's canvas, and its message queue.
#include "platform/web/web_backend.h"
#include "platform/window_messages.h"

namespace platform {

BrowserPlatform* thePage = nullptr;

BrowserPlatform::~BrowserPlatform() {
    if (listening) emscripten_html5_remove_all_event_listeners();
    if (thePage == this) thePage = nullptr;
    for (PageWindow* w : windows) delete w;
}

void BrowserPlatform::Schedule(int frame, const Message& message) { queue.Schedule(frame, message); }

bool BrowserPlatform::RegisterClass(const char*, uint32_t, WindowProcFn proc) {
    windowProc = proc;
    if (!listening) Listen();
    return true;
}

int BrowserPlatform::GetScreenWidth() { return ScreenForPage(PageScreenWidth(), PageScreenHeight()).width; }
int BrowserPlatform::GetScreenHeight() { return ScreenForPage(PageScreenWidth(), PageScreenHeight()).height; }

WindowHandle BrowserPlatform::CreateWindow(uint32_t, const char*, const char*, uint32_t, int x, int y, int outerWidth,
                                           int outerHeight) {
    if (outerWidth <= 0 || outerHeight <= 0 || outerWidth > MemorySurfaces::kMaxSide ||
        outerHeight > MemorySurfaces::kMaxSide)
        return nullptr;
    // A page has no window frame: the client area is the whole window.
    auto* window = new PageWindow{x, y, outerWidth, outerHeight, false, false};
    windows.push_back(window);
    Send(window, WM_MOVE, 0, MakeLParam(x, y));
    return window;
}

void BrowserPlatform::GetClientRect(WindowHandle handle, int& width, int& height) {
    const PageWindow* window = static_cast<PageWindow*>(handle);
    width = window->width;
    height = window->height;
}

void BrowserPlatform::ShowWindow(WindowHandle handle, int) {
    PageWindow* window = static_cast<PageWindow*>(handle);
    window->shown = true;
    // The canvas is the window shown: its size, black until the first frame.
    mainWindow = window;
    if (!presenting) {
        presenting = true;
        webgl = PageStartPresentation() != 0;
    }
    FitToPage();
    PageClearCanvas();
    if (pageFocused) {
        Post(window, WM_ACTIVATEAPP, 1, 0);
        Post(window, WM_SETFOCUS, 0, 0);
    }
}

void BrowserPlatform::DestroyWindow(WindowHandle handle) {
    PageWindow* window = static_cast<PageWindow*>(handle);
    if (window->destroyed) return;
    Send(window, WM_DESTROY, 0, 0);
    window->destroyed = true;
}

void BrowserPlatform::PostQuitMessage(int exitCode) {
    queue.Post({nullptr, WM_QUIT, static_cast<uintptr_t>(exitCode), 0});
}

bool BrowserPlatform::PeekMessage(Message& out) { return queue.Take(out, beforeFrame); }

WindowHandle BrowserPlatform::GetForegroundWindow() {
    if (mainWindow == nullptr || mainWindow->destroyed || !mainWindow->shown || !pageFocused) return nullptr;
    return mainWindow;
}

void BrowserPlatform::ClientToScreen(WindowHandle handle, int& x, int& y) {
    const PageWindow* window = static_cast<PageWindow*>(handle);
    x += window->x;
    y += window->y;
}

int BrowserPlatform::MessageBox(WindowHandle, const char* text, const char* caption, uint32_t) {
    PageShowMessageBox(caption, text);
    // Modal: the program waits here while the page stays live.
    while (PageMessageBoxOpen()) emscripten_sleep(kDialogPollMs);
    return IDOK;
}

void BrowserPlatform::FitToPage() {
    if (mainWindow == nullptr) return;
    double stageWidth = 0, stageHeight = 0, ratio = 1;
    PageStage(&stageWidth, &stageHeight, &ratio);
    const PageScale scale = ChoosePageScale(stageWidth, stageHeight, ratio, mainWindow->width, mainWindow->height);
    // WebGL, or a 2D canvas filled sharp, draws every device pixel itself.
    const bool devicePixels = webgl || !scale.whole;
    PageSizeCanvas(devicePixels ? scale.deviceWidth : mainWindow->width,
                   devicePixels ? scale.deviceHeight : mainWindow->height, scale.cssWidth, scale.cssHeight,
                   scale.whole ? 1 : 0, scale.factor);
}

void BrowserPlatform::Send(PageWindow* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (windowProc != nullptr) windowProc(window, message, wParam, lParam);
}

void BrowserPlatform::Post(PageWindow* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    queue.Post({window, message, wParam, lParam});
}

std::unique_ptr<WebPlatform> CreateWebPlatform(const WebOptions& options) {
    return std::make_unique<BrowserPlatform>(options);
}

}  // namespace platform
