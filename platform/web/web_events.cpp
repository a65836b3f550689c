// The page's events as the engine's messages: keys of the keyboard and of
// the touch controls, the page's focus, the mouse on the canvas; and the
// calls through which the page reaches the program.
#include "platform/web/web_backend.h"
#include "platform/window_messages.h"

namespace platform {

void BrowserPlatform::Listen() {
    listening = true;
    thePage = this;
    pageFocused = PageHasFocus() != 0;
    // In a worker the page sends its events (the tarvo_page_* calls below).
    if (PageInWorker() != 0) return;
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, true, &OnKey);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, true, &OnKey);
    // Not captured: the focus of the page's buttons is not the page's.
    emscripten_set_focus_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, false, &OnFocus);
    emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, false, &OnFocus);
    emscripten_set_mousemove_callback(kCanvas, this, true, &OnMouse);
    emscripten_set_mousedown_callback(kCanvas, this, true, &OnMouse);
    emscripten_set_mouseup_callback(kCanvas, this, true, &OnMouse);
    emscripten_set_resize_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, true, &OnResize);
}

EM_BOOL BrowserPlatform::OnKey(int type, const EmscriptenKeyboardEvent* event, void* self) {
    return static_cast<BrowserPlatform*>(self)->KeyEvent(event->keyCode, event->key, event->ctrlKey, event->altKey,
                                                         event->metaKey, type == EMSCRIPTEN_EVENT_KEYDOWN)
               ? EM_TRUE
               : EM_FALSE;
}

EM_BOOL BrowserPlatform::OnFocus(int type, const EmscriptenFocusEvent*, void* self) {
    static_cast<BrowserPlatform*>(self)->FocusEvent(type == EMSCRIPTEN_EVENT_FOCUS);
    return EM_FALSE;
}

EM_BOOL BrowserPlatform::OnMouse(int type, const EmscriptenMouseEvent* event, void* self) {
    double cssWidth = 0, cssHeight = 0;
    emscripten_get_element_css_size(kCanvas, &cssWidth, &cssHeight);
    const MouseKind kind = type == EMSCRIPTEN_EVENT_MOUSEMOVE   ? MouseKind::Move
                           : type == EMSCRIPTEN_EVENT_MOUSEDOWN ? MouseKind::Down
                                                                : MouseKind::Up;
    static_cast<BrowserPlatform*>(self)->MouseEvent(kind, event->button, event->targetX, event->targetY, cssWidth,
                                                    cssHeight);
    return EM_FALSE;
}

EM_BOOL BrowserPlatform::OnResize(int, const EmscriptenUiEvent*, void* self) {
    static_cast<BrowserPlatform*>(self)->FitToPage();
    return EM_FALSE;
}

bool BrowserPlatform::KeyEvent(unsigned long keyCode, const char* key, bool ctrl, bool alt, bool meta, bool down) {
    const int vk = VirtualKeyFromBrowser(keyCode);
    if (!TakesKey(vk)) return false;
    // A message box takes the keys (Escape, Enter and Space close it);
    // the game hears none of them, not even after the box is closed. A
    // key held since before the box is still let go, or it would stay
    // down in the game behind the box.
    if (PageMessageBoxOpen()) {
        if (!down && vk != 0 && held.IsHeld(vk)) KeyFromPage(vk, false);
        return false;
    }
    if (vk != 0) KeyFromPage(vk, down);
    if (down && ControlCharacterOfKey(vk) == 0) {
        const int c = TypedCharacter(key, ctrl, alt, meta);
        if (c != 0) Post(mainWindow, WM_CHAR, static_cast<uintptr_t>(c), 0);
    }
    return KeyIsTheGames(vk, ctrl, alt, meta);
}

void BrowserPlatform::FocusEvent(bool focused) {
    if (focused == pageFocused) return;
    pageFocused = focused;
    PageWindow* window = mainWindow;
    if (window == nullptr || window->destroyed) return;
    if (!focused) {
        // The key-ups of keys held now will never come.
        for (int vk : held.ReleaseAll())
            pads.Keyboard(vk, vk, false, [this](int key, bool down) { PostKey(key, down); });
    }
    Post(window, WM_ACTIVATEAPP, focused ? 1 : 0, 0);
    Post(window, focused ? WM_SETFOCUS : WM_KILLFOCUS, 0, 0);
}

