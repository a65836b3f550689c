// Sound: SDL2_mixer, 44100 Hz stereo, 16 voices. The audio output opens on
// its own, display or not; without a device OpenAudio says why and the rest
// of the program is unaffected. Stops fade out on the voice's own fader, so
// nothing clicks.
//
// A device that goes while playing (a USB or Bluetooth headset unplugged):
// one warning in the debug log, the mixer closes, and the game runs silent
// until a device comes back; then the mixer opens again, the effects are
// loaded again under the same handles and the loops that were sounding (or
// started since) sound again.
#include "platform/sdl/sdl_audio.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine/debug_log.h"
#include "platform/sdl/sdl_backend.h"

namespace platform {

namespace {

// The mixer's effect callback: `data` is the voice's VoiceFade, the stream
// 16-bit samples interleaved over `channels` (bound in `fadeChannels`).
int fadeChannels = 2;
void ApplyFade(int, void* stream, int bytes, void* data) {
    VoiceFade& fade = *static_cast<VoiceFade*>(data);
    const float step = fade.step.load();
    if (step == 0) return;
    float gain = fade.gain.load();
    auto* samples = static_cast<Sint16*>(stream);
    const int frames = bytes / (2 * fadeChannels);
    for (int i = 0; i < frames; ++i) {
        gain = std::max(0.0f, gain - step);
        for (int c = 0; c < fadeChannels; ++c) {
            Sint16& sample = samples[i * fadeChannels + c];
            sample = static_cast<Sint16>(std::lround(sample * gain));
        }
    }
    fade.gain.store(gain);
}

// Holds standard error shut for a while: ALSA prints its own complaints
// there when the machine has no sound card, and the program's standard error
// is for the user. The reason still reaches the debug log through SDL.
class QuietStandardError {
public:
    QuietStandardError() {
        std::fflush(stderr);
        saved = dup(STDERR_FILENO);
        const int null = open("/dev/null", O_WRONLY);
        if (saved >= 0 && null >= 0) dup2(null, STDERR_FILENO);
        if (null >= 0) close(null);
    }
    ~QuietStandardError() {
        if (saved < 0) return;
        std::fflush(stderr);
        dup2(saved, STDERR_FILENO);
        close(saved);
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

private:
    int saved = -1;
};

}  // namespace

bool SdlAudio::Open(std::string& why) {
    if (open) return true;
    QuietStandardError quiet;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        why = SDL_GetError();
        return false;
    }
    if (Mix_OpenAudio(kMixRate, AUDIO_S16SYS, 2, kMixBufferFrames) != 0) {
        why = Mix_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    StartMixer();
    open = true;
    return true;
}

void SdlAudio::StartMixer() {
    Mix_AllocateChannels(kVoices);
    int rate = 0, channels = 0;
    Uint16 format = 0;
    if (Mix_QuerySpec(&rate, &format, &channels) != 0 && channels > 0) fadeChannels = channels;
    for (LoopingVoice& voice : voices) voice = {};
}

void SdlAudio::Close() {
    if (!open && !lost) return;
    if (open) {
        Mix_HaltChannel(-1);
        for (Mix_Chunk* chunk : chunks) Mix_FreeChunk(chunk);
        Mix_CloseAudio();
    }
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    chunks.clear();
    soundPaths.clear();
    wantedLoops.clear();
    open = lost = false;
}

void SdlAudio::DeviceEvent(const SDL_AudioDeviceEvent& device, bool added) {
    if (device.iscapture != 0) return;
    if (!added && open) {
        // SDL reports the removal of opened devices only: this is the mixer's.
        debugLog.Write("Audio: The sound output went away; the game runs silent until one comes back. (Warning only)\n",
                       debugTail);
        wantedLoops.clear();
        for (int channel = 0; channel < kVoices; ++channel) {
            const LoopingVoice& voice = voices[static_cast<size_t>(channel)];
            if (voice.sound != 0 && Mix_Playing(channel) != 0 && fades[static_cast<size_t>(channel)].step.load() == 0)
                wantedLoops.push_back(voice);
        }
        Mix_HaltChannel(-1);
        for (Mix_Chunk*& chunk : chunks) {
            Mix_FreeChunk(chunk);
            chunk = nullptr;
        }
        // The audio subsystem stays, so that a device coming back is heard of.
        Mix_CloseAudio();
        open = false;
        lost = true;
    } else if (added && lost) {
        QuietStandardError quiet;
        if (Mix_OpenAudio(kMixRate, AUDIO_S16SYS, 2, kMixBufferFrames) != 0) return;  // not this one; wait on
        StartMixer();
        open = true;
        lost = false;
        for (size_t i = 0; i < chunks.size(); ++i) chunks[i] = Mix_LoadWAV(soundPaths[i].c_str());
        for (const LoopingVoice& loop : wantedLoops) Play(loop.sound, loop.volume, loop.pan, true);
        wantedLoops.clear();
    }
}

int SdlAudio::Load(const char* path) {
    if (!open) return 0;
    Mix_Chunk* chunk = Mix_LoadWAV(path);
    if (chunk == nullptr) return 0;
    chunks.push_back(chunk);
    soundPaths.emplace_back(path);
    return static_cast<int>(chunks.size());
}

void SdlAudio::Play(int sound, float volume, float pan, bool loop) {
    if (lost && loop) {
        // Kept for the device's return.
        std::erase_if(wantedLoops, [sound](const LoopingVoice& voice) { return voice.sound == sound; });
        wantedLoops.push_back({sound, volume, pan});
    }
    Mix_Chunk* chunk = ChunkOf(sound);
    if (chunk == nullptr) return;
    // Volume and pan are set on a silent voice before it starts, so no
    // sample of the new effect is mixed with the last one's settings.
    HaltFadedVoices();
    int channel = Mix_GroupAvailable(-1);
    if (channel < 0) {
        channel = Mix_GroupOldest(-1);
        if (channel < 0) return;
        Mix_HaltChannel(channel);
    }
    Mix_Volume(channel, static_cast<int>(std::lround(std::clamp(volume, 0.0f, 1.0f) * MIX_MAX_VOLUME)));
    // Balance: the centre keeps both sides at full level, a side fades the other.
    const float p = std::clamp(pan, -1.0f, 1.0f);
    const auto left = static_cast<Uint8>(std::lround(255 * std::min(1.0f, 1 - p)));
    const auto right = static_cast<Uint8>(std::lround(255 * std::min(1.0f, 1 + p)));
    Mix_SetPanning(channel, left, right);
    VoiceFade& fade = fades[static_cast<size_t>(channel)];
    fade.gain = 1;
    fade.step = 0;
    Mix_RegisterEffect(channel, ApplyFade, nullptr, &fade);
    voices[static_cast<size_t>(channel)] = loop ? LoopingVoice{sound, volume, pan} : LoopingVoice{};
    // Every effect begins on silence (a loop at a rising zero crossing): no fade in.
    Mix_PlayChannel(channel, chunk, loop ? -1 : 0);
}

void SdlAudio::Stop(int sound) {
    std::erase_if(wantedLoops, [sound](const LoopingVoice& voice) { return voice.sound == sound; });
    Mix_Chunk* chunk = ChunkOf(sound);
    if (chunk == nullptr) return;
    HaltFadedVoices();
    for (int channel = 0; channel < kVoices; ++channel)
        if (Mix_Playing(channel) != 0 && Mix_GetChunk(channel) == chunk) FadeOut(channel);
}

void SdlAudio::StopAll() {
    wantedLoops.clear();
    if (!open) return;
    HaltFadedVoices();
    for (int channel = 0; channel < kVoices; ++channel)
        if (Mix_Playing(channel) != 0) FadeOut(channel);
}

void SdlAudio::FadeOut(int channel) {
    VoiceFade& fade = fades[static_cast<size_t>(channel)];
    if (fade.step.load() == 0) fade.step = 1000.0f / (kStopFadeMs * static_cast<float>(kMixRate));
}

// Voices that have faded to silence keep playing it (a loop for ever)
// until halted here, outside the mixer's thread.
void SdlAudio::HaltFadedVoices() {
    for (int channel = 0; channel < kVoices; ++channel) {
        const VoiceFade& fade = fades[static_cast<size_t>(channel)];
        if (fade.step.load() != 0 && fade.gain.load() == 0 && Mix_Playing(channel) != 0) Mix_HaltChannel(channel);
    }
}

Mix_Chunk* SdlAudio::ChunkOf(int sound) const {
    if (!open || sound < 1 || sound > static_cast<int>(chunks.size())) return nullptr;
    return chunks[static_cast<size_t>(sound) - 1];  // null when it did not load again
}

int SdlVoicesPlaying(const Platform& sdlPlatform) {
    return static_cast<const SdlPlatform&>(sdlPlatform).VoicesPlaying();
}

int SdlAudio::VoicesPlaying() const { return open ? Mix_Playing(-1) : 0; }

}  // namespace platform
