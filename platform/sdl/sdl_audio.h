// The SDL backend's sound, one object the platform owns: SDL2_mixer's
// chunks and voices, each voice's own fader, and the loops kept while the
// output device is gone. Only this folder includes it.
#pragma once

#include <SDL.h>
#include <SDL_mixer.h>

#include <array>
#include <atomic>
#include <string>
#include <vector>

namespace platform {

// The mixer: CD rate, stereo, 16-bit; a buffer of 1024 sample frames keeps
// the delay from a frame's event to its sound near 23 ms.
constexpr int kMixRate = 44100;
constexpr int kMixBufferFrames = 1024;
constexpr int kVoices = 16;
constexpr int kStopFadeMs = 40;

// A voice's own gain, applied sample by sample in the mixer's thread: a
// stop fades out smoothly, where the mixer's own fades change the volume
// once a buffer, in steps that click. The main thread only starts a fade
// (step) and halts the voice once it has reached silence (gain 0).
struct VoiceFade {
    std::atomic<float> gain{1};
    std::atomic<float> step{0};  // gain lost a sample frame; 0 while not fading
};

class SdlAudio {
public:
    SdlAudio() = default;
    ~SdlAudio() { Close(); }
    SdlAudio(const SdlAudio&) = delete;
    SdlAudio& operator=(const SdlAudio&) = delete;

    // Opens the output (SDL's audio subsystem with it); false with the reason.
    bool Open(std::string& why);
    // Lets the output and every chunk go; before SDL itself quits.
    void Close();
    // An output device came or went.
    void DeviceEvent(const SDL_AudioDeviceEvent& device, bool added);

    // A handle from 1, or 0 when the output is closed or the file does not load.
    int Load(const char* path);
    void Play(int sound, float volume, float pan, bool loop);
    void Stop(int sound);
    void StopAll();
    // Voices sounding now; 0 while the output is closed or gone.
    int VoicesPlaying() const;

private:
    // A loop a voice plays (sound 0: none, or a single play).
    struct LoopingVoice {
        int sound = 0;
        float volume = 0, pan = 0;
    };
    void StartMixer();
    void FadeOut(int channel);
    void HaltFadedVoices();
    Mix_Chunk* ChunkOf(int sound) const;

    bool open = false;
    bool lost = false;                    // the device went; waiting for one to come
    std::vector<Mix_Chunk*> chunks;       // owned; handle i + 1
    std::vector<std::string> soundPaths;  // chunks' files, to load them again
    std::array<LoopingVoice, kVoices> voices;
    std::vector<LoopingVoice> wantedLoops;  // to sound again when a device comes back
    std::array<VoiceFade, kVoices> fades;
};

}  // namespace platform
