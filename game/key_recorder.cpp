#include "game/key_recorder.h"

#include <cerrno>
#include <cstring>

#include "engine/init_order.h"
#include "engine/windows_dx.h"
#include "game/key_script.h"

KeyRecorder keyRecorder TARVO_INIT_GAME;

namespace {

constexpr int kGameKeys[6] = {platform::VK_SPACE, 'P', platform::VK_LEFT, platform::VK_UP, platform::VK_RIGHT,
                              platform::VK_DOWN};

}  // namespace

KeyRecorder::~KeyRecorder() { Stop(); }

bool KeyRecorder::Start(const std::string& path, std::string& error) {
    Stop();
    // "x": created here or not at all, so an existing file is never touched.
    file = std::fopen(path.c_str(), "wx");
    if (file == nullptr) {
        error = errno == EEXIST ? path + " already exists; a recording never replaces a file (choose another name)"
                                : path + ": " + std::strerror(errno);
        return false;
    }
    frame = 0;
    std::memset(held, 0, sizeof held);
    std::fputs("# tarvo key recording: replay with tarvo-replay FILE FRAMES\n", file);
    std::fflush(file);
    return true;
}

void KeyRecorder::Sample() {
    if (file == nullptr) return;
    bool wrote = false;
    for (int i = 0; i < 6; ++i) {
        const uint8_t now = Tarvo.IsKeyDown(kGameKeys[i]) ? 1 : 0;
        if (now == held[i]) continue;
        held[i] = now;
        const std::string line = FormatKeyEvent({frame, now != 0, kGameKeys[i]}) + "\n";
        std::fputs(line.c_str(), file);
        wrote = true;
    }
    if (wrote) std::fflush(file);
    ++frame;
}

void KeyRecorder::Stop() {
    if (file != nullptr) std::fclose(file);
    file = nullptr;
}
