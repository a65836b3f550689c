/// @file
/// Audio: the engine's sound effects, over the platform's mixer.
///
/// The game loads its effects by name and plays them with a volume and a pan;
/// around that the engine keeps what every game needs: one attempt to open the
/// audio output, reported by one line in the debug log when it fails (the
/// program then runs on in silence, never with a message box), effect files
/// found in the data folders like the pictures, and muting (the M key, or
/// --mute at start) that silences at once and lets running loops come back
/// when sound returns.
///
/// Depends on the platform seam, the debug log and the file layer's data
/// folders. Volume 0..1; pan -1 (left) .. 1 (right). Effect ids are the
/// platform's handles: 0 means none, and every call with 0 does nothing.
#pragma once

#include <functional>
#include <utility>
#include <vector>

class Audio {
public:
    /// Opens the platform's audio output. On failure: one line in the debug
    /// log, and every later call does nothing.
    bool Open();
    bool IsOpen() const { return open; }
    /// Forgets the output and its loops (the backend owns the device); the
    /// engine calls it when it ends, so that a later run (another backend, say,
    /// in a game's tests) opens its own. Muting is kept.
    void Close();
    /// Loads an effect found like the pictures ("Sounds\\player_shot.wav"):
    /// its id, or 0 (logged) when it cannot be loaded. 0 without a log line
    /// when the output is not open.
    int Load(const char* name);
    /// Plays an effect once; nothing while muted.
    void Play(int effect, float volume, float pan);
    /// Starts an effect looping until StopLoop; a loop already running stays
    /// as it is. Muting silences it and unmuting starts it again.
    void StartLoop(int effect, float volume, float pan);
    void StopLoop(int effect);
    void SetMuted(bool mute);
    void ToggleMute() { SetMuted(!muted); }
    bool Muted() const { return muted; }
    /// Called with the new state each time muting changes (the desktop
    /// remembers it); none by default.
    void OnMuteChanged(std::function<void(bool muted)> observer) { muteObserver = std::move(observer); }

private:
    struct Loop {
        int effect;
        float volume, pan;
    };
    bool open = false;
    bool muted = false;
    std::vector<Loop> loops;  ///< asked for and not yet stopped, muted or not
    std::function<void(bool)> muteObserver;
};

extern Audio audio;
