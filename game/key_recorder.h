// KeyRecorder: writes what the game reads of its keys as a key script
// (game/key_script.h), so that `tarvo-replay FILE N` replays a session exactly.
//
// The game samples the held state of its six keys at the start of every
// run(); a line `FRAME down|up KEY` is written for each key whose state
// differs from the sample before, FRAME being that run() call's 0-based
// index. Only what the game reads is recorded, so focus changes, key repeat
// and keys the game ignores cannot make a replay differ. Each line is flushed
// at once: a recording survives a crash.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

class KeyRecorder {
public:
    KeyRecorder() = default;
    ~KeyRecorder();
    KeyRecorder(const KeyRecorder&) = delete;
    KeyRecorder& operator=(const KeyRecorder&) = delete;

    // Starts recording into `path`, which must not exist yet: a recording is
    // never written over another file. False with the reason in `error`.
    bool Start(const std::string& path, std::string& error);
    // The game's keys at the start of a run() call; nothing while not recording.
    void Sample();
    void Stop();
    bool IsRecording() const { return file != nullptr; }

private:
    std::FILE* file = nullptr;
    int frame = 0;
    uint8_t held[6] = {};
};

extern KeyRecorder keyRecorder;
