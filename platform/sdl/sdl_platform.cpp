#include "platform/sdl/sdl_platform.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <SDL_ttf.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "platform/frame_pacer.h"
#include "platform/gamepad_keys.h"
#include "platform/memory_surfaces.h"
#include "platform/sdl/sdl_keys.h"
#include "platform/window_scale.h"

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;
constexpr int64_t kFramePeriodNanos = 1'000'000'000 / 60;

const char* const kFontPaths[] = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "/usr/share/fonts/dejavu/DejaVuSans.ttf",
};
constexpr int kFontPointSize = 13;

// The mixer: CD rate, stereo, 16-bit; a buffer of 1024 sample frames keeps
// the delay from a frame's event to its sound near 23 ms.
constexpr int kMixRate = 44100;
constexpr int kMixBufferFrames = 1024;
constexpr int kVoices = 16;
constexpr int kStopFadeMs = 40;

// A voice's own gain, applied sample by sample in the mixer's thread: a
// stop fades out smoothly, where the mixer's own fades change the volume
// once a buffer, in steps that click. The main thread only starts a fade
// (step) and halts the voice once it has reached silence (gain 0).
struct VoiceFade {
    std::atomic<float> gain{1};
    std::atomic<float> step{0};  // gain lost a sample frame; 0 while not fading
};

// The mixer's effect callback: `data` is the voice's VoiceFade, the stream
// 16-bit samples interleaved over `channels` (bound in `fadeChannels`).
int fadeChannels = 2;
void ApplyFade(int, void* stream, int bytes, void* data) {
    VoiceFade& fade = *static_cast<VoiceFade*>(data);
    const float step = fade.step.load();
    if (step == 0) return;
    float gain = fade.gain.load();
    auto* samples = static_cast<Sint16*>(stream);
    const int frames = bytes / (2 * fadeChannels);
    for (int i = 0; i < frames; ++i) {
        gain = std::max(0.0f, gain - step);
        for (int c = 0; c < fadeChannels; ++c) {
            Sint16& sample = samples[i * fadeChannels + c];
            sample = static_cast<Sint16>(std::lround(sample * gain));
        }
    }
    fade.gain.store(gain);
}

// Holds standard error shut for a while: ALSA prints its own complaints
// there when the machine has no sound card, and the program's standard error
// is for the user. The reason still reaches the debug log through SDL.
class QuietStandardError {
public:
    QuietStandardError() {
        std::fflush(stderr);
        saved = dup(STDERR_FILENO);
        const int null = open("/dev/null", O_WRONLY);
        if (saved >= 0 && null >= 0) dup2(null, STDERR_FILENO);
        if (null >= 0) close(null);
    }
    ~QuietStandardError() {
        if (saved < 0) return;
        std::fflush(stderr);
        dup2(saved, STDERR_FILENO);
        close(saved);
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

private:
    int saved = -1;
};

intptr_t MakeLParam(int low, int high) {
    return static_cast<intptr_t>((static_cast<uint32_t>(low) & 0xFFFFu) |
                                 ((static_cast<uint32_t>(high) & 0xFFFFu) << 16));
}

struct Window {
    SDL_Window* sdl = nullptr;
    uint32_t style = 0;
    bool destroyed = false;
};

using Surface = MemorySurface;

class SdlPlatform final : public Platform {
public:
    explicit SdlPlatform(const SdlOptions& options) : requestedScale(options.scale) {
        const char* layoutName = std::getenv("TARVO_PIXEL_LAYOUT");
        rgb555 = layoutName != nullptr && std::strcmp(layoutName, "555") == 0;
    }

    ~SdlPlatform() override {
        for (auto& [id, controller] : controllers) SDL_GameControllerClose(controller);
        if (audioOpen) {
            Mix_HaltChannel(-1);
            for (Mix_Chunk* chunk : chunks) Mix_FreeChunk(chunk);
            Mix_CloseAudio();
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        }
        DestroyPresentation();
        for (Window* w : windows) {
            if (w->sdl != nullptr) SDL_DestroyWindow(w->sdl);
            delete w;
        }
        if (font != nullptr) TTF_CloseFont(font);
        if (TTF_WasInit()) TTF_Quit();
        if (started) SDL_Quit();
    }

