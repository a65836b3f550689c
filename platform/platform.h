/// @file
/// The platform seam: everything the engine needs from the machine underneath.
///
/// The engine was designed over a window system with a message queue and a
/// 16-bit video card; this interface is that machine, reduced to what the
/// engine's logic relies on. Backends translate, the engine decides: a backend
/// turns its native events into the window messages and virtual-key codes
/// declared here and never interprets them itself. What a message means lives
/// in WindowsDX::WindowProc.
///
/// Backends: platform/sdl/ (play on a desktop), platform/web/ (play in a
/// browser, built with Emscripten) and platform/scripted/ (tests and
/// tarvo-replay: keys by frame number, frames kept as hashes). Only
/// platform/sdl/ includes SDL headers.
///
/// Conventions: result codes are 32-bit values where 0 (DD_OK) means success
/// and failures carry the video layer's DDERR_* codes; window and surface
/// handles are opaque pointers owned by the backend. One thread only.
///
/// Sound is optional: a backend that has none keeps the default no-op sound
/// operations, and a machine without an audio device refuses OpenAudio; the
/// program then runs on in silence.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace platform {

/// Opaque handles. Null means "none"; the backend owns what they point at.
using WindowHandle = void*;
using SurfaceHandle = void*;
using DirectDrawHandle = void*;
using InstanceHandle = void*;

/// Window messages, by their numbers in the original window system.
constexpr uint32_t WM_DESTROY = 0x0002;
constexpr uint32_t WM_MOVE = 0x0003;
constexpr uint32_t WM_SETFOCUS = 0x0007;
constexpr uint32_t WM_KILLFOCUS = 0x0008;
constexpr uint32_t WM_CLOSE = 0x0010;
constexpr uint32_t WM_QUIT = 0x0012;
constexpr uint32_t WM_ACTIVATEAPP = 0x001C;
constexpr uint32_t WM_KEYDOWN = 0x0100;
constexpr uint32_t WM_KEYUP = 0x0101;
constexpr uint32_t WM_CHAR = 0x0102;
constexpr uint32_t WM_MOUSEMOVE = 0x0200;
constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr uint32_t WM_LBUTTONUP = 0x0202;
constexpr uint32_t WM_RBUTTONDOWN = 0x0204;
constexpr uint32_t WM_RBUTTONUP = 0x0205;
constexpr uint32_t WM_MBUTTONDOWN = 0x0207;
constexpr uint32_t WM_MBUTTONUP = 0x0208;

/// Virtual-key codes the game and the backends use. Letters and digits are
/// their upper-case ASCII codes ('A' = 65, '0' = 48).
constexpr int VK_BACK = 0x08;
constexpr int VK_TAB = 0x09;
constexpr int VK_RETURN = 0x0D;
constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_MENU = 0x12;  ///< Alt
constexpr int VK_PAUSE = 0x13;
constexpr int VK_CAPITAL = 0x14;
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_SPACE = 0x20;
constexpr int VK_PRIOR = 0x21;  ///< Page Up
constexpr int VK_NEXT = 0x22;   ///< Page Down
constexpr int VK_END = 0x23;
constexpr int VK_HOME = 0x24;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
constexpr int VK_INSERT = 0x2D;
constexpr int VK_DELETE = 0x2E;
constexpr int VK_NUMPAD0 = 0x60;
constexpr int VK_MULTIPLY = 0x6A;
constexpr int VK_ADD = 0x6B;
constexpr int VK_SUBTRACT = 0x6D;
constexpr int VK_DECIMAL = 0x6E;
constexpr int VK_DIVIDE = 0x6F;
constexpr int VK_F1 = 0x70;
constexpr int VK_LSHIFT = 0xA0;
constexpr int VK_RSHIFT = 0xA1;
constexpr int VK_LCONTROL = 0xA2;
constexpr int VK_RCONTROL = 0xA3;
constexpr int VK_LMENU = 0xA4;
constexpr int VK_RMENU = 0xA5;
constexpr int VK_OEM_1 = 0xBA;  ///< ';:'
constexpr int VK_OEM_PLUS = 0xBB;
constexpr int VK_OEM_COMMA = 0xBC;
constexpr int VK_OEM_MINUS = 0xBD;
constexpr int VK_OEM_PERIOD = 0xBE;
constexpr int VK_OEM_2 = 0xBF;  ///< '/?'
constexpr int VK_OEM_3 = 0xC0;  ///< '`~'
constexpr int VK_OEM_4 = 0xDB;  ///< '[{'
constexpr int VK_OEM_5 = 0xDC;  ///< '\|'
constexpr int VK_OEM_6 = 0xDD;  ///< ']}'
constexpr int VK_OEM_7 = 0xDE;  ///< quote

