// The scripted backend's sound: nothing is heard; each request is recorded
// with the frame it was asked in, and only real WAV files load.
#include <cstring>
#include <fstream>

#include "platform/scripted/scripted_platform.h"

namespace platform {

bool ScriptedPlatform::OpenAudio(std::string& why) {
    if (!audioAvailable) {
        why = "no audio device";
        return false;
    }
    audioOpen = true;
    return true;
}

int ScriptedPlatform::LoadSound(const char* path) {
    if (!audioOpen) return 0;
    // Only a file that is there and says it is a WAV file loads, so a game
    // that looks in the wrong place is found out.
    std::ifstream in(path, std::ios::binary);
    char header[12] = {};
    in.read(header, sizeof header);
    if (!in || std::memcmp(header, "RIFF", 4) != 0 || std::memcmp(header + 8, "WAVE", 4) != 0) return 0;
    loadedSounds.push_back(path);
    return static_cast<int>(loadedSounds.size());
}

std::string ScriptedPlatform::SoundName(int sound) const {
    if (sound < 1 || sound > static_cast<int>(loadedSounds.size())) return "";
    std::string name = loadedSounds[static_cast<size_t>(sound) - 1];
    const size_t slash = name.find_last_of('/');
    if (slash != std::string::npos) name.erase(0, slash + 1);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    return name;
}

void ScriptedPlatform::PlaySound(int sound, float volume, float pan, bool loop) {
    const std::string name = SoundName(sound);
    if (name.empty()) return;
    sounds.push_back({framesRun - 1, loop ? "loop" : "play", name, volume, pan});
}

void ScriptedPlatform::StopSound(int sound) {
    const std::string name = SoundName(sound);
    if (name.empty()) return;
    sounds.push_back({framesRun - 1, "stop", name});
}

void ScriptedPlatform::StopAllSounds() { sounds.push_back({framesRun - 1, "stopall", ""}); }

std::vector<ScriptedPlatform::SoundRecord> ScriptedPlatform::SoundsOfFrame(int frame) const {
    std::vector<SoundRecord> out;
    for (const SoundRecord& record : sounds)
        if (record.frame == frame) out.push_back(record);
    return out;
}

}  // namespace platform
