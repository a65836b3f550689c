// The program on a desktop: the SDL2 backend under the engine's entry point.
//
//   tarvo [--scale N] [--record FILE] [--mute] | --version
//
// --scale N shows the window N times its size (1 to 8, and no larger than
// the usable desktop takes; by default the largest that fits the desktop,
// chosen again when the display changes). --record FILE writes the keys the
// game reads as a key script that tarvo-replay plays back; FILE must not
// exist yet. --mute
// starts with the sound off (M turns it on). --version prints the engine's
// version and ends with status 0. Anything else is refused with a
// message on standard error and exit status 2.
#include <tarvo/version.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/audio.h"
#include "engine/key_recorder.h"
#include "engine/windows_dx.h"
#include "platform/sdl/sdl_platform.h"
#include "platform/signals.h"
#include "platform/window_scale.h"

namespace {

// The game's main window: the engine makes it one pixel smaller each way
// than the game's Initialize(false, 756, 512) asks for.
constexpr int kGameWidth = 755;
constexpr int kGameHeight = 511;

int Usage(const std::string& problem) {
    std::fprintf(stderr, "tarvo: %s\nusage: tarvo [--scale N] [--record FILE] [--mute]\n", problem.c_str());
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
    platform::SdlOptions options;
    std::string recordPath;
    bool record = false;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const bool hasValue = i + 1 < argc;
        if (option == "--scale" && hasValue) {
            if (!ParseScale(argv[++i], options.scale))
                return Usage("--scale takes a whole number from 1 to 8, not '" + std::string(argv[i]) + "'");
        } else if (option == "--record" && hasValue) {
            recordPath = argv[++i];
            record = true;
        } else if (option == "--mute") {
            audio.SetMuted(true);
        } else if (option == "--version") {
            std::printf("tarvo %s\n", TARVO_VERSION);
            return 0;
        } else if (option == "--help" || option == "-h") {
            Usage("the game; Escape quits");
            return 0;
        } else if ((option == "--scale" || option == "--record") && !hasValue) {
            return Usage("option '" + option + "' needs a value");
        } else {
            return Usage("unknown option '" + option + "'");
        }
    }
    // Before SDL starts, so that it leaves these handlers in place.
    platform::EndOnInterruptAndTerminate();
    std::unique_ptr<platform::Platform> sdl = platform::CreateSdlPlatform(options);
    // A window too big for the desktop would stay black: refused before start.
    std::string why;
    if (!platform::SdlScaleFits(*sdl, kGameWidth, kGameHeight, why)) return Usage(why);
    std::string error;
    if (record && !keyRecorder.Start(recordPath, error)) return Usage(error);

    platform::SetCurrent(sdl.get());
    const int code = WinMain(nullptr, nullptr, "", 1);
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