/// Window styles (only the ones the engine asks for).
constexpr uint32_t WS_POPUP = 0x80000000u;
constexpr uint32_t WS_SYSMENU = 0x00080000u;
constexpr uint32_t WS_EX_APPWINDOW = 0x00040000u;
constexpr uint32_t CS_VREDRAW = 0x0001u;
constexpr uint32_t CS_HREDRAW = 0x0002u;

/// Message box flags and results.
constexpr uint32_t MB_OK = 0x0000u;
constexpr int IDOK = 1;

/// Video: result codes. DD_OK is success; the rest are failures. Values are
/// those of the original video API, so logs and tests can name them.
using HResult = int32_t;
constexpr HResult DD_OK = 0;
constexpr HResult MakeDDHResult(int code) { return static_cast<HResult>(0x88760000u + static_cast<uint32_t>(code)); }
constexpr HResult DDERR_UNSUPPORTED = static_cast<HResult>(0x80004001u);
constexpr HResult DDERR_GENERIC = static_cast<HResult>(0x80004005u);
constexpr HResult DDERR_OUTOFMEMORY = static_cast<HResult>(0x8007000Eu);
constexpr HResult DDERR_INVALIDPARAMS = static_cast<HResult>(0x80070057u);
constexpr HResult DDERR_ALREADYINITIALIZED = MakeDDHResult(5);
constexpr HResult DDERR_CANNOTATTACHSURFACE = MakeDDHResult(10);
constexpr HResult DDERR_CANNOTDETACHSURFACE = MakeDDHResult(20);
constexpr HResult DDERR_CURRENTLYNOTAVAIL = MakeDDHResult(40);
constexpr HResult DDERR_EXCEPTION = MakeDDHResult(55);
constexpr HResult DDERR_HEIGHTALIGN = MakeDDHResult(90);
constexpr HResult DDERR_INCOMPATIBLEPRIMARY = MakeDDHResult(95);
constexpr HResult DDERR_INVALIDCAPS = MakeDDHResult(100);
constexpr HResult DDERR_INVALIDCLIPLIST = MakeDDHResult(110);
constexpr HResult DDERR_INVALIDMODE = MakeDDHResult(120);
constexpr HResult DDERR_INVALIDOBJECT = MakeDDHResult(130);
constexpr HResult DDERR_INVALIDPIXELFORMAT = MakeDDHResult(145);
constexpr HResult DDERR_INVALIDRECT = MakeDDHResult(150);
constexpr HResult DDERR_LOCKEDSURFACES = MakeDDHResult(160);
constexpr HResult DDERR_NO3D = MakeDDHResult(170);
constexpr HResult DDERR_NOALPHAHW = MakeDDHResult(180);
constexpr HResult DDERR_NOCLIPLIST = MakeDDHResult(205);
constexpr HResult DDERR_NOCOLORCONVHW = MakeDDHResult(210);
constexpr HResult DDERR_NOCOOPERATIVELEVELSET = MakeDDHResult(212);
constexpr HResult DDERR_NOCOLORKEY = MakeDDHResult(215);
constexpr HResult DDERR_NOCOLORKEYHW = MakeDDHResult(220);
constexpr HResult DDERR_NOEXCLUSIVEMODE = MakeDDHResult(225);
constexpr HResult DDERR_NOFLIPHW = MakeDDHResult(230);
constexpr HResult DDERR_NOGDI = MakeDDHResult(240);
constexpr HResult DDERR_NOMIRRORHW = MakeDDHResult(250);
constexpr HResult DDERR_NOTFOUND = MakeDDHResult(255);
constexpr HResult DDERR_NOOVERLAYHW = MakeDDHResult(260);
constexpr HResult DDERR_NORASTEROPHW = MakeDDHResult(280);
constexpr HResult DDERR_NOROTATIONHW = MakeDDHResult(290);
constexpr HResult DDERR_NOSTRETCHHW = MakeDDHResult(310);
constexpr HResult DDERR_NOT4BITCOLOR = MakeDDHResult(316);
constexpr HResult DDERR_NOT4BITCOLORINDEX = MakeDDHResult(317);
constexpr HResult DDERR_NOT8BITCOLOR = MakeDDHResult(320);
constexpr HResult DDERR_NOTEXTUREHW = MakeDDHResult(330);
constexpr HResult DDERR_NOVSYNCHW = MakeDDHResult(335);
constexpr HResult DDERR_NOZBUFFERHW = MakeDDHResult(340);
constexpr HResult DDERR_NOZOVERLAYHW = MakeDDHResult(350);
constexpr HResult DDERR_OUTOFCAPS = MakeDDHResult(360);
constexpr HResult DDERR_OUTOFVIDEOMEMORY = MakeDDHResult(380);
constexpr HResult DDERR_OVERLAYCANTCLIP = MakeDDHResult(382);
constexpr HResult DDERR_OVERLAYCOLORKEYONLYONEACTIVE = MakeDDHResult(384);
constexpr HResult DDERR_PALETTEBUSY = MakeDDHResult(387);
constexpr HResult DDERR_COLORKEYNOTSET = MakeDDHResult(400);
constexpr HResult DDERR_SURFACEALREADYATTACHED = MakeDDHResult(410);
constexpr HResult DDERR_SURFACEALREADYDEPENDENT = MakeDDHResult(420);
constexpr HResult DDERR_SURFACEBUSY = MakeDDHResult(430);
constexpr HResult DDERR_CANTLOCKSURFACE = MakeDDHResult(435);
constexpr HResult DDERR_SURFACEISOBSCURED = MakeDDHResult(440);
constexpr HResult DDERR_SURFACELOST = MakeDDHResult(450);
constexpr HResult DDERR_SURFACENOTATTACHED = MakeDDHResult(460);
constexpr HResult DDERR_TOOBIGHEIGHT = MakeDDHResult(470);
constexpr HResult DDERR_TOOBIGSIZE = MakeDDHResult(480);
constexpr HResult DDERR_TOOBIGWIDTH = MakeDDHResult(490);
constexpr HResult DDERR_UNSUPPORTEDFORMAT = MakeDDHResult(510);
constexpr HResult DDERR_UNSUPPORTEDMASK = MakeDDHResult(520);
constexpr HResult DDERR_VERTICALBLANKINPROGRESS = MakeDDHResult(537);
constexpr HResult DDERR_WASSTILLDRAWING = MakeDDHResult(540);
constexpr HResult DDERR_XALIGN = MakeDDHResult(560);
constexpr HResult DDERR_INVALIDDIRECTDRAWGUID = MakeDDHResult(561);
constexpr HResult DDERR_DIRECTDRAWALREADYCREATED = MakeDDHResult(562);
constexpr HResult DDERR_NODIRECTDRAWHW = MakeDDHResult(563);
constexpr HResult DDERR_PRIMARYSURFACEALREADYEXISTS = MakeDDHResult(564);
constexpr HResult DDERR_NOEMULATION = MakeDDHResult(565);
constexpr HResult DDERR_REGIONTOOSMALL = MakeDDHResult(566);
constexpr HResult DDERR_CLIPPERISUSINGHWND = MakeDDHResult(567);
constexpr HResult DDERR_NOCLIPPERATTACHED = MakeDDHResult(568);
constexpr HResult DDERR_NOHWND = MakeDDHResult(569);
constexpr HResult DDERR_HWNDSUBCLASSED = MakeDDHResult(570);
constexpr HResult DDERR_HWNDALREADYSET = MakeDDHResult(571);
constexpr HResult DDERR_NOPALETTEATTACHED = MakeDDHResult(572);
constexpr HResult DDERR_NOPALETTEHW = MakeDDHResult(573);
constexpr HResult DDERR_BLTFASTCANTCLIP = MakeDDHResult(574);
constexpr HResult DDERR_NOBLTHW = MakeDDHResult(575);
constexpr HResult DDERR_NODDROPSHW = MakeDDHResult(576);
constexpr HResult DDERR_OVERLAYNOTVISIBLE = MakeDDHResult(577);
constexpr HResult DDERR_NOOVERLAYDEST = MakeDDHResult(578);
constexpr HResult DDERR_INVALIDPOSITION = MakeDDHResult(579);
constexpr HResult DDERR_NOTAOVERLAYSURFACE = MakeDDHResult(580);
constexpr HResult DDERR_EXCLUSIVEMODEALREADYSET = MakeDDHResult(581);
constexpr HResult DDERR_NOTFLIPPABLE = MakeDDHResult(582);
constexpr HResult DDERR_CANTDUPLICATE = MakeDDHResult(583);
constexpr HResult DDERR_NOTLOCKED = MakeDDHResult(584);
constexpr HResult DDERR_CANTCREATEDC = MakeDDHResult(585);
constexpr HResult DDERR_NODC = MakeDDHResult(586);
constexpr HResult DDERR_WRONGMODE = MakeDDHResult(587);
constexpr HResult DDERR_IMPLICITLYCREATED = MakeDDHResult(588);
constexpr HResult DDERR_NOTPALETTESURFACE = MakeDDHResult(589);
constexpr HResult DDERR_UNSUPPORTEDMODE = MakeDDHResult(590);

