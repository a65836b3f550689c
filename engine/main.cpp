// The program on a desktop: the SDL2 backend under the engine's entry point.
//
//   tarvo [--mute]
//
// --mute starts with the sound off (M turns it on). An unknown option is
// refused with a message on standard error and exit status 2.
#include <cstdio>
#include <cstring>

#include "engine/audio.h"
#include "engine/windows_dx.h"
#include "platform/sdl/sdl_platform.h"

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--mute") == 0) {
            audio.SetMuted(true);
        } else {
            std::fprintf(stderr, "tarvo: unknown option '%s'\nusage: tarvo [--mute]\n", argv[i]);
            return 2;
        }
    }
    std::unique_ptr<platform::Platform> sdl = platform::CreateSdlPlatform();
    platform::SetCurrent(sdl.get());
    const int code = WinMain(nullptr, nullptr, "", 1);
    // The engine's surfaces are gone (CleanUp, or a start-up that never made
    // them); the windows and SDL go with the backend.
    sdl.reset();
    platform::SetCurrent(nullptr);
    return code;
}
