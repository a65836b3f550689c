#include "platform/web/web_platform.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <deque>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "platform/frame_pacer.h"
#include "platform/memory_surfaces.h"
#include "platform/web/rgba_row.h"
#include "platform/web/web_input.h"

namespace platform {

namespace {

constexpr int64_t kFramePeriodNanos = 1'000'000'000 / 60;
// Scripted runs do not wait for frames, but the page must still draw and
// answer now and then.
constexpr double kScriptedYieldMs = 50;
// How often a modal message box looks whether it was closed.
constexpr unsigned kDialogPollMs = 50;
const char kCanvas[] = "#canvas";

intptr_t MakeLParam(int low, int high) {
    return static_cast<intptr_t>((static_cast<uint32_t>(low) & 0xFFFFu) |
                                 ((static_cast<uint32_t>(high) & 0xFFFFu) << 16));
}

// --- The page's side -------------------------------------------------------
// The program runs on the page's main thread, or in a worker beside it where
// the browser can hand a worker the canvas (platform/web/game_worker.js).
// What only the page can do (its focus and sizes, the dialog, sound,
// gamepads, the figures it shows) goes through Module.page: the page's own
// object (index.html) on the main thread, a messenger to it in a worker. The
// canvas, Module.canvas, is drawn where the program runs.

EM_JS(int, PageInWorker, (), { return typeof document === "undefined" ? 1 : 0; });
EM_JS(int, PageHasFocus, (), { return Module.page.hasFocus() ? 1 : 0; });
EM_JS(int, PageScreenWidth, (), { return Module.page.screen()[0]; });
EM_JS(int, PageScreenHeight, (), { return Module.page.screen()[1]; });

// The room the page gives the picture, in CSS pixels, and its device pixels
// a CSS pixel.
EM_JS(void, PageStage, (double* width, double* height, double* ratio), {
    var stage = Module.page.stage();
    HEAPF64[width >> 3] = stage[0];
    HEAPF64[height >> 3] = stage[1];
    HEAPF64[ratio >> 3] = stage[2];
});

// Shows the message box; the page opens a modal dialog, and
// Module.messageBoxOpen stays set until it is closed.
EM_JS(void, PageShowMessageBox, (const char* caption, const char* text), {
    Module.messageBoxOpen = true;
    Module.page.showMessageBox(UTF8ToString(caption), UTF8ToString(text));
});
EM_JS(int, PageMessageBoxOpen, (), { return Module.messageBoxOpen ? 1 : 0; });

// Presentation. With WebGL the 16-bit frame goes to the GPU as it is, a 5-6-5
// texture as wide as the surface's pitch, and one shader pass scales it: at a
// whole scale each device pixel takes the texel under it (nearest); at any
// other scale the texel coordinate is pulled to the texel's centre except in
// the last 1/factor of it, and sampled bilinearly, which is the picture
// enlarged nearest to the next whole factor and then smoothly down ("sharp
// bilinear"): even pixels, edges at most one device pixel soft. Without WebGL,
// or where its WebGL is drawn in software, the frame is converted to RGBA here
// and put on a 2D canvas: at a whole scale one of the picture's own size, which
// the page enlarges nearest; at any other scale one of the picture's size in
// device pixels, drawn from the picture enlarged nearest to the next whole
// scale and smoothly down from there (the same sharp picture).
EM_JS(int, PageStartPresentation, (), {
    var canvas = Module.canvas || document.getElementById("canvas");
    Module.canvas = canvas;
    // WebGL drawn in software (SwiftShader, llvmpipe) takes several times
    // longer a frame than a 2D canvas at large sizes. Some browsers say so
    // (failIfMajorPerformanceCaveat); others only by the renderer's name. Asked
    // of a canvas of its own: a canvas that has given a WebGL context can give
    // no 2D one.
    var drawnInSoftware = function () {
        var probe =
            typeof OffscreenCanvas === "function" ? new OffscreenCanvas(1, 1) : document.createElement("canvas");
        var gl = null;
        try {
            gl = probe.getContext("webgl", {failIfMajorPerformanceCaveat: true});
        } catch (e) {
            gl = null;
        }
        if (!gl) return true;
        var info = gl.getExtension("WEBGL_debug_renderer_info");
        var name = gl.getParameter(gl.RENDERER) + " " + (info ? gl.getParameter(info.UNMASKED_RENDERER_WEBGL) : "");
        var lose = gl.getExtension("WEBGL_lose_context");
        if (lose) lose.loseContext();
        return /swiftshader|llvmpipe|softpipe|software|basic render|gdi generic/i.test(name);
    };
    var gl = null;
    // A page without WebGL says so to its worker.
    if (Module.page.webgl !== false && !drawnInSoftware()) try {
        gl = canvas.getContext("webgl", {alpha: false, antialias: false, depth: false, stencil: false,
                                         premultipliedAlpha: false, powerPreference: "low-power",
                                         failIfMajorPerformanceCaveat: true});
    } catch (e) {
        gl = null;
    }
    if (!gl) {
        Module.page.share("presentation", Module.presentation = "2d");
        Module.canvasContext = canvas.getContext("2d", {alpha: false});
        // A worker that cannot draw at all leaves it to the page.
        if (!Module.canvasContext && typeof document === "undefined") Module.page.runOnPage();
        return 0;
    }
    var compile = function (kind, text) {
        var shader = gl.createShader(kind);
        gl.shaderSource(shader, text);
        gl.compileShader(shader);
        return shader;
    };
    var program = gl.createProgram();
    gl.attachShader(program, compile(gl.VERTEX_SHADER,
        "attribute vec2 corner; varying vec2 at;" +
        "void main() { at = vec2(corner.x, 1.0 - corner.y); gl_Position = vec4(corner * 2.0 - 1.0, 0.0, 1.0); }"));
    gl.attachShader(program, compile(gl.FRAGMENT_SHADER,
        "#ifdef GL_FRAGMENT_PRECISION_HIGH\nprecision highp float;\n#else\nprecision mediump float;\n#endif\n" +
        "uniform sampler2D picture; uniform vec2 size; uniform vec2 textureSize; uniform float factor;" +
        "varying vec2 at;" +
        "void main() {" +
        "  vec2 texel = at * size; vec2 base = floor(texel); vec2 off = texel - base - 0.5;" +
        "  float keep = 0.5 - 0.5 / factor;" +
        "  vec2 pulled = base + 0.5 + (off - clamp(off, -keep, keep)) * factor;" +
        "  gl_FragColor = vec4(texture2D(picture, pulled / textureSize).rgb, 1.0);" +
        "}"));
    gl.linkProgram(program);
    if (!gl.getProgramParameter(program, gl.LINK_STATUS)) {
        // A context that cannot run the shader is no better than none. A
        // worker's canvas is spoken for: the page runs the program itself.
        if (typeof document === "undefined") {
            Module.page.runOnPage();
            return 0;
        }
        // The canvas is spoken for, so the picture goes through a second one.
        Module.page.share("presentation", Module.presentation = "2d");
        var flat = document.createElement("canvas");
        flat.id = canvas.id;
        flat.className = canvas.className;
        canvas.replaceWith(flat);
        Module.canvas = flat;
        Module.canvasContext = flat.getContext("2d", {alpha: false});
        return 0;
    }
    gl.useProgram(program);
    var corners = gl.createBuffer();
    gl.bindBuffer(gl.ARRAY_BUFFER, corners);
    gl.bufferData(gl.ARRAY_BUFFER, new Float32Array([0, 0, 1, 0, 0, 1, 1, 1]), gl.STATIC_DRAW);
    var corner = gl.getAttribLocation(program, "corner");
    gl.enableVertexAttribArray(corner);
    gl.vertexAttribPointer(corner, 2, gl.FLOAT, false, 0, 0);
    var texture = gl.createTexture();
    gl.bindTexture(gl.TEXTURE_2D, texture);
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_S, gl.CLAMP_TO_EDGE);
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_T, gl.CLAMP_TO_EDGE);
    gl.pixelStorei(gl.UNPACK_ALIGNMENT, 2);
    gl.uniform1i(gl.getUniformLocation(program, "picture"), 0);
    Module.page.share("presentation", Module.presentation = "webgl");
    Module.gl = {gl: gl, size: gl.getUniformLocation(program, "size"),
                 textureSize: gl.getUniformLocation(program, "textureSize"),
                 factor: gl.getUniformLocation(program, "factor"),
                 textureWidth: 0, textureHeight: 0, width: 0, height: 0, whole: 1, scale: 1};
    // Draws the last frame uploaded, at the canvas's present size.
    Module.gl.draw = function () {
        var g = Module.gl;
        if (!g.width) return;
        var filter = g.whole ? gl.NEAREST : gl.LINEAR;
        gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MIN_FILTER, filter);
        gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MAG_FILTER, filter);
        gl.viewport(0, 0, gl.drawingBufferWidth, gl.drawingBufferHeight);
        gl.uniform2f(g.size, g.width, g.height);
        gl.uniform2f(g.textureSize, g.textureWidth, g.textureHeight);
        gl.uniform1f(g.factor, g.scale);
        gl.drawArrays(gl.TRIANGLE_STRIP, 0, 4);
    };
    return 1;
});