    // --- Windows and messages ----------------------------------------------
    bool RegisterClass(const char*, uint32_t, WindowProcFn proc) override {
        if (!started) {
            SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
            if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
                std::fprintf(stderr, "Tarvo: no display: %s\n", SDL_GetError());
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
                std::fprintf(stderr, "Tarvo: no display: only the '%s' video driver is available.\n", driver);
                SDL_Quit();
                return false;
            }
            started = true;
            // Controllers are a bonus: without the subsystem the keyboard still plays.
            SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
        }
        windowProc = proc;
        return true;
    }

    int GetScreenDepth() override { return 16; }

    // The screen is the display the window opens on, in the coordinates
    // windows are placed in; the engine's positions are relative to its
    // top-left corner, which need not be the desktop's origin.
    int GetScreenWidth() override { return OpeningDisplay().w; }
    int GetScreenHeight() override { return OpeningDisplay().h; }

    WindowHandle CreateWindow(uint32_t, const char*, const char* title, uint32_t style, int x, int y, int outerWidth,
                              int outerHeight) override {
        if (!started || outerWidth <= 0 || outerHeight <= 0) return nullptr;
        // SDL sizes the client area and the window manager adds its frame, so
        // the outer size asked for is what the client area gets.
        const SDL_Rect display = OpeningDisplay();
        if (scale == 0) scale = requestedScale > 0 ? requestedScale : DefaultScale(outerWidth, outerHeight);
        // A scaled window keeps the centre the engine placed it around.
        const int left = display.x + x - (scale - 1) * outerWidth / 2;
        const int top = display.y + y - (scale - 1) * outerHeight / 2;
        SDL_Window* sdl =
            SDL_CreateWindow(title, left, top, outerWidth * scale, outerHeight * scale, SDL_WINDOW_HIDDEN);
        if (sdl == nullptr) return nullptr;
        auto* window = new Window{sdl, style, false};
        windows.push_back(window);
        SDL_SetWindowData(sdl, "tarvo", window);
        int originX = 0, originY = 0;
        ClientToScreen(window, originX, originY);
        Send(window, WM_MOVE, 0, MakeLParam(originX, originY));
        return window;
    }

    void GetClientRect(WindowHandle handle, int& width, int& height) override {
        SDL_GetWindowSize(static_cast<Window*>(handle)->sdl, &width, &height);
        width /= std::max(scale, 1);
        height /= std::max(scale, 1);
    }

    void ShowWindow(WindowHandle handle, int) override {
        Window* window = static_cast<Window*>(handle);
        mainWindow = window;
        SDL_ShowWindow(window->sdl);
        SDL_RaiseWindow(window->sdl);
        // Black at once, as a black class brush paints it: the game loads its
        // pictures before the first frame is presented.
        if (presentWindow == nullptr) presentWindow = window;
        if (presentWindow == window && (renderer != nullptr || CreatePresentation())) {
            SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
            SDL_RenderClear(renderer);
            SDL_RenderPresent(renderer);
        }
    }

    bool UpdateWindow(WindowHandle handle) override { return handle != nullptr; }

    void DestroyWindow(WindowHandle handle) override {
        Window* window = static_cast<Window*>(handle);
        if (window->destroyed) return;
        Send(window, WM_DESTROY, 0, 0);
        window->destroyed = true;
        if (window == presentWindow) DestroyPresentation();
        SDL_HideWindow(window->sdl);
    }

    intptr_t DefWindowProc(WindowHandle, uint32_t, uintptr_t, intptr_t) override { return 0; }

    void PostQuitMessage(int exitCode) override {
        queue.push_back({nullptr, WM_QUIT, static_cast<uintptr_t>(exitCode), 0});
    }

    bool PeekMessage(Message& out) override {
        if (queue.empty() && started) {
            SDL_Event event;
            while (queue.empty() && SDL_PollEvent(&event)) Translate(event);
        }
        if (queue.empty()) return false;
        out = queue.front();
        queue.pop_front();
        return true;
    }

