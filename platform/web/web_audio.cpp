// Sound through the page's Web Audio: the program reads the effects' WAV
// files and hands them to the page, which decodes, plays and fades them.
#include <fstream>
#include <iterator>

#include "platform/web/web_backend.h"

namespace platform {

bool BrowserPlatform::OpenAudio(std::string& why) {
    if (!audioOpen && PageOpenAudio() == 0) {
        why = "this browser has no Web Audio";
        return false;
    }
    audioOpen = true;
    return true;
}

int BrowserPlatform::LoadSound(const char* path) {
    if (!audioOpen) return 0;
    std::ifstream file(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (bytes.empty()) return 0;
    return PageLoadSound(bytes.data(), static_cast<int>(bytes.size()));
}

void BrowserPlatform::PlaySound(int sound, float volume, float pan, bool loop) {
    if (audioOpen && sound > 0) PagePlaySound(sound, volume, pan, loop ? 1 : 0);
}

void BrowserPlatform::StopSound(int sound) {
    if (audioOpen && sound > 0) PageStopSound(sound);
}

void BrowserPlatform::StopAllSounds() {
    if (audioOpen) PageStopSound(0);
}

}  // namespace platform