// The frame's width x height pixels, rows `pitch` pixels apart.
EM_JS(void, PagePresentGL, (const uint16_t* pixels, int pitch, int width, int height), {
    var g = Module.gl, gl = g.gl;
    var data = new Uint16Array(HEAPU8.buffer, pixels, pitch * height);
    if (g.textureWidth !== pitch || g.textureHeight !== height) {
        gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGB, pitch, height, 0, gl.RGB, gl.UNSIGNED_SHORT_5_6_5, data);
        g.textureWidth = pitch;
        g.textureHeight = height;
    } else {
        gl.texSubImage2D(gl.TEXTURE_2D, 0, 0, 0, pitch, height, gl.RGB, gl.UNSIGNED_SHORT_5_6_5, data);
    }
    g.width = width;
    g.height = height;
    g.draw();
});

// Sizes the canvas: its drawing buffer the picture in device pixels (WebGL)
// or in logical pixels (2D), here; its size on the page in CSS pixels, by
// the page.
EM_JS(void, PageSizeCanvas, (int bufferWidth, int bufferHeight, double cssWidth, double cssHeight, int whole,
                             int factor), {
    var canvas = Module.canvas;
    if (canvas.width !== bufferWidth) canvas.width = bufferWidth;
    if (canvas.height !== bufferHeight) canvas.height = bufferHeight;
    Module.page.styleCanvas(cssWidth, cssHeight, whole ? factor + "x" : "filled");
    if (Module.gl) {
        Module.gl.whole = whole;
        Module.gl.scale = factor;
        Module.gl.draw();
    }
    // The 2D canvas: at a scale that is not whole, the frame is enlarged by
    // this factor and drawn smoothly down to the canvas's size.
    Module.sharpFactor = whole ? 0 : factor;
});