/// Video: request and description flags.
constexpr uint32_t DDSCL_FULLSCREEN = 0x0001u;
constexpr uint32_t DDSCL_NORMAL = 0x0008u;
constexpr uint32_t DDSCL_EXCLUSIVE = 0x0010u;

constexpr uint32_t DDSD_CAPS = 0x0001u;
constexpr uint32_t DDSD_HEIGHT = 0x0002u;
constexpr uint32_t DDSD_WIDTH = 0x0004u;
constexpr uint32_t DDSD_PITCH = 0x0008u;
constexpr uint32_t DDSD_BACKBUFFERCOUNT = 0x0020u;
constexpr uint32_t DDSD_PIXELFORMAT = 0x1000u;

constexpr uint32_t DDSCAPS_BACKBUFFER = 0x0004u;
constexpr uint32_t DDSCAPS_COMPLEX = 0x0008u;
constexpr uint32_t DDSCAPS_FLIP = 0x0010u;
constexpr uint32_t DDSCAPS_OFFSCREENPLAIN = 0x0040u;
constexpr uint32_t DDSCAPS_PRIMARYSURFACE = 0x0200u;
constexpr uint32_t DDSCAPS_SYSTEMMEMORY = 0x0800u;
constexpr uint32_t DDSCAPS_VIDEOMEMORY = 0x4000u;

