// The engine object and its start-up sequence.
#include "engine/windows_dx.h"

#include <cstdio>

#include "base/debug_log.h"
#include "base/game_info.h"
#include "base/init_order.h"
#include "draw/blit.h"
#include "image/tiff_image.h"

WindowsDX Tarvo TARVO_INIT_ENGINE;

// The slot functions draw on this object; a game never builds a second.
WindowsDX::WindowsDX() { SetBlitTarget(this); }

WindowsDX::~WindowsDX() = default;

void WindowsDX::SetInstance(platform::InstanceHandle instance, int show) {
    appInstance = instance;
    showCommand = show;
}

bool WindowsDX::Initialize(int fullscreenRequest, int xres, int yres) {
    requestFullscreen = fullscreenRequest;
    requestWidth = xres;
    requestHeight = yres;
    // The log of a run starts here: the reopen truncates what static start-up wrote.
    debugLog.Open("debug.txt");
    ForgetMissingPictures();
    debugLog.Write("WindowsDX: Initialization started.\n", debugTail);
    const TarvoGameInfo& game = DeclaredGame();
    if (game.width > 0 && (game.width != xres || game.height != yres)) {
        char line[160];
        std::snprintf(line, sizeof line, "Game: declared %d x %d, Initialize asks %d x %d; the window takes %d x %d.\n",
                      game.width, game.height, xres, yres, xres, yres);
        debugLog.Write(line, debugTail);
    }
    if (!InitWindows()) return false;
    if (!InitDirectDraw()) return false;
    debugLog.Write("WindowsDX: Initialization finished OK.\n", debugTail);
    return true;
}

bool WindowsDX::InitWindows() {
    if (!RegisterWindowClass()) return false;
    if (!CreateWindows()) return false;
    return ShowMainWindow();
}

bool WindowsDX::InitDirectDraw() {
    if (!StartDirectDraw()) return false;
    if (!CreateSurface()) return false;
    // Characters typed while the engine was starting are not the game's.
    keyCount = 0;
    return true;
}

namespace {

struct StartupReport {
    int status;
    const char* first;
    const char* second;
};

const char kTextW[] =
    "Are you using Windows 98/2000/NT? Tarvo requires one of these. Still having trouble? Please report error and "
    "system configuration.";
const char kTextD[] =
    "Are you using DirectX SDK 3.1 or 8.1? Tarvo requires one of these. Still having trouble? Please report error "
    "and system configuration.";
const char kTextR[] =
    "The requested game size must be smaller than the current screen settings. Reduce requested size to less than "
    "the screen size or use fullscreen mode.\n\nIf you are unsure of screen size initialize Tarvo as "
    "follows:\n\nTarvo.Initialize (false, 700, 500);";
const char kTextB[] =
    "Tarvo supports 16-bit screen depths ONLY!\n\nPlease adjust your screen depth to 16-bit as follows:\n- Right "
    "click on desktop\n- Select Properties\n- Goto Settings Tab\n- Select High Color (16-bit)";

const StartupReport kReports[] = {
    {NO_INIT, "Error: NO_INIT (User did not initialize Tarvo)",
     "You must start Tarvo by calling:\n  Tarvo.Initialize (fullscreen, xres, yres)\n\nfrom the initialize() "
     "function. See documentation for starting Tarvo."},
    {INITCLASS_FAILED, "Error: INITCLASS_FAILED (Cannot Initialize Window Class)", kTextW},
    {INITWINTEMP_FAILED, "Error: INITWINTEMP_FAILED (Cannot Initialize Temp Window)", kTextW},
    {INITWINREAL_FAILED, "Error: INITWINREAL_FAILED (Cannot Initialize Main Window)", kTextW},
    {SHOWWIN_FAILED, "Error: SHOWWIN_FAILED (Unable to show Main Window)", kTextW},
    {DDSTART_FAILED, "Error: DDSTART_FAILED (Unable to start DirectX)", kTextD},
    {DDSETLEVEL_FAILED, "Error: DDSETLEVEL_FAILED (Unable to set DirectX Cooperative Level)", kTextD},
    {SETMODE_FAILED, "Error: SETMODE_FAILED (Unable to set screen mode)", kTextD},
    {FRONTSURFACE_FAILED, "Error: FRONTSURFACE_FAILED (Unable to create primary surface)", kTextD},
    {BACKSURFACE_FAILED, "Error: BACKSURFACE_FAILED (Unable to create secondary surface)", kTextD},
    {REQSIZE_FAILED, "Error: REQSIZE_FAILED (Requested size too large)", kTextR},
    {BPP_FAILED, "Error: BPP_FAILED (Screen depth not supported)", kTextB},
    // Not start-up failures, but reported the same way.
    {LOCK_FAILED, "Error: LOCK_FAILED (Unable to lock secondary surface)",
     "The picture could not be drawn this frame. Another program may be using the screen. Still having trouble? "
     "Please report error and system configuration."},
};

}  // namespace

void WindowsDX::ShowStartupError() {
    const char* first = nullptr;
    const char* second = nullptr;
    for (const StartupReport& report : kReports) {
        if (report.status == status) {
            first = report.first;
            second = report.second;
        }
    }
    // Codes that are not failures (the even ones and INIT_OK) have no row.
    char unknownFirst[64];
    if (first == nullptr) {
        std::snprintf(unknownFirst, sizeof unknownFirst, "Error: status %d (Not a start-up failure)",
                      static_cast<int>(status));
        first = unknownFirst;
        second = "Tarvo reported a status that is not a failure. Please report error and system configuration.";
    }
    const char* game = DeclaredGame().title;
    const int length = std::snprintf(nullptr, 0, "Unable to start %s.\n\n%s\n\n%s", game, first, second);
    std::vector<char> message(static_cast<size_t>(length) + 1);
    std::snprintf(message.data(), message.size(), "Unable to start %s.\n\n%s\n\n%s", game, first, second);
    platform::Current().MessageBox(nullptr, message.data(), game, platform::MB_OK);

    const int lineLength = std::snprintf(nullptr, 0, "Tarvo %s\n", first);
    std::vector<char> line(static_cast<size_t>(lineLength) + 1);
    std::snprintf(line.data(), line.size(), "Tarvo %s\n", first);
    debugLog.Write(line.data(), debugTail);
}

bool WindowsDX::CleanUp() {
    ReleaseDirectDraw();
    return true;
}

void WindowsDX::ReleaseDirectDraw() {
    platform::Platform& p = platform::Current();
    if (backSurface != nullptr) {
        p.ReleaseSurface(backSurface);
        backSurface = nullptr;
    }
    if (primarySurface != nullptr) {
        p.ReleaseSurface(primarySurface);
        primarySurface = nullptr;
    }
    if (directDraw != nullptr) {
        p.ReleaseDirectDraw(directDraw);
        directDraw = nullptr;
    }
}