// Puts width x height RGBA pixels on the 2D canvas: at its top-left corner,
// or filling it sharp (Module.sharpFactor). The ImageData over them is made
// once, and again only when they move or the memory grows (which replaces its
// buffer).
EM_JS(void, PagePutPixels, (const uint8_t* rgba, int width, int height), {
    var image = Module.canvasImage;
    if (!image || image.data.buffer !== HEAPU8.buffer || image.data.byteOffset !== rgba || image.width !== width ||
        image.height !== height) {
        image = new ImageData(new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4), width, height);
        Module.canvasImage = image;
    }
    var context = Module.canvasContext, factor = Module.sharpFactor;
    if (!context) return;
    if (!factor) {
        context.putImageData(image, 0, 0);
        return;
    }
    // Two canvases of the page's own: the frame, and the frame enlarged
    // nearest by the factor.
    var sharp = Module.sharp;
    if (!sharp || sharp.width !== width || sharp.height !== height || sharp.factor !== factor) {
        var make = function (w, h) {
            if (typeof OffscreenCanvas === "function") return new OffscreenCanvas(w, h);
            var made = document.createElement("canvas");
            made.width = w;
            made.height = h;
            return made;
        };
        sharp = Module.sharp = {width: width, height: height, factor: factor, frame: make(width, height),
                                large: make(width * factor, height * factor)};
        sharp.frameContext = sharp.frame.getContext("2d", {alpha: false});
        sharp.largeContext = sharp.large.getContext("2d", {alpha: false});
    }
    sharp.frameContext.putImageData(image, 0, 0);
    sharp.largeContext.imageSmoothingEnabled = false;
    sharp.largeContext.drawImage(sharp.frame, 0, 0, width * factor, height * factor);
    // Bilinear, not mipmapped: a device pixel inside a game pixel keeps its colour.
    context.imageSmoothingEnabled = true;
    context.imageSmoothingQuality = "low";
    context.drawImage(sharp.large, 0, 0, Module.canvas.width, Module.canvas.height);
});

EM_JS(void, PageClearCanvas, (), {
    if (Module.gl) {
        var gl = Module.gl.gl;
        gl.clearColor(0, 0, 0, 1);
        gl.clear(gl.COLOR_BUFFER_BIT);
        return;
    }
    var canvas = Module.canvas;
    if (!Module.canvasContext) return;
    Module.canvasContext.fillStyle = "#000";
    Module.canvasContext.fillRect(0, 0, canvas.width, canvas.height);
});

// Text in the page's font, single-byte characters as Latin-1.
EM_JS(int, PageTextWidth, (const char* text, int length, int* height), {
    if (!Module.textCanvas) {
        Module.textCanvas =
            typeof document === "undefined" ? new OffscreenCanvas(1, 1) : document.createElement("canvas");
        Module.textContext = Module.textCanvas.getContext("2d", {willReadFrequently: true});
    }
    var s = "";
    for (var i = 0; i < length; ++i) s += String.fromCharCode(HEAPU8[text + i]);
    var ctx = Module.textContext;
    ctx.font = '13px "DejaVu Sans", sans-serif';
    var m = ctx.measureText(s);
    var h = Math.ceil((m.fontBoundingBoxAscent || 12) + (m.fontBoundingBoxDescent || 4));
    HEAP32[height >> 2] = h;
    return Math.ceil(m.width);
});

EM_JS(void, PageRasteriseText, (const char* text, int length, int red, int green, int blue, uint8_t* rgba, int width,
                                int height), {
    var canvas = Module.textCanvas;
    canvas.width = width;
    canvas.height = height;
    var ctx = Module.textContext;
    var s = "";
    for (var i = 0; i < length; ++i) s += String.fromCharCode(HEAPU8[text + i]);
    ctx.clearRect(0, 0, width, height);
    ctx.font = '13px "DejaVu Sans", sans-serif';
    ctx.textBaseline = "top";
    ctx.fillStyle = "rgb(" + red + "," + green + "," + blue + ")";
    ctx.fillText(s, 0, 0);
    HEAPU8.set(ctx.getImageData(0, 0, width, height).data, rgba);
});