/// Size the original description structure had; requests carry it as a check.
constexpr uint32_t kSurfaceDescSize = 108;

/// A surface request (in) or description (out). Only the fields the engine
/// reads or writes exist here.
struct SurfaceDesc {
    uint32_t dwSize = 0;
    uint32_t dwFlags = 0;
    uint32_t dwHeight = 0;
    uint32_t dwWidth = 0;
    int32_t lPitch = 0;            ///< row length in bytes
    uint32_t dwBackBufferCount = 0;
    void* lpSurface = nullptr;     ///< first pixel, set by Lock
    uint32_t dwRGBBitCount = 0;    ///< pixel format: bits a pixel and channel masks
    uint32_t dwRBitMask = 0;
    uint32_t dwGBitMask = 0;
    uint32_t dwBBitMask = 0;
    uint32_t dwCaps = 0;
};

/// One queued message, as the window procedure receives it.
struct Message {
    WindowHandle window = nullptr;
    uint32_t message = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
};

/// The window procedure a registered class runs for every message.
using WindowProcFn = intptr_t (*)(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);

/// The machine. Every operation runs on the program's one thread.
class Platform {
public:
    virtual ~Platform() = default;

    // --- Windows and messages ------------------------------------------------
    /// Registers the window class; false on failure. The procedure is called
    /// synchronously for messages sent during window calls and for every
    /// dispatched message.
    virtual bool RegisterClass(const char* className, uint32_t style, WindowProcFn proc) = 0;
    /// Bits per pixel of the current display mode.
    virtual int GetScreenDepth() = 0;
    /// Pixels of the primary display.
    virtual int GetScreenWidth() = 0;
    virtual int GetScreenHeight() = 0;
    /// Creates a window with the given OUTER size (frame included); null on
    /// failure. Windows are never shown until ShowWindow.
    virtual WindowHandle CreateWindow(uint32_t exStyle, const char* className, const char* title, uint32_t style,
                                      int x, int y, int outerWidth, int outerHeight) = 0;
    /// Client-area size of a window.
    virtual void GetClientRect(WindowHandle window, int& width, int& height) = 0;
    virtual void ShowWindow(WindowHandle window, int showCommand) = 0;
    /// False on failure.
    virtual bool UpdateWindow(WindowHandle window) = 0;
    /// Sends WM_DESTROY to the window's procedure and removes the window.
    virtual void DestroyWindow(WindowHandle window) = 0;
    /// Default handling of a message.
    virtual intptr_t DefWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;
    /// Queues WM_QUIT with the exit code in wParam.
    virtual void PostQuitMessage(int exitCode) = 0;
    /// Takes the oldest waiting message; false at once when none waits (never
    /// blocks). Typed characters arrive already translated as WM_CHAR.
    virtual bool PeekMessage(Message& out) = 0;
    /// The window the user is working with, or null.
    virtual WindowHandle GetForegroundWindow() = 0;
    /// Screen position of a client-area point.
    virtual void ClientToScreen(WindowHandle window, int& x, int& y) = 0;
    /// Modal message box; returns when the user closes it.
    virtual int MessageBox(WindowHandle owner, const char* text, const char* caption, uint32_t flags) = 0;

