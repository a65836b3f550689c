#include "engine/audio.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "base/debug_log.h"
#include "base/init_order.h"
#include "file/data_path.h"
#include "platform/platform.h"

Audio audio TARVO_INIT_ENGINE;

bool Audio::Open() {
    loops.clear();
    std::string why;
    open = platform::Current().OpenAudio(why);
    if (!open) {
        char line[300];
        std::snprintf(line, sizeof line, "Audio: No sound output (%.200s); the game runs silent. (Warning only)\n",
                      why.c_str());
        debugLog.Write(line, debugTail);
    }
    return open;
}

void Audio::Close() {
    // The backend owns its device and what plays on it; it may already be gone.
    open = false;
    loops.clear();
}

int Audio::Load(const char* name) {
    if (!open) return 0;
    const int effect = platform::Current().LoadSound(FindDataFile(name).c_str());
    if (effect == 0) {
        char line[300];
        std::snprintf(line, sizeof line, "Audio: Cannot load %.200s (Warning only)\n", name);
        debugLog.Write(line, debugTail);
    }
    return effect;
}

void Audio::Play(int effect, float volume, float pan) {
    if (!open || muted || effect == 0) return;
    platform::Current().PlaySound(effect, volume, pan, false);
}

void Audio::StartLoop(int effect, float volume, float pan) {
    if (!open || effect == 0) return;
    for (const Loop& loop : loops)
        if (loop.effect == effect) return;
    loops.push_back({effect, volume, pan});
    if (!muted) platform::Current().PlaySound(effect, volume, pan, true);
}

void Audio::StopLoop(int effect) {
    auto it = std::find_if(loops.begin(), loops.end(), [&](const Loop& loop) { return loop.effect == effect; });
    if (it == loops.end()) return;
    loops.erase(it);
    if (open && !muted) platform::Current().StopSound(effect);
}

void Audio::SetMuted(bool mute) {
    if (mute == muted) return;
    muted = mute;
    if (muteObserver) muteObserver(muted);
    if (!open) return;
    if (muted) {
        platform::Current().StopAllSounds();
    } else {
        for (const Loop& loop : loops) platform::Current().PlaySound(loop.effect, loop.volume, loop.pan, true);
    }
}