// --- Sound, on the page's Web Audio ---------------------------------------
// The page plays the effects (index.html says how); the program reads their
// WAV files and hands it the samples.
EM_JS(int, PageOpenAudio, (), { return Module.page.openAudio() ? 1 : 0; });

// 16-bit PCM WAV from memory, given to the page as one array of samples (-1
// to 1) a channel: the handle (1 or more), or 0.
EM_JS(int, PageLoadSound, (const uint8_t* bytes, int length), {
    var view = new DataView(HEAPU8.buffer, bytes, length);
    var tag = function (at) {
        return String.fromCharCode(view.getUint8(at), view.getUint8(at + 1), view.getUint8(at + 2), view.getUint8(at + 3));
    };
    if (length < 12 || tag(0) !== "RIFF" || tag(8) !== "WAVE") return 0;
    var channels = 0, rate = 0, bits = 0, data = -1, dataBytes = 0;
    for (var at = 12; at + 8 <= length;) {
        var size = view.getUint32(at + 4, true);
        if (tag(at) === "fmt " && size >= 16 && at + 24 <= length) {
            if (view.getUint16(at + 8, true) !== 1) return 0;
            channels = view.getUint16(at + 10, true);
            rate = view.getUint32(at + 12, true);
            bits = view.getUint16(at + 22, true);
        } else if (tag(at) === "data") {
            data = at + 8;
            dataBytes = Math.min(size, length - data);
        }
        at += 8 + size + (size & 1);
    }
    if (data < 0 || bits !== 16 || channels < 1 || channels > 2 || rate < 3000 || rate > 384000) return 0;
    var frames = Math.floor(dataBytes / (2 * channels));
    if (frames === 0) return 0;
    var samples = [];
    for (var c = 0; c < channels; ++c) {
        var out = new Float32Array(frames);
        for (var i = 0; i < frames; ++i) out[i] = view.getInt16(data + 2 * (i * channels + c), true) / 32768;
        samples.push(out);
    }
    return Module.page.loadSound(samples, rate);
});

EM_JS(void, PagePlaySound, (int sound, double volume, double pan, int loop), {
    Module.page.playSound(sound, volume, pan, loop !== 0);
});

// Stops the voices of one effect (0: all).
EM_JS(void, PageStopSound, (int sound), { Module.page.stopSound(sound); });

// Waits for the browser's next animation frame (its display's refresh). A
// hidden page has none: the program sleeps until the page is shown again.
// The program may end in the frame that follows, which is no error.
EM_JS(void, PageNextAnimationFrame, (), {
    Asyncify.handleSleep(function (wakeUp) {
        (Module.page.nextFrame || requestAnimationFrame)(function () {
            try {
                wakeUp();
            } catch (e) {
                if (!(e instanceof ExitStatus)) throw e;
            }
        });
    });
});

// The standard-mapping gamepads the page knows, at most `most`, each as five
// numbers in `out`: connected (1) or not (0), the pressed buttons as bits by
// index (0 to 16), the left stick's x and y in thousandths. The number of
// slots written; none when the page did not look this frame (see index.html).
EM_JS(int, PageReadGamepads, (int* out, int most), {
    var pads = Module.page.readGamepads(most);
    if (!pads) return 0;
    var n = Math.min(pads.length, most);
    for (var i = 0; i < n; ++i) {
        var at = (out >> 2) + i * 5;
        for (var k = 0; k < 4; ++k) HEAP32[at + k] = pads[i][k];
        HEAP32[at + 4] = 0;
    }
    return n;
});

// How long frames take to make, for the page to show (milliseconds): all of
// the work, and the part of it that puts the picture on the page.
EM_JS(void, PageFrameWork, (double milliseconds, double presentMilliseconds), {
    Module.page.share("frameWorkMs", milliseconds);
    Module.page.share("framePresentMs", presentMilliseconds);
});

struct Window {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool shown = false;
    bool destroyed = false;
};

using Surface = MemorySurface;

class BrowserPlatform;
// The backend the page's own controls speak to (one program, one page).
BrowserPlatform* thePage = nullptr;

class BrowserPlatform final : public WebPlatform {
public:
    explicit BrowserPlatform(const WebOptions& options) : scripted(options.scriptedInput) {}

    ~BrowserPlatform() override {
        if (listening) emscripten_html5_remove_all_event_listeners();
        if (thePage == this) thePage = nullptr;
        for (Window* w : windows) delete w;
    }

    void Schedule(int frame, const Message& message) override {
        if (frame <= framesRun)
            queue.push_back(message);
        else
            scheduled.emplace(frame, message);
    }

