// The settings the player changes while playing (full screen, mute, a
// resized window's scale), written as they change.
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
    if (settingsPath.empty()) return;
    changedSettings |= changed;
    std::string why;
    if (SaveSettings(settingsPath, remembered, changedSettings, why) || saveFailed) return;
    saveFailed = true;
    debugLog.Write(("Settings: not saved: " + why + "; the game plays on.\n").c_str(), debugTail);
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