    // --- Video ---------------------------------------------------------------
    virtual HResult DirectDrawCreate(DirectDrawHandle& out) = 0;
    virtual HResult SetCooperativeLevel(DirectDrawHandle dd, WindowHandle window, uint32_t flags) = 0;
    virtual HResult SetDisplayMode(DirectDrawHandle dd, int width, int height, int bitsPerPixel) = 0;
    /// Creates a surface from a request (dwFlags says which fields count).
    virtual HResult CreateSurface(DirectDrawHandle dd, const SurfaceDesc& request, SurfaceHandle& out) = 0;
    virtual HResult GetAttachedSurface(SurfaceHandle surface, uint32_t caps, SurfaceHandle& out) = 0;
    virtual HResult GetSurfaceDesc(SurfaceHandle surface, SurfaceDesc& desc) = 0;
    /// Exclusive access to the whole surface until Unlock; fills lpSurface and
    /// lPitch. Waits while the surface is busy.
    virtual HResult Lock(SurfaceHandle surface, SurfaceDesc& desc) = 0;
    virtual HResult Unlock(SurfaceHandle surface) = 0;
    /// Shows the back buffer of a flip chain (waits for the hardware).
    virtual HResult Flip(SurfaceHandle primary) = 0;
    /// Unscaled copy of the whole source onto dest at (x, y); fails when that
    /// rectangle does not lie entirely on dest.
    virtual HResult BltFast(SurfaceHandle dest, int x, int y, SurfaceHandle source) = 0;
    /// DDERR_SURFACELOST when the surface's memory was taken away, else DD_OK.
    virtual HResult IsLost(SurfaceHandle surface) = 0;
    /// Gives a lost surface its memory back; contents are not kept.
    virtual HResult Restore(SurfaceHandle surface) = 0;
    /// Text on a surface: GetDC fails with a negative result.
    virtual HResult GetDC(SurfaceHandle surface) = 0;
    /// Draws only the glyphs (transparent background) in colour 0x00BBGGRR.
    virtual void TextOut(SurfaceHandle surface, int x, int y, const char* text, int length, uint32_t color) = 0;
    virtual void ReleaseDC(SurfaceHandle surface) = 0;
    virtual void ReleaseSurface(SurfaceHandle surface) = 0;
    virtual void ReleaseDirectDraw(DirectDrawHandle dd) = 0;