    // --- Windows and messages ----------------------------------------------
    bool RegisterClass(const char*, uint32_t, WindowProcFn proc) override {
        windowProc = proc;
        if (!listening) Listen();
        return true;
    }

    int GetScreenDepth() override { return 16; }
    int GetScreenWidth() override { return ScreenForPage(PageScreenWidth(), PageScreenHeight()).width; }
    int GetScreenHeight() override { return ScreenForPage(PageScreenWidth(), PageScreenHeight()).height; }

    WindowHandle CreateWindow(uint32_t, const char*, const char*, uint32_t, int x, int y, int outerWidth,
                              int outerHeight) override {
        if (outerWidth <= 0 || outerHeight <= 0 || outerWidth > MemorySurfaces::kMaxSide ||
            outerHeight > MemorySurfaces::kMaxSide)
            return nullptr;
        // A page has no window frame: the client area is the whole window.
        auto* window = new Window{x, y, outerWidth, outerHeight, false, false};
        windows.push_back(window);
        Send(window, WM_MOVE, 0, MakeLParam(x, y));
        return window;
    }

    void GetClientRect(WindowHandle handle, int& width, int& height) override {
        const Window* window = static_cast<Window*>(handle);
        width = window->width;
        height = window->height;
    }

    void ShowWindow(WindowHandle handle, int) override {
        Window* window = static_cast<Window*>(handle);
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

    bool UpdateWindow(WindowHandle handle) override { return handle != nullptr; }

    void DestroyWindow(WindowHandle handle) override {
        Window* window = static_cast<Window*>(handle);
        if (window->destroyed) return;
        Send(window, WM_DESTROY, 0, 0);
        window->destroyed = true;
    }

    intptr_t DefWindowProc(WindowHandle, uint32_t, uintptr_t, intptr_t) override { return 0; }

    void PostQuitMessage(int exitCode) override {
        queue.push_back({nullptr, WM_QUIT, static_cast<uintptr_t>(exitCode), 0});
    }

    bool PeekMessage(Message& out) override {
        if (queue.empty() && beforeFrame) beforeFrame(framesRun);
        if (queue.empty()) {
            // The loop is about to run a frame: release what is due after it.
            ++framesRun;
            auto end = scheduled.upper_bound(framesRun);
            for (auto it = scheduled.begin(); it != end; ++it) queue.push_back(it->second);
            scheduled.erase(scheduled.begin(), end);
            return false;
        }
        out = queue.front();
        queue.pop_front();
        return true;
    }

    WindowHandle GetForegroundWindow() override {
        if (mainWindow == nullptr || mainWindow->destroyed || !mainWindow->shown || !pageFocused) return nullptr;
        return mainWindow;
    }

    void ClientToScreen(WindowHandle handle, int& x, int& y) override {
        const Window* window = static_cast<Window*>(handle);
        x += window->x;
        y += window->y;
    }

    int MessageBox(WindowHandle, const char* text, const char* caption, uint32_t) override {
        PageShowMessageBox(caption, text);
        // Modal: the program waits here while the page stays live.
        while (PageMessageBoxOpen()) emscripten_sleep(kDialogPollMs);
        return IDOK;
    }

    // --- Video -----------------------------------------------------------------
    HResult DirectDrawCreate(DirectDrawHandle& out) override {
        out = this;
        return DD_OK;
    }

    HResult SetCooperativeLevel(DirectDrawHandle, WindowHandle window, uint32_t flags) override {
        if (window == nullptr) return DDERR_NOHWND;
        exclusive = (flags & DDSCL_EXCLUSIVE) != 0;
        return DD_OK;
    }

    HResult SetDisplayMode(DirectDrawHandle, int width, int height, int bitsPerPixel) override {
        if (!exclusive) return DDERR_NOEXCLUSIVEMODE;
        if (bitsPerPixel != 16 || width <= 0 || height <= 0 || width > MemorySurfaces::kMaxSide ||
            height > MemorySurfaces::kMaxSide)
            return DDERR_INVALIDMODE;
        // Full screen on a page is the canvas at the mode's size.
        modeWidth = width;
        modeHeight = height;
        if (mainWindow != nullptr) {
            mainWindow->width = width;
            mainWindow->height = height;
            FitToPage();
        }
        return DD_OK;
    }

    HResult CreateSurface(DirectDrawHandle, const SurfaceDesc& request, SurfaceHandle& out) override {
        return memory.Create(request, modeWidth > 0 ? modeWidth : GetScreenWidth(),
                             modeHeight > 0 ? modeHeight : GetScreenHeight(), DDSCAPS_SYSTEMMEMORY, out);
    }

    HResult GetAttachedSurface(SurfaceHandle handle, uint32_t caps, SurfaceHandle& out) override {
        return memory.GetAttached(handle, caps, out);
    }

    // The browser's canvas takes 5-6-5 only.
    HResult GetSurfaceDesc(SurfaceHandle handle, SurfaceDesc& desc) override {
        memory.Describe(handle, desc, 0xF800, 0x07E0, 0x001F);
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
        Present(*primary->attached);
        return DD_OK;
    }

    HResult BltFast(SurfaceHandle dest, int x, int y, SurfaceHandle source) override {
        Surface* primary = static_cast<Surface*>(dest);
        Surface* back = static_cast<Surface*>(source);
        if (primary->lost || back->lost) return DDERR_SURFACELOST;
        // The copy must land wholly on the screen; no clipping.
        if (x < 0 || y < 0 || x > primary->width - back->width || y > primary->height - back->height)
            return DDERR_INVALIDRECT;
        Present(*back);
        return DD_OK;
    }

    HResult IsLost(SurfaceHandle handle) override { return memory.IsLost(handle); }

    HResult Restore(SurfaceHandle handle) override {
        memory.Restore(handle);
        return DD_OK;
    }

    HResult GetDC(SurfaceHandle handle) override {
        const Surface* s = static_cast<Surface*>(handle);
        if (s->primary || s->lost) return DDERR_CANTCREATEDC;
        return DD_OK;
    }

    void TextOut(SurfaceHandle handle, int x, int y, const char* text, int length, uint32_t color) override {
        Surface* s = static_cast<Surface*>(handle);
        if (length <= 0) return;
        int height = 0;
        const int width = PageTextWidth(text, length, &height);
        if (width <= 0 || height <= 0) return;
        std::vector<uint8_t> glyphs(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
        PageRasteriseText(text, length, static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                          static_cast<int>((color >> 16) & 0xFF), glyphs.data(), width, height);
        BlendGlyphs(*s, x, y, glyphs, width, height);
    }

    void ReleaseDC(SurfaceHandle) override {}

    void ReleaseSurface(SurfaceHandle handle) override {
        shown = nullptr;  // it may have been this one, or attached to it
        memory.Release(handle);
    }

    void ReleaseDirectDraw(DirectDrawHandle) override { modeWidth = modeHeight = 0; }

    // --- Sound -------------------------------------------------------------------
    bool OpenAudio(std::string& why) override {
        if (!audioOpen && PageOpenAudio() == 0) {
            why = "this browser has no Web Audio";
            return false;
        }
        audioOpen = true;
        return true;
    }

    int LoadSound(const char* path) override {
        if (!audioOpen) return 0;
        std::ifstream file(path, std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        if (bytes.empty()) return 0;
        return PageLoadSound(bytes.data(), static_cast<int>(bytes.size()));
    }

    void PlaySound(int sound, float volume, float pan, bool loop) override {
        if (audioOpen && sound > 0) PagePlaySound(sound, volume, pan, loop ? 1 : 0);
    }

    void StopSound(int sound) override {
        if (audioOpen && sound > 0) PageStopSound(sound);
    }

    void StopAllSounds() override {
        if (audioOpen) PageStopSound(0);
    }

    // A key of the page's keyboard or of its touch controls.
    void KeyFromPage(int vk, bool down) {
        if (down)
            held.Down(vk);
        else
            held.Up(vk);
        // The page's keys and touch controls hold a key as one: by its code.
        pads.Keyboard(vk, vk, down, [this](int key, bool isDown) { PostKey(key, isDown); });
    }

    void TouchKey(int vk, bool down) {
        if (!TakesKey(vk) || PageMessageBoxOpen()) return;
        if (down || held.IsHeld(vk)) KeyFromPage(vk, down);
    }

    bool Playing() const { return !scripted && mainWindow != nullptr && !mainWindow->destroyed; }

    // A key script plays its own keys, but Escape still ends the run: a link
    // may ask for a million frames.
    bool TakesKey(int vk) const {
        return mainWindow != nullptr && !mainWindow->destroyed && (!scripted || vk == VK_ESCAPE);
    }

    void FitToPage() {
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

private:
    // A key down or up as the keyboard's, with the character a key-down of a
    // control key types (Escape, Enter, Backspace, Tab).
    void PostKey(int vk, bool down) {
        if (mainWindow == nullptr || mainWindow->destroyed) return;
        Post(mainWindow, down ? WM_KEYDOWN : WM_KEYUP, static_cast<uintptr_t>(vk), 0);
        const int c = down ? ControlCharacterOfKey(vk) : 0;
        if (c != 0) Post(mainWindow, WM_CHAR, static_cast<uintptr_t>(c), 0);
    }

    // The gamepads' buttons and sticks since the last look, through the
    // desktop's translator; a pad gone lets go of its keys.
    void ReadGamepads() {
        int slots[kMaxPads * 5] = {};
        const int n = PageReadGamepads(slots, kMaxPads);
        const auto post = [this](int vk, bool down) { PostKey(vk, down); };
        for (int i = 0; i < kMaxPads; ++i) {
            const int* slot = &slots[i * 5];
            PadState now;
            if (i < n && slot[0] != 0) now = {true, static_cast<uint32_t>(slot[1]), slot[2], slot[3]};
            PadState& was = padStates[i];
            if (was.connected && !now.connected) pads.Removed(i, post);
            if (!now.connected) now = PadState{};
            if (now.connected) {
                // A pad not seen before counts from all buttons up, stick centred.
                for (int b = 0; b < 17; ++b) {
                    const bool down = (now.buttons >> b & 1u) != 0;
                    if (down != ((was.buttons >> b & 1u) != 0)) pads.Button(i, StandardPadButton(b), down, post);
                }
                if (now.x != was.x) pads.Axis(i, PadAxis::LeftX, PadAxisValue(now.x / 1000.0), post);
                if (now.y != was.y) pads.Axis(i, PadAxis::LeftY, PadAxisValue(now.y / 1000.0), post);
            }
            was = now;
        }
    }

    void Send(Window* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
        if (windowProc != nullptr) windowProc(window, message, wParam, lParam);
    }

    void Post(Window* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
        queue.push_back({window, message, wParam, lParam});
    }

    void Listen() {
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

    static EM_BOOL OnKey(int type, const EmscriptenKeyboardEvent* event, void* self) {
        return static_cast<BrowserPlatform*>(self)->KeyEvent(event->keyCode, event->key, event->ctrlKey, event->altKey,
                                                             event->metaKey, type == EMSCRIPTEN_EVENT_KEYDOWN)
                   ? EM_TRUE
                   : EM_FALSE;
    }

    static EM_BOOL OnFocus(int type, const EmscriptenFocusEvent*, void* self) {
        static_cast<BrowserPlatform*>(self)->FocusEvent(type == EMSCRIPTEN_EVENT_FOCUS);
        return EM_FALSE;
    }

    static EM_BOOL OnMouse(int type, const EmscriptenMouseEvent* event, void* self) {
        double cssWidth = 0, cssHeight = 0;
        emscripten_get_element_css_size(kCanvas, &cssWidth, &cssHeight);
        const MouseKind kind = type == EMSCRIPTEN_EVENT_MOUSEMOVE   ? MouseKind::Move
                               : type == EMSCRIPTEN_EVENT_MOUSEDOWN ? MouseKind::Down
                                                                    : MouseKind::Up;
        static_cast<BrowserPlatform*>(self)->MouseEvent(kind, event->button, event->targetX, event->targetY, cssWidth,
                                                        cssHeight);
        return EM_FALSE;
    }

public:
    // The page's events, from its main thread or sent to the worker.

    // A key of the page's keyboard: keyCode and `key` as the browser has
    // them. Whether the page's default action is withheld.
    bool KeyEvent(unsigned long keyCode, const char* key, bool ctrl, bool alt, bool meta, bool down) {
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

    void FocusEvent(bool focused) {
        if (focused == pageFocused) return;
        pageFocused = focused;
        Window* window = mainWindow;
        if (window == nullptr || window->destroyed) return;
        if (!focused) {
            // The key-ups of keys held now will never come.
            for (int vk : held.ReleaseAll())
                pads.Keyboard(vk, vk, false, [this](int key, bool down) { PostKey(key, down); });
        }
        Post(window, WM_ACTIVATEAPP, focused ? 1 : 0, 0);
        Post(window, focused ? WM_SETFOCUS : WM_KILLFOCUS, 0, 0);
    }

    enum class MouseKind { Move, Down, Up };
    // At (x, y) CSS pixels from the canvas's top-left corner, the canvas
    // shown cssWidth x cssHeight; button 0 left, 1 middle, 2 right.
    void MouseEvent(MouseKind kind, int button, double x, double y, double cssWidth, double cssHeight) {
        Window* window = mainWindow;
        if (scripted || window == nullptr || window->destroyed) return;
        const intptr_t at =
            MakeLParam(LogicalFromCss(x, window->width, cssWidth), LogicalFromCss(y, window->height, cssHeight));
        if (kind == MouseKind::Move) {
            Post(window, WM_MOUSEMOVE, 0, at);
            return;
        }
        const bool down = kind == MouseKind::Down;
        uint32_t message = 0;
        if (button == 0) message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
        if (button == 1) message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
        if (button == 2) message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
        if (message != 0) Post(window, message, 0, at);
    }

private:
    static EM_BOOL OnResize(int, const EmscriptenUiEvent*, void* self) {
        static_cast<BrowserPlatform*>(self)->FitToPage();
        return EM_FALSE;
    }

    // The surface's top-left part, as much as the canvas shows, timed for
    // the page's figures.
    void Present(const Surface& source) {
        if (mainWindow == nullptr) return;
        // A scripted run shows only the frames the browser gets to draw: the
        // last one before each yield (not counted in the frame work).
        if (scripted) {
            shown = &source;
            return;
        }
        const double startMs = emscripten_get_now();
        PresentNow(source);
        presentMs += emscripten_get_now() - startMs;
    }

    // Through WebGL as a 5-6-5 texture, or on the 2D canvas in RGBA.
    void PresentNow(const Surface& source) {
        const int width = std::min(source.width, mainWindow->width);
        const int height = std::min(source.height, mainWindow->height);
        if (webgl) {
            PagePresentGL(reinterpret_cast<const uint16_t*>(source.pixels.data()), source.pitchBytes / 2, width,
                          height);
            return;
        }
        rgba.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
        for (int y = 0; y < height; ++y) {
            const auto* row =
                reinterpret_cast<const uint16_t*>(source.pixels.data() + static_cast<size_t>(y) * source.pitchBytes);
            Rgba565Row(row, rgba.data() + static_cast<size_t>(y) * static_cast<size_t>(width) * 4, width);
        }
        PagePutPixels(rgba.data(), width, height);
    }

    // Glyphs in RGBA (colour with coverage in alpha) over 5-6-5 pixels.
    static void BlendGlyphs(Surface& s, int left, int top, const std::vector<uint8_t>& glyphs, int width, int height) {
        for (int gy = 0; gy < height; ++gy) {
            const int y = top + gy;
            if (y < 0 || y >= s.height) continue;
            auto* row = reinterpret_cast<uint16_t*>(s.pixels.data() + static_cast<size_t>(y) * s.pitchBytes);
            for (int gx = 0; gx < width; ++gx) {
                const int x = left + gx;
                if (x < 0 || x >= s.width) continue;
                const uint8_t* g = &glyphs[(static_cast<size_t>(gy) * width + gx) * 4];
                const uint32_t a = g[3];
                if (a == 0) continue;
                const uint32_t word = row[x];
                const uint32_t r5 = (word >> 11) & 31, g6 = (word >> 5) & 63, b5 = word & 31;
                const uint32_t dr = (r5 << 3) | (r5 >> 2), dg = (g6 << 2) | (g6 >> 4), db = (b5 << 3) | (b5 >> 2);
                const uint32_t r = (g[0] * a + dr * (255 - a)) / 255;
                const uint32_t gr = (g[1] * a + dg * (255 - a)) / 255;
                const uint32_t b = (g[2] * a + db * (255 - a)) / 255;
                row[x] = static_cast<uint16_t>(((r >> 3) << 11) | ((gr >> 2) << 5) | (b >> 3));
            }
        }
    }

    // Holds play to 60 frames a second and gives the browser its turn: its
    // events arrive and the canvas is shown only while the program waits.
    void Pace() {
        const double nowMs = emscripten_get_now();
        if (lastWakeMs > 0) {
            workMs += nowMs - lastWakeMs;
            if (++workFrames == 60) {
                PageFrameWork(workMs / workFrames, presentMs / workFrames);
                workMs = 0;
                presentMs = 0;
                workFrames = 0;
            }
        }
        if (scripted) {
            if (nowMs - lastYieldMs >= kScriptedYieldMs) {
                if (shown != nullptr) {
                    PresentNow(*shown);
                    shown = nullptr;
                }
                emscripten_sleep(0);
                lastYieldMs = emscripten_get_now();
            }
            lastWakeMs = emscripten_get_now();
            return;
        }
        if (Playing()) ReadGamepads();
        const int64_t until = pacer.FrameStart(static_cast<int64_t>(nowMs * 1e6));
        // Frames start on the display's refresh, at least one refresh apart
        // (even a late frame yields, or the page would freeze); on a display
        // faster than 60 Hz the refreshes well before the pacer's time pass.
        do {
            PageNextAnimationFrame();
        } while (static_cast<int64_t>(emscripten_get_now() * 1e6) < until - kFramePeriodNanos / 4);
        lastWakeMs = emscripten_get_now();
    }

    struct PadState {
        bool connected = false;
        uint32_t buttons = 0;
        int x = 0;
        int y = 0;
    };
    static constexpr int kMaxPads = 4;

    bool scripted = false;
    bool presenting = false;
    bool webgl = false;
    bool listening = false;
    bool pageFocused = false;
    bool exclusive = false;
    bool audioOpen = false;
    int modeWidth = 0;
    int modeHeight = 0;
    int framesRun = 0;
    WindowProcFn windowProc = nullptr;
    std::vector<Window*> windows;
    MemorySurfaces memory;
    Window* mainWindow = nullptr;
    std::deque<Message> queue;
    std::multimap<int, Message> scheduled;
    HeldKeys held;
    GamepadKeys pads;
    PadState padStates[kMaxPads];
    FramePacer pacer{kFramePeriodNanos};
    std::vector<uint8_t> rgba;
    const Surface* shown = nullptr;  // scripted: the frame to show at the next yield
    double lastWakeMs = 0;
    double lastYieldMs = 0;
    double workMs = 0;
    double presentMs = 0;
    int workFrames = 0;
};

}  // namespace

std::unique_ptr<WebPlatform> CreateWebPlatform(const WebOptions& options) {
    return std::make_unique<BrowserPlatform>(options);
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
