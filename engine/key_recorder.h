// KeyRecorder: writes what the game reads of its keys as a key script
// (engine/key_script.h), so that `tarvo-replay FILE N` replays a session exactly.
//
// The entry point's message loop samples the held state of every virtual key
// (1 to 254), as the game reads it, just before every run() call; a line
// `FRAME down|up KEY` is written for each key whose state differs from the
// sample before, in the order of the keys' codes, FRAME being that run()
// call's 0-based index. Only what the game can read is recorded, so focus
// changes and key repeat cannot make a replay differ. Each line is flushed at
// once: a recording survives a crash.
//
// The file starts with a comment saying what it is; a recording made with a
// `madeBy` (the game's name and version) starts with `# recorded by MADEBY`
// before it.
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
    // folder that exists. `madeBy`, when not empty, says which game records;
    // it must fit on one line of the script. Nothing is created yet. False
    // with the reason in `error`.
    bool Start(const std::string& path, std::string& error, std::string madeBy = {});
    // The keys before a run() call; nothing while not recording.
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
    std::string maker;  // what Start was given as madeBy
    std::FILE* file = nullptr;
    bool failed = false;
    int frame = 0;
    uint8_t held[256] = {};  // by virtual key
};

extern KeyRecorder keyRecorder;