    // --- Sound ---------------------------------------------------------------
    /// Effects are loaded once and mixed on a few voices; a play that finds
    /// every voice busy takes the one that has played longest. Volume runs from
    /// 0 (silent) to 1; pan from -1 (left only) through 0 (both sides at full
    /// volume) to 1 (right only).
    //
    /// Opens the audio output; false, with the reason in `why`, when there is
    /// none. Calling it again when open does nothing.
    virtual bool OpenAudio(std::string& why) {
        why = "this platform has no sound";
        return false;
    }
    /// Loads a WAV file (the path as the file layer resolves it); a handle of 1
    /// or more, or 0 when the file cannot be read or the audio is not open.
    /// The backend owns the effect until it closes.
    virtual int LoadSound(const char*) { return 0; }
    /// Starts an effect once, or over and over (loop) until StopSound.
    virtual void PlaySound(int /*sound*/, float /*volume*/, float /*pan*/, bool /*loop*/) {}
    /// Stops every voice playing the effect, with a fade of a few milliseconds
    /// so that nothing clicks.
    virtual void StopSound(int) {}
    virtual void StopAllSounds() {}

    // --- The game's own settings ----------------------------------------------
    /// Items a game keeps between runs (a best score), by name. A backend
    /// with a settings file keeps them there; this one keeps them for the
    /// run only. Reading: false when the item was never set.
    virtual bool ReadGameSetting(const std::string& name, std::string& value) {
        auto it = gameSettings.find(name);
        if (it == gameSettings.end()) return false;
        value = it->second;
        return true;
    }
    /// Sets and keeps the item; false (with the reason in `why`) when it
    /// could not be kept beyond the run.
    virtual bool WriteGameSetting(const std::string& name, const std::string& value, std::string& why) {
        gameSettings[name] = value;
        why.clear();
        return true;
    }

protected:
    std::map<std::string, std::string> gameSettings;
};

/// The platform in use. Set once before the engine starts; not owned.
Platform& Current();
void SetCurrent(Platform* platform);
/// The installed backend, or null (for code that installs one for a while).
Platform* CurrentOrNull();

/// The character a key types that no backend reports as text of its own
/// (Escape 27, Enter 13, Backspace 8, Tab 9); 0 for every other key. Backends
/// send it as WM_CHAR after the key-down.
int ControlCharacterOfKey(int virtualKey);

}  // namespace platform
