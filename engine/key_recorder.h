// KeyRecorder: writes what the game reads of its keys as a key script
// (engine/key_script.h), so that `tarvo-replay FILE N` replays a session exactly.
//
// The entry point's message loop samples the held state of the game's six
// keys just before every run() call; a line `FRAME down|up KEY` is written
// for each key whose state differs from the sample before, FRAME being that
// run() call's 0-based index. Only what the game reads is recorded, so focus
// changes, key repeat and keys the game ignores cannot make a replay differ.
// Each line is flushed at once: a recording survives a crash.
//
// The file is created at the first sample, once the program has started, so
// a start that fails leaves no file behind. Every write is checked: a
// recording that cannot be written is said on standard error and in the
// debug log, stops, and stays failed so that the program can exit non-zero.
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

    // Prepares a recording into `path`, which must be a name, must not exist
    // yet (a recording is never written over another file) and must lie in a
    // folder that exists. Nothing is created yet. False with the reason in
    // `error`.
    bool Start(const std::string& path, std::string& error);
    // The game's keys before a run() call; nothing while not recording.
    void Sample();
    // Closes the file (checked like every write).
    void Stop();
    bool IsRecording() const { return !path.empty(); }
    // True once a write has failed; cleared only by the next Start.
    bool Failed() const { return failed; }

private:
    bool Create();
    bool Write(const char* text);
    void Fail(const char* what);

    std::string path;  // empty: not recording
    std::FILE* file = nullptr;
    bool failed = false;
    int frame = 0;
    uint8_t held[6] = {};
};

extern KeyRecorder keyRecorder;
