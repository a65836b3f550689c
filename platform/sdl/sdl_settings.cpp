// The settings the player changes while playing (full screen, mute, a
// resized window's scale) and the game's own items, written as they change.
#include <string>

#include "base/debug_log.h"
#include "platform/sdl/sdl_backend.h"

namespace platform {

void SdlPlatform::WriteStartupLog() {
    for (const std::string& line : startupLog) debugLog.Write((line + "\n").c_str(), debugTail);
    startupLog.clear();
}

// Writes what is remembered: every item changed so far in this run (so a
// change whose save failed goes with the next), and only those, so the rest
// of the player's file stays as it is. A file that cannot be written is said
// once; the game plays on.
void SdlPlatform::Remember(SettingItems changed) {
    std::string why;
    SaveChanges(changed, why);
}

bool SdlPlatform::SaveChanges(SettingItems changed, std::string& why) {
    if (settingsPath.empty()) {
        why = "there is no settings file to keep it in";
        return false;
    }
    changedSettings |= changed;
    if (SaveSettings(settingsPath, remembered, changedSettings, why, changedGameSettings)) return true;
    if (!saveFailed) debugLog.Write(("Settings: not saved: " + why + "; the game plays on.\n").c_str(), debugTail);
    saveFailed = true;
    return false;
}

bool SdlPlatform::ReadGameSetting(const std::string& name, std::string& value) {
    auto it = remembered.game.find(name);
    if (it == remembered.game.end()) return false;
    value = it->second;
    return true;
}

// Kept for the run whatever happens to the file; saved at once.
bool SdlPlatform::WriteGameSetting(const std::string& name, const std::string& value, std::string& why) {
    remembered.game[name] = value;
    changedGameSettings.insert(name);
    return SaveChanges(0, why);
}

void SdlPlatform::MuteChanged(bool mute) {
    lastMuted = mute;
    remembered.mute = mute;
    Remember(kSettingMute);
}

// For an owner that does not say when mute changes: asked as the backend ends.
void SdlPlatform::WatchMute() {
    if (muted && muted() != lastMuted) MuteChanged(!lastMuted);
}

}  // namespace platform
