// The program on a desktop: the SDL2 backend under the engine's entry point.
//
//   tarvo [--fullscreen | --window] [--scale N] [--mute] [--record FILE] [--settings FILE]
//   tarvo --version | --help
//
// --scale N shows the window N times its size (1 to 8, and no larger than
// the usable desktop takes; by default the largest that fits the desktop,
// chosen again when the display changes). --record FILE writes the keys the
// game reads as a key script that tarvo-replay plays back; FILE must not
// exist yet. --mute starts with the sound off (M turns it on). --fullscreen
// and --window choose how the game starts (the later one counts).
// --settings FILE reads and writes the settings there instead of
// $XDG_CONFIG_HOME/tarvo/settings.ini. Options hold for this run only; they
// are never written to the settings. Anything else is refused with a message
// on standard error and exit status 2. --version prints the engine's version
// and --help every option, both on standard output with status 0.
#include <tarvo/version.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "engine/audio.h"
#include "engine/key_recorder.h"
#include "engine/windows_dx.h"
#include "platform/sdl/sdl_platform.h"
#include "platform/settings.h"
#include "platform/signals.h"
#include "platform/window_scale.h"

namespace {

// The game's main window: the engine makes it one pixel smaller each way
// than the game's Initialize(false, 756, 512) asks for.
constexpr int kGameWidth = 755;
constexpr int kGameHeight = 511;

constexpr const char kUsage[] =
    "usage: tarvo [--fullscreen | --window] [--scale N] [--mute] [--record FILE] [--settings FILE]\n";

constexpr const char kHelp[] =
    "The top-down space shooter. Space starts and fires, the arrows or W A S D steer,\n"
    "P pauses, M mutes, F11 or Alt+Enter toggles full screen, Escape quits.\n"
    "\n"
    "  --fullscreen     start in full screen\n"
    "  --window         start in a window\n"
    "  --scale N        show the window N times its size, 1 to 8 (default: the largest\n"
    "                   whole scale that suits the desktop)\n"
    "  --mute           start with the sound off\n"
    "  --record FILE    write the keys the game reads to FILE (a new file), for tarvo-replay\n"
    "  --settings FILE  read and write the settings in FILE instead of\n"
    "                   $XDG_CONFIG_HOME/tarvo/settings.ini (~/.config/tarvo/settings.ini)\n"
    "  --version        print the version and end\n"
    "  --help, -h       show this text\n"
    "\n"
    "Options hold for this run only. Full screen, the window's scale, mute and the\n"
    "key map are read from the settings file, and written to it when changed while\n"
    "playing; the game writes debug.txt in the working folder.\n";

int Usage(const std::string& problem) {
    std::fprintf(stderr, "tarvo: %s\n%s", problem.c_str(), kUsage);
    return 2;
}

bool ParseScale(const char* text, int& scale) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < platform::kMinWindowScale || value > platform::kMaxWindowScale)
        return false;
    scale = static_cast<int>(value);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    int scale = 0;
    std::string recordPath;
    bool record = false;
    bool mute = false;
    std::optional<bool> fullscreen;
    std::optional<std::string> settingsPath;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const bool hasValue = i + 1 < argc;
        if (option == "--scale" && hasValue) {
            if (!ParseScale(argv[++i], scale))
                return Usage("--scale takes a whole number from 1 to 8, not '" + std::string(argv[i]) + "'");
        } else if (option == "--record" && hasValue) {
            recordPath = argv[++i];
            record = true;
        } else if (option == "--settings" && hasValue) {
            settingsPath = argv[++i];
            if (settingsPath->empty()) return Usage("--settings needs a file name, not an empty one");
        } else if (option == "--mute") {
            mute = true;
        } else if (option == "--fullscreen" || option == "--window") {
            fullscreen = option == "--fullscreen";
        } else if (option == "--version") {
            std::printf("tarvo %s\n", TARVO_VERSION);
            return 0;
        } else if (option == "--help" || option == "-h") {
            std::printf("%s\n%s", kUsage, kHelp);
            return 0;
        } else if ((option == "--scale" || option == "--record" || option == "--settings") && !hasValue) {
            return Usage("option '" + option + "' needs a value");
        } else {
            return Usage("unknown option '" + option + "'");
        }
    }

    // The settings: what cannot be read keeps its default, and debug.txt
    // says so once the engine has opened it. A file that exists but could not
    // be read whole is never written over.
    platform::SdlOptions options;
    const std::string settingsFile = settingsPath.value_or(platform::DefaultSettingsPath());
    bool mayWrite = true;
    if (settingsFile.empty())
        options.startupLog.push_back("Settings: neither XDG_CONFIG_HOME nor HOME is set; defaults, not saved.");
    else
        options.remembered = platform::LoadSettings(settingsFile, platform::SdlKeyName, options.startupLog, mayWrite);
    options.settingsPath = mayWrite ? settingsFile : "";
    const platform::Settings& remembered = options.remembered;
    options.keys = remembered.keys;
    options.fullscreen = fullscreen.value_or(remembered.fullscreen);
    options.scale = scale > 0 ? scale : remembered.scale;
    audio.SetMuted(mute || remembered.mute);

    // Before SDL starts, so that it leaves these handlers in place.
    platform::EndOnInterruptAndTerminate();
    std::unique_ptr<platform::Platform> sdl = platform::CreateSdlPlatform(options);
    // A window too big for the desktop would stay black: refused before
    // start when asked for here, the desktop's scale instead of the settings'.
    std::string why;
    if (!platform::SdlScaleFits(*sdl, kGameWidth, kGameHeight, why)) {
        if (scale > 0) return Usage(why);
        options.startupLog.push_back("Settings: " + settingsFile + ": scale " + std::to_string(options.scale) +
                                     " does not fit this desktop (" + why + "); the desktop's is used.");
        options.scale = 0;
        sdl.reset();
        sdl = platform::CreateSdlPlatform(options);
    }
    std::string error;
    if (record && !keyRecorder.Start(recordPath, error)) return Usage(error);

    platform::SetCurrent(sdl.get());
    audio.OnMuteChanged([&sdl](bool muted) { platform::SdlMuteChanged(*sdl, muted); });
    const int code = WinMain(nullptr, nullptr, "", 1);
    audio.OnMuteChanged(nullptr);
    keyRecorder.Stop();
    // The recording's file is made only once the game has started, so a
    // failed start leaves none. One that could not be written has been
    // reported (standard error, debug.txt); the exit status says so too: 1.
    const bool recordingFailed = keyRecorder.Failed();
    // The engine's surfaces are gone (CleanUp, or a start-up that never made
    // them); the windows and SDL go with the backend.
    sdl.reset();
    platform::SetCurrent(nullptr);
    return recordingFailed ? 1 : code;
}
