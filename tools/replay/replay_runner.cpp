#include "tools/replay/replay_runner.h"

#include <new>

#include "base/pixel_format.h"
#include "engine/audio.h"
#include "engine/windows_dx.h"
#include "game/game.h"
#include "image/image.h"
#include "image/tiff_image.h"

ReplayResult RunReplay(platform::ScriptedPlatform& machine, const std::vector<KeyEvent>& events, int frames,
                       const std::function<void(int frame)>& afterFrame) {
    platform::Platform* previous = platform::CurrentOrNull();
    platform::SetCurrent(&machine);
    // A fresh program: the engine as constructed, the game's frame state and
    // random generator at their start values.
    Tarvo.~WindowsDX();
    new (&Tarvo) WindowsDX();
    audio = Audio();
    ResetGameState();

    ReplayResult result;
    PlayKeyScript(machine, events, frames, [&](int frame) {
        result.framesRun = frame + 1;
        if (afterFrame) afterFrame(frame);
    });
    result.exitCode = WinMain(nullptr, nullptr, "", 1);
    machine.beforeFrame = nullptr;
    platform::SetCurrent(previous);
    return result;
}

bool SaveBackBuffer(platform::ScriptedPlatform& machine, const std::string& path) {
    if (Tarvo.backSurface == nullptr) return false;
    const platform::ScriptedPlatform::Surface& surface = *machine.AsSurface(Tarvo.backSurface);
    Image picture;
    picture.Allocate(surface.width, surface.height, IMAGE_RGB24);
    if (picture.data == nullptr) return false;
    auto expand = [](uint32_t word, int32_t mask, int32_t shift, int32_t bits) {
        return WidenChannel((word & static_cast<uint32_t>(mask)) >> shift, bits);
    };
    const int stride = surface.pitchBytes / 2;
    for (int y = 0; y < surface.height; ++y)
        for (int x = 0; x < surface.width; ++x) {
            const uint16_t word = surface.pixels[static_cast<size_t>(y) * stride + x];
            uint8_t* out = picture.data + (static_cast<size_t>(y) * surface.width + x) * 3;
            out[0] = expand(word, redMask, redShift, redBits);
            out[1] = expand(word, greenMask, greenShift, greenBits);
            out[2] = expand(word, blueMask, blueShift, blueBits);
        }
    TiffImage writer;
    writer.colorClass = TIFF_RGB;
    writer.bits = 8;
    writer.Save(path.c_str(), &picture);
    return writer.done != 0;
}