    WindowHandle GetForegroundWindow() override {
        for (Window* w : windows) {
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

    void ClientToScreen(WindowHandle handle, int& x, int& y) override {
        int wx = 0, wy = 0;
        SDL_GetWindowPosition(static_cast<Window*>(handle)->sdl, &wx, &wy);
        x += wx;
        y += wy;
    }

    int MessageBox(WindowHandle owner, const char* text, const char* caption, uint32_t) override {
        SDL_Window* parent = owner != nullptr ? static_cast<Window*>(owner)->sdl : nullptr;
        const char* quiet = std::getenv("TARVO_NO_MESSAGE_BOX");
        if ((quiet == nullptr || quiet[0] == '\0' || quiet[0] == '0') && started &&
            SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, parent) == 0)
            return IDOK;
        // No display to show it on: the words still reach the user.
        std::fprintf(stderr, "%s\n%s\n", caption, text);
        return IDOK;
    }

    // --- Video -----------------------------------------------------------------
    HResult DirectDrawCreate(DirectDrawHandle& out) override {
        if (!started) return DDERR_NODIRECTDRAWHW;
        out = this;
        return DD_OK;
    }

    HResult SetCooperativeLevel(DirectDrawHandle, WindowHandle window, uint32_t flags) override {
        if (window == nullptr) return DDERR_NOHWND;
        presentWindow = static_cast<Window*>(window);
        exclusive = (flags & DDSCL_EXCLUSIVE) != 0;
        return DD_OK;
    }

    HResult SetDisplayMode(DirectDrawHandle, int width, int height, int bitsPerPixel) override {
        if (!exclusive || presentWindow == nullptr) return DDERR_NOEXCLUSIVEMODE;
        // The back surface is allocated from the mode's size, so it is bounded
        // as the windowed one is: a huge request fails the mode, not the process.
        if (bitsPerPixel != 16 || width <= 0 || height <= 0 || width > MemorySurfaces::kMaxSide ||
            height > MemorySurfaces::kMaxSide)
            return DDERR_INVALIDMODE;
        SDL_SetWindowSize(presentWindow->sdl, width, height);
        if (SDL_SetWindowFullscreen(presentWindow->sdl, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0)
            return DDERR_UNSUPPORTEDMODE;
        modeWidth = width;
        modeHeight = height;
        return DD_OK;
    }

    HResult CreateSurface(DirectDrawHandle, const SurfaceDesc& request, SurfaceHandle& out) override {
        if (request.dwSize != kSurfaceDescSize) return DDERR_INVALIDPARAMS;
        if ((request.dwCaps & DDSCAPS_PRIMARYSURFACE) != 0) {
            if (presentWindow == nullptr) return DDERR_NOCOOPERATIVELEVELSET;
            if (renderer == nullptr && !CreatePresentation()) return DDERR_NODIRECTDRAWHW;
        }
        const SDL_Rect desktop = DesktopBounds();
        return memory.Create(request, modeWidth > 0 ? modeWidth : desktop.w, modeHeight > 0 ? modeHeight : desktop.h,
                             accelerated ? DDSCAPS_VIDEOMEMORY : DDSCAPS_SYSTEMMEMORY, out);
    }

    HResult GetAttachedSurface(SurfaceHandle handle, uint32_t caps, SurfaceHandle& out) override {
        return memory.GetAttached(handle, caps, out);
    }

    HResult GetSurfaceDesc(SurfaceHandle handle, SurfaceDesc& desc) override {
        memory.Describe(handle, desc, rgb555 ? 0x7C00 : 0xF800, rgb555 ? 0x03E0 : 0x07E0, 0x001F);
        return DD_OK;
    }

    HResult Lock(SurfaceHandle handle, SurfaceDesc& desc) override {
        const HResult result = memory.Lock(handle, desc);
        if (result == DD_OK) Pace();
        return result;
    }

    HResult Unlock(SurfaceHandle) override { return DD_OK; }

    HResult Flip(SurfaceHandle handle) override {
        Surface* primary = static_cast<Surface*>(handle);
        if (primary->attached == nullptr) return DDERR_NOTFLIPPABLE;
        if (primary->lost) return DDERR_SURFACELOST;
        if (!Present(*primary->attached, true)) return DDERR_SURFACELOST;
        return DD_OK;
    }

    HResult BltFast(SurfaceHandle dest, int x, int y, SurfaceHandle source) override {
        Surface* primary = static_cast<Surface*>(dest);
        Surface* back = static_cast<Surface*>(source);
        if (primary->lost || back->lost) return DDERR_SURFACELOST;
        // The copy must land wholly on the desktop; no clipping.
        const SDL_Rect desktop = DesktopBounds();
        if (x < desktop.x || y < desktop.y || x - desktop.x > desktop.w - back->width * scale ||
            y - desktop.y > desktop.h - back->height * scale)
            return DDERR_INVALIDRECT;
        if (!Present(*back, false)) return DDERR_SURFACELOST;
        return DD_OK;
    }

    HResult IsLost(SurfaceHandle handle) override { return memory.IsLost(handle); }

    HResult Restore(SurfaceHandle handle) override {
        if (MemorySurfaces::From(handle)->primary && renderer == nullptr && !CreatePresentation())
            return DDERR_NODIRECTDRAWHW;
        memory.Restore(handle);
        return DD_OK;
    }

    HResult GetDC(SurfaceHandle handle) override {
        Surface* s = static_cast<Surface*>(handle);
        if (s->primary || s->lost) return DDERR_CANTCREATEDC;
        if (font == nullptr) {
            if (!TTF_WasInit() && TTF_Init() != 0) return DDERR_CANTCREATEDC;
            for (const char* path : kFontPaths) {
                font = TTF_OpenFont(path, kFontPointSize);
                if (font != nullptr) break;
            }
            if (font == nullptr) return DDERR_CANTCREATEDC;
        }
        return DD_OK;
    }

    void TextOut(SurfaceHandle handle, int x, int y, const char* text, int length, uint32_t color) override {
        Surface* s = static_cast<Surface*>(handle);
        if (font == nullptr || length <= 0) return;
        const std::string line(text, static_cast<size_t>(length));
        const SDL_Color fg{static_cast<Uint8>(color & 0xFF), static_cast<Uint8>((color >> 8) & 0xFF),
                           static_cast<Uint8>((color >> 16) & 0xFF), 255};
        // Latin-1, like the single-byte text the engine hands over.
        SDL_Surface* glyphs = TTF_RenderText_Blended(font, line.c_str(), fg);
        if (glyphs == nullptr) return;
        SDL_Surface* target =
            SDL_CreateRGBSurfaceWithFormatFrom(s->pixels.data(), s->width, s->height, 16, s->pitchBytes, PixelFormat());
        if (target != nullptr) {
            SDL_SetSurfaceBlendMode(glyphs, SDL_BLENDMODE_BLEND);
            SDL_Rect at{x, y, glyphs->w, glyphs->h};
            SDL_BlitSurface(glyphs, nullptr, target, &at);
            SDL_FreeSurface(target);
        }
        SDL_FreeSurface(glyphs);
    }

    void ReleaseDC(SurfaceHandle) override {}

    void ReleaseSurface(SurfaceHandle handle) override { memory.Release(handle); }

    void ReleaseDirectDraw(DirectDrawHandle) override {
        DestroyPresentation();
        if (presentWindow != nullptr && modeWidth > 0) SDL_SetWindowFullscreen(presentWindow->sdl, 0);
        modeWidth = modeHeight = 0;
    }

    // --- Sound -----------------------------------------------------------------
    bool OpenAudio(std::string& why) override {
        if (audioOpen) return true;
        QuietStandardError quiet;
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            why = SDL_GetError();
            return false;
        }
        if (Mix_OpenAudio(kMixRate, AUDIO_S16SYS, 2, kMixBufferFrames) != 0) {
            why = Mix_GetError();
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return false;
        }
        Mix_AllocateChannels(kVoices);
        int rate = 0, channels = 0;
        Uint16 format = 0;
        if (Mix_QuerySpec(&rate, &format, &channels) != 0 && channels > 0) fadeChannels = channels;
        audioOpen = true;
        return true;
    }

    int LoadSound(const char* path) override {
        if (!audioOpen) return 0;
        Mix_Chunk* chunk = Mix_LoadWAV(path);
        if (chunk == nullptr) return 0;
        chunks.push_back(chunk);
        return static_cast<int>(chunks.size());
    }

    void PlaySound(int sound, float volume, float pan, bool loop) override {
        Mix_Chunk* chunk = ChunkOf(sound);
        if (chunk == nullptr) return;
        // Volume and pan are set on a silent voice before it starts, so no
        // sample of the new effect is mixed with the last one's settings.
        HaltFadedVoices();
        int channel = Mix_GroupAvailable(-1);
        if (channel < 0) {
            channel = Mix_GroupOldest(-1);
            if (channel < 0) return;
            Mix_HaltChannel(channel);
        }
        Mix_Volume(channel, static_cast<int>(std::lround(std::clamp(volume, 0.0f, 1.0f) * MIX_MAX_VOLUME)));
        // Balance: the centre keeps both sides at full level, a side fades the other.
        const float p = std::clamp(pan, -1.0f, 1.0f);
        const auto left = static_cast<Uint8>(std::lround(255 * std::min(1.0f, 1 - p)));
        const auto right = static_cast<Uint8>(std::lround(255 * std::min(1.0f, 1 + p)));
        Mix_SetPanning(channel, left, right);
        VoiceFade& fade = fades[static_cast<size_t>(channel)];
        fade.gain = 1;
        fade.step = 0;
        Mix_RegisterEffect(channel, ApplyFade, nullptr, &fade);
        // Every effect begins on silence (a loop at a rising zero crossing): no fade in.
        Mix_PlayChannel(channel, chunk, loop ? -1 : 0);
    }

    void StopSound(int sound) override {
        Mix_Chunk* chunk = ChunkOf(sound);
        if (chunk == nullptr) return;
        HaltFadedVoices();
        for (int channel = 0; channel < kVoices; ++channel)
            if (Mix_Playing(channel) != 0 && Mix_GetChunk(channel) == chunk) FadeOut(channel);
    }

    void StopAllSounds() override {
        if (!audioOpen) return;
        HaltFadedVoices();
        for (int channel = 0; channel < kVoices; ++channel)
            if (Mix_Playing(channel) != 0) FadeOut(channel);
    }

    long presentedFrames = 0;
    int scale = 0;  // decided when the first window opens

private:
    void FadeOut(int channel) {
        VoiceFade& fade = fades[static_cast<size_t>(channel)];
        if (fade.step.load() == 0) fade.step = 1000.0f / (kStopFadeMs * static_cast<float>(kMixRate));
    }

    // Voices that have faded to silence keep playing it (a loop for ever)
    // until halted here, outside the mixer's thread.
    void HaltFadedVoices() {
        for (int channel = 0; channel < kVoices; ++channel) {
            const VoiceFade& fade = fades[static_cast<size_t>(channel)];
            if (fade.step.load() != 0 && fade.gain.load() == 0 && Mix_Playing(channel) != 0) Mix_HaltChannel(channel);
        }
    }

    Mix_Chunk* ChunkOf(int sound) const {
        if (!audioOpen || sound < 1 || sound > static_cast<int>(chunks.size())) return nullptr;
        return chunks[static_cast<size_t>(sound) - 1];
    }

    void Send(Window* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
        if (windowProc != nullptr) windowProc(window, message, wParam, lParam);
    }

    void Post(Window* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
        queue.push_back({window, message, wParam, lParam});
    }

    Window* FromId(Uint32 id) {
        SDL_Window* sdl = SDL_GetWindowFromID(id);
        if (sdl == nullptr) return nullptr;
        return static_cast<Window*>(SDL_GetWindowData(sdl, "tarvo"));
    }

    // One SDL event becomes the window messages it stands for.
    void Translate(const SDL_Event& event) {
        switch (event.type) {
            case SDL_QUIT:
                if (mainWindow != nullptr && !mainWindow->destroyed) Post(mainWindow, WM_CLOSE, 0, 0);
                break;
            case SDL_WINDOWEVENT: {
                Window* window = FromId(event.window.windowID);
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
                    case SDL_WINDOWEVENT_CLOSE:
                        Post(window, WM_CLOSE, 0, 0);
                        break;
                    case SDL_WINDOWEVENT_DISPLAY_CHANGED:
                        if (window == presentWindow) DecideVsyncAgain();
                        break;
                    default:
                        break;
                }
                break;
            }
            case SDL_KEYDOWN:
            case SDL_KEYUP: {
                const int vk = VirtualKeyFromSdl(event.key.keysym.sym, event.key.keysym.scancode);
                if (vk == 0) break;
                Window* window = FromId(event.key.windowID);
                if (window == nullptr) window = mainWindow;
                Post(window, event.type == SDL_KEYDOWN ? WM_KEYDOWN : WM_KEYUP, static_cast<uintptr_t>(vk), 0);
                // Keys that type a control character produce no text event of their own.
                if (event.type == SDL_KEYDOWN) {
                    const int c = ControlCharacterOfKey(vk);
                    if (c != 0) Post(window, WM_CHAR, static_cast<uintptr_t>(c), 0);
                }
                break;
            }
            case SDL_TEXTINPUT: {
                Window* window = FromId(event.text.windowID);
                if (window == nullptr) window = mainWindow;
                for (const uint32_t code : DecodeUtf8(event.text.text)) {
                    // Single-byte characters only, as Latin-1.
                    if (code < 256) Post(window, WM_CHAR, code, 0);
                }
                break;
            }
            case SDL_MOUSEMOTION: {
                Window* window = FromId(event.motion.windowID);
                if (window != nullptr)
                    Post(window, WM_MOUSEMOVE, 0, MakeLParam(Logical(event.motion.x), Logical(event.motion.y)));
                break;
            }
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP: {
                Window* window = FromId(event.button.windowID);
                if (window == nullptr) break;
                const bool down = event.type == SDL_MOUSEBUTTONDOWN;
                uint32_t message = 0;
                if (event.button.button == SDL_BUTTON_LEFT) message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
                if (event.button.button == SDL_BUTTON_RIGHT) message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
                if (event.button.button == SDL_BUTTON_MIDDLE) message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
                if (message != 0)
                    Post(window, message, 0, MakeLParam(Logical(event.button.x), Logical(event.button.y)));
                break;
            }
            case SDL_CONTROLLERDEVICEADDED: {
                SDL_GameController* controller = SDL_GameControllerOpen(event.cdevice.which);
                if (controller == nullptr) break;
                const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
                if (controllers.count(id) != 0) {
                    SDL_GameControllerClose(controller);  // already open: SDL reports some twice
                } else {
                    controllers[id] = controller;
                }
                break;
            }
            case SDL_CONTROLLERDEVICEREMOVED: {
                const SDL_JoystickID id = event.cdevice.which;
                pad.Removed(id, [this](int vk, bool down) { PostPadKey(vk, down); });
                auto it = controllers.find(id);
                if (it != controllers.end()) {
                    SDL_GameControllerClose(it->second);
                    controllers.erase(it);
                }
                break;
            }
            case SDL_CONTROLLERBUTTONDOWN:
            case SDL_CONTROLLERBUTTONUP:
                pad.Button(event.cbutton.which, PadButtonFromSdl(event.cbutton.button),
                           event.type == SDL_CONTROLLERBUTTONDOWN, [this](int vk, bool down) { PostPadKey(vk, down); });
                break;
            case SDL_CONTROLLERAXISMOTION:
                pad.Axis(event.caxis.which, PadAxisFromSdl(event.caxis.axis), event.caxis.value,
                         [this](int vk, bool down) { PostPadKey(vk, down); });
                break;
            case SDL_DISPLAYEVENT:
                // A display came, went or changed its mode.
                DecideVsyncAgain();
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

    static PadButton PadButtonFromSdl(uint8_t button) {
        switch (button) {
            case SDL_CONTROLLER_BUTTON_A:
                return PadButton::A;
            case SDL_CONTROLLER_BUTTON_BACK:
                return PadButton::Back;
            case SDL_CONTROLLER_BUTTON_START:
                return PadButton::Start;
            case SDL_CONTROLLER_BUTTON_DPAD_UP:
                return PadButton::DpadUp;
            case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
                return PadButton::DpadDown;
            case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
                return PadButton::DpadLeft;
            case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
                return PadButton::DpadRight;
            default:
                return PadButton::Other;
        }
    }

    static PadAxis PadAxisFromSdl(uint8_t axis) {
        if (axis == SDL_CONTROLLER_AXIS_LEFTX) return PadAxis::LeftX;
        if (axis == SDL_CONTROLLER_AXIS_LEFTY) return PadAxis::LeftY;
        return PadAxis::Other;
    }

    // A controller's key as the keyboard's: Back is Escape, which also types 27.
    void PostPadKey(int vk, bool down) {
        if (mainWindow == nullptr || mainWindow->destroyed) return;
        Post(mainWindow, down ? WM_KEYDOWN : WM_KEYUP, static_cast<uintptr_t>(vk), 0);
        if (down) {
            const int c = ControlCharacterOfKey(vk);
            if (c != 0) Post(mainWindow, WM_CHAR, static_cast<uintptr_t>(c), 0);
        }
    }

    int Logical(int screenPixels) const { return screenPixels / std::max(scale, 1); }

    // The largest whole scale at which the window fits three quarters of the
    // usable part of the display it opens on. The frame is not known before a
    // window is shown; the usable area already leaves out panels and docks.
    int DefaultScale(int width, int height) const {
        SDL_Rect usable{0, 0, 0, 0};
        if (SDL_GetDisplayUsableBounds(0, &usable) != 0) usable = OpeningDisplay();
        return ChooseWindowScale(usable.w, usable.h, width, height, 0, 0);
    }

    static std::vector<uint32_t> DecodeUtf8(const char* text) {
        std::vector<uint32_t> codes;
        const auto* p = reinterpret_cast<const uint8_t*>(text);
        while (*p != 0) {
            uint32_t code = *p;
            int extra = 0;
            if (code >= 0xF0) {
                code &= 0x07;
                extra = 3;
            } else if (code >= 0xE0) {
                code &= 0x0F;
                extra = 2;
            } else if (code >= 0xC0) {
                code &= 0x1F;
                extra = 1;
            }
            ++p;
            for (int i = 0; i < extra && (*p & 0xC0) == 0x80; ++i, ++p) code = (code << 6) | (*p & 0x3F);
            codes.push_back(code);
        }
        return codes;
    }

    Uint32 PixelFormat() const { return rgb555 ? SDL_PIXELFORMAT_RGB555 : SDL_PIXELFORMAT_RGB565; }

    // Display 0, where SDL also centres windows by default.
    SDL_Rect OpeningDisplay() const {
        SDL_Rect bounds{0, 0, 0, 0};
        if (!started || SDL_GetDisplayBounds(0, &bounds) != 0) return SDL_Rect{0, 0, 0, 0};
        return bounds;
    }

    SDL_Rect DesktopBounds() const {
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

    bool CreatePresentation() {
        SDL_Window* sdl = presentWindow->sdl;
        // Refresh sync keeps the picture whole where the display runs at
        // 60 Hz; the pacer's timer holds the rate either way.
        vsync = DisplayRunsAt60();
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
        renderer = SDL_CreateRenderer(sdl, -1, SDL_RENDERER_ACCELERATED | (vsync ? SDL_RENDERER_PRESENTVSYNC : 0));
        if (renderer == nullptr) {
            vsync = false;
            renderer = SDL_CreateRenderer(sdl, -1, SDL_RENDERER_SOFTWARE);
        }
        if (renderer == nullptr) return false;
        SDL_RendererInfo info;
        accelerated = SDL_GetRendererInfo(renderer, &info) == 0 && (info.flags & SDL_RENDERER_ACCELERATED) != 0;
        if ((info.flags & SDL_RENDERER_PRESENTVSYNC) == 0) vsync = false;
        return true;
    }

    void DestroyPresentation() {
        if (texture != nullptr) SDL_DestroyTexture(texture);
        texture = nullptr;
        textureWidth = textureHeight = 0;
        if (renderer != nullptr) SDL_DestroyRenderer(renderer);
        renderer = nullptr;
    }

    // Shows a whole surface one to one at the top-left of the window (scaled
    // to the display only in fullscreen). False when the device is gone.
    bool Present(const Surface& source, bool fullscreenMode) {
        if (renderer == nullptr) return false;
        if (texture == nullptr || textureWidth != source.width || textureHeight != source.height) {
            if (texture != nullptr) SDL_DestroyTexture(texture);
            texture =
                SDL_CreateTexture(renderer, PixelFormat(), SDL_TEXTUREACCESS_STREAMING, source.width, source.height);
            if (texture == nullptr) return false;
            textureWidth = source.width;
            textureHeight = source.height;
        }
        SDL_UpdateTexture(texture, nullptr, source.pixels.data(), source.pitchBytes);
        SDL_RenderSetLogicalSize(renderer, fullscreenMode ? source.width : 0, fullscreenMode ? source.height : 0);
        SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
        SDL_RenderClear(renderer);
        // Windowed, each logical pixel becomes a scale x scale block.
        const int factor = fullscreenMode ? 1 : std::max(scale, 1);
        const SDL_Rect at{0, 0, source.width * factor, source.height * factor};
        SDL_RenderCopy(renderer, texture, nullptr, &at);
        SDL_RenderPresent(renderer);
        ++presentedFrames;
        return true;
    }

    // Holds frames to 60 a second (platform/frame_pacer.h): the timer is the
    // floor under every frame, whether or not its present waited.
    void Pace() {
        const int64_t now =
            std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
        const int64_t until = pacer.FrameStart(now);
        if (until > now) std::this_thread::sleep_until(Clock::time_point(std::chrono::nanoseconds(until)));
    }

    // Refresh sync only where the display runs at about 60 Hz; decided again
    // when the window moves to another display or a display's mode changes.
    bool DisplayRunsAt60() const {
        const int display = std::max(0, SDL_GetWindowDisplayIndex(presentWindow->sdl));
        SDL_DisplayMode mode;
        const int refresh = SDL_GetCurrentDisplayMode(display, &mode) == 0 ? mode.refresh_rate : 0;
        return refresh >= 59 && refresh <= 61;
    }

    void DecideVsyncAgain() {
        if (renderer == nullptr || presentWindow == nullptr) return;
        vsync = DisplayRunsAt60() && SDL_RenderSetVSync(renderer, 1) == 0;
        if (!vsync) SDL_RenderSetVSync(renderer, 0);
    }

    bool started = false;
    bool audioOpen = false;
    std::vector<Mix_Chunk*> chunks;  // owned; handle i + 1
    std::array<VoiceFade, kVoices> fades;
    bool rgb555 = false;
    bool exclusive = false;
    bool focusSeen = false;
    bool vsync = false;
    bool accelerated = false;
    int modeWidth = 0;
    int modeHeight = 0;
    WindowProcFn windowProc = nullptr;
    std::vector<Window*> windows;
    MemorySurfaces memory;
    Window* mainWindow = nullptr;
    Window* presentWindow = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int textureWidth = 0;
    int textureHeight = 0;
    TTF_Font* font = nullptr;
    std::deque<Message> queue;
    FramePacer pacer{kFramePeriodNanos};
    int requestedScale = 0;
    GamepadKeys pad;
    std::map<SDL_JoystickID, SDL_GameController*> controllers;
};

}  // namespace

std::unique_ptr<Platform> CreateSdlPlatform(const SdlOptions& options) {
    return std::make_unique<SdlPlatform>(options);
}

long SdlPresentedFrames(const Platform& sdlPlatform) {
    return static_cast<const SdlPlatform&>(sdlPlatform).presentedFrames;
}

int SdlWindowScale(const Platform& sdlPlatform) { return static_cast<const SdlPlatform&>(sdlPlatform).scale; }

}  // namespace platform