void BrowserPlatform::MouseEvent(MouseKind kind, int button, double x, double y, double cssWidth, double cssHeight) {
    PageWindow* window = mainWindow;
    if (scripted || window == nullptr || window->destroyed) return;
    const intptr_t at =
        MakeLParam(LogicalFromCss(x, window->width, cssWidth), LogicalFromCss(y, window->height, cssHeight));
    if (kind == MouseKind::Move) {
        Post(window, WM_MOUSEMOVE, 0, at);
        return;
    }
    // The browser numbers the buttons 0 left, 1 middle, 2 right.
    const MouseButton which = button == 0   ? MouseButton::Left
                              : button == 1 ? MouseButton::Middle
                              : button == 2 ? MouseButton::Right
                                            : MouseButton::Other;
    const uint32_t message = MouseButtonMessage(which, kind == MouseKind::Down);
    if (message != 0) Post(window, message, 0, at);
}

// A key of the page's keyboard or of its touch controls.
void BrowserPlatform::KeyFromPage(int vk, bool down) {
    if (down)
        held.Down(vk);
    else
        held.Up(vk);
    // The page's keys and touch controls hold a key as one: by its code.
    pads.Keyboard(vk, vk, down, [this](int key, bool isDown) { PostKey(key, isDown); });
}

void BrowserPlatform::TouchKey(int vk, bool down) {
    if (!TakesKey(vk) || PageMessageBoxOpen()) return;
    if (down || held.IsHeld(vk)) KeyFromPage(vk, down);
}

// A key down or up as the keyboard's, to the page's window.
void BrowserPlatform::PostKey(int vk, bool down) {
    if (mainWindow == nullptr || mainWindow->destroyed) return;
    PostKeyMessages(vk, down, [this](uint32_t message, uintptr_t wParam) { Post(mainWindow, message, wParam, 0); });
}

}  // namespace platform

// Called by the page: a touch control pressed (down 1) or let go (0), by its
// virtual key; and the room for the picture changed.
extern "C" EMSCRIPTEN_KEEPALIVE void tarvo_page_key(int virtualKey, int down) {
    if (platform::thePage != nullptr) platform::thePage->TouchKey(virtualKey, down != 0);
}

extern "C" EMSCRIPTEN_KEEPALIVE void tarvo_page_resized() {
    if (platform::thePage != nullptr) platform::thePage->FitToPage();
}

// The page's events sent to a worker running the program (game_worker.js):
// a key (as OnKey), the page's focus, and the mouse on the canvas (0 move, 1
// down, 2 up).
extern "C" EMSCRIPTEN_KEEPALIVE void tarvo_page_browser_key(int keyCode, const char* key, int ctrl, int alt, int meta,
                                                            int down) {
    if (platform::thePage != nullptr)
        platform::thePage->KeyEvent(static_cast<unsigned long>(keyCode), key, ctrl != 0, alt != 0, meta != 0,
                                    down != 0);
}

extern "C" EMSCRIPTEN_KEEPALIVE void tarvo_page_focus(int focused) {
    if (platform::thePage != nullptr) platform::thePage->FocusEvent(focused != 0);
}

extern "C" EMSCRIPTEN_KEEPALIVE void tarvo_page_mouse(int kind, int button, double x, double y, double cssWidth,
                                                      double cssHeight) {
    using Kind = platform::BrowserPlatform::MouseKind;
    if (platform::thePage != nullptr && kind >= 0 && kind <= 2)
        platform::thePage->MouseEvent(kind == 0   ? Kind::Move
                                      : kind == 1 ? Kind::Down
                                                  : Kind::Up,
                                      button, x, y, cssWidth, cssHeight);
}

// Whether the page withholds its default action for a browser keyCode with
// the modifiers held (bits: 1 Ctrl, 2 Alt, 4 Meta). A page whose program
// runs in a worker must decide at once, so it asks for every code first.
extern "C" EMSCRIPTEN_KEEPALIVE int tarvo_key_is_the_games(int keyCode, int modifiers) {
    return platform::KeyIsTheGames(platform::VirtualKeyFromBrowser(static_cast<unsigned long>(keyCode)),
                                   (modifiers & 1) != 0, (modifiers & 2) != 0, (modifiers & 4) != 0)
               ? 1
               : 0;
}
