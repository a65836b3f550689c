// The program on a desktop: the SDL2 backend under the engine's entry point.
#include "engine/windows_dx.h"
#include "platform/sdl/sdl_platform.h"

int main() {
    std::unique_ptr<platform::Platform> sdl = platform::CreateSdlPlatform();
    platform::SetCurrent(sdl.get());
    const int code = WinMain(nullptr, nullptr, "", 1);
    // The engine's surfaces are gone (CleanUp, or a start-up that never made
    // them); the windows and SDL go with the backend.
    sdl.reset();
    platform::SetCurrent(nullptr);
    return code;
}
