#include "tools/sounds/effects.h"

#include <cmath>

namespace sounds {

namespace {

// Calls `sample(t)` for every sample of `seconds`, t in seconds from the start.
template <typename F>
Samples Render(double seconds, F sample) {
    Samples out(static_cast<size_t>(SampleCount(seconds)));
    for (size_t i = 0; i < out.size(); ++i) out[i] = static_cast<float>(sample(static_cast<double>(i) / kSampleRate));
    return out;
}

// Frequency gliding exponentially from `from` toward `to` with time constant `tau`.
double Glide(double t, double from, double to, double tau) { return to + (from - to) * std::exp(-t / tau); }

// The player's shot: a bright, quick downward chirp with a little of its octave.
Samples PlayerShot() {
    Oscillator tone, octave;
    Samples s = Render(0.16, [&](double t) {
        const double f = Glide(t, 1900, 420, 0.045);
        return AttackDecay(t, 0.002, 0.045) * (tone.Next(f) + 0.25 * octave.Next(2 * f));
    });
    FadeEdges(s, 0.002, 0.02);
    Normalize(s, 0.42);
    return s;
}

// An enemy's shot: lower and buzzier than the player's, so the two never get mixed up: a
// falling tone of six harmonics (a soft saw) with a touch of noise.
Samples EnemyShot() {
    Oscillator base;
    Noise noise(0xE5E5u);
    LowPass hiss;
    Samples s = Render(0.24, [&](double t) {
        const double f = Glide(t, 880, 170, 0.07);
        const double phase = base.NextPhase(f);
        double saw = 0;
        for (int k = 1; k <= 6; ++k) saw += std::sin(k * phase) / k;
        return AttackDecay(t, 0.003, 0.07) * (0.6 * saw + 0.15 * hiss.Process(noise.Next(), 3000));
    });
    FadeEdges(s, 0.003, 0.03);
    Normalize(s, 0.40);
    return s;
}

// A photon hitting an enemy: a short metallic clank, inharmonic partials over a band of noise.
Samples HitEnemy() {
    Oscillator p1, p2, p3;
    Noise noise(0x417Eu);
    BandPass band(2600, 1.8);
    Samples s = Render(0.18, [&](double t) {
        const double ring = 0.55 * std::exp(-t / 0.05) * p1.Next(540) + 0.35 * std::exp(-t / 0.035) * p2.Next(1390) +
                            0.25 * std::exp(-t / 0.025) * p3.Next(2290);
        const double crack = 1.6 * std::exp(-t / 0.012) * band.Process(noise.Next());
        return AttackDecay(t, 0.001, 1e9) * (ring + crack);
    });
    FadeEdges(s, 0.001, 0.03);
    Normalize(s, 0.60);
    return s;
}

// A photon hitting the player: a low thud that the player feels, and a muffled crunch.
Samples HitPlayer() {
    Oscillator thud;
    Noise noise(0x9A1Du);
    LowPass muffle;
    Samples s = Render(0.30, [&](double t) {
        const double f = Glide(t, 190, 55, 0.06);
        const double body = std::exp(-t / 0.09) * thud.Next(f);
        const double crunch = 1.4 * std::exp(-t / 0.035) * muffle.Process(noise.Next(), 900);
        return AttackDecay(t, 0.002, 1e9) * std::tanh(1.5 * (body + crunch));
    });
    FadeEdges(s, 0.002, 0.05);
    Normalize(s, 0.60);
    return s;
}

// An explosion: noise through a low-pass whose cutoff falls as the fire cools, over a falling
// rumble. `seconds` and the constants make the enemy's smaller than the player's.
Samples Explosion(double seconds, uint32_t seed, double cutoffFrom, double cutoffTo, double decay,
                  double rumbleFrom, double rumbleTo) {
    Noise noise(seed);
    LowPass first, second;
    Oscillator rumble;
    return Render(seconds, [&](double t) {
        const double cutoff = Glide(t, cutoffFrom, cutoffTo, seconds / 4);
        // Two poles: a darker, rounder roar than one.
        const double roar = second.Process(first.Process(noise.Next(), cutoff), cutoff);
        const double low = rumble.Next(Glide(t, rumbleFrom, rumbleTo, seconds / 3));
        // Soft saturation packs the roar: louder for the same peak, like a real blast.
        return std::tanh(0.8 * AttackDecay(t, 0.004, decay) * (3.0 * roar + 0.5 * low));
    });
}

Samples ExplodeEnemy() {
    Samples s = Explosion(0.9, 0xB00Au, 3200, 260, 0.22, 80, 38);
    FadeEdges(s, 0.004, 0.25);
    Normalize(s, 0.80);
    return s;
}

// The player's explosion: longer and deeper, with a second, later blast.
Samples ExplodePlayer() {
    Samples s = Explosion(1.4, 0xB00Bu, 4200, 180, 0.38, 62, 28);
    const Samples late = Explosion(1.0, 0xB00Cu, 2200, 150, 0.30, 50, 26);
    MixInto(s, late, SampleCount(0.14), 0.6);
    s.resize(static_cast<size_t>(SampleCount(1.4)));
    FadeEdges(s, 0.004, 0.35);
    Normalize(s, 0.85);
    return s;
}

// The respawn: a rising shimmer as the ship materialises, three partials with a quick tremolo.
Samples Respawn() {
    Oscillator tone, second, third;
    const double length = 0.7;
    Samples s = Render(length, [&](double t) {
        const double f = 220 * std::pow(4.0, t / length);  // two octaves up over the effect
        const double tremolo = 1 - 0.35 * (0.5 + 0.5 * std::sin(2 * kPi * 12 * t));
        return tremolo * (tone.Next(f) + 0.45 * second.Next(2 * f) + 0.2 * third.Next(3 * f));
    });
    FadeEdges(s, 0.15, 0.28);
    Normalize(s, 0.40);
    return s;
}

// One bell-like note: a sine with a faint inharmonic partial, struck and decaying.
Samples Chime(double hertz, double seconds, double decay) {
    Oscillator tone, partial;
    Samples s = Render(seconds, [&](double t) {
        return AttackDecay(t, 0.003, decay) * (tone.Next(hertz) + 0.18 * partial.Next(2.76 * hertz));
    });
    FadeEdges(s, 0, 0.02);
    return s;
}

// The pick-up appearing: two soft chimes, E6 then B6.
Samples PickupAppear() {
    Samples s = Chime(1318.51, 0.45, 0.11);
    MixInto(s, Chime(1975.53, 0.33, 0.10), SampleCount(0.12), 0.8);
    s.resize(static_cast<size_t>(SampleCount(0.45)));
    FadeEdges(s, 0.003, 0.06);
    Normalize(s, 0.35);
    return s;
}

// A short note with its third harmonic (a rounded square), struck and decaying.
Samples Blip(double hertz, double seconds, double decay) {
    Oscillator tone, third;
    Samples s = Render(seconds, [&](double t) {
        return AttackDecay(t, 0.004, decay) * (tone.Next(hertz) + 0.3 * third.Next(3 * hertz));
    });
    FadeEdges(s, 0, 0.02);
    return s;
}

// The pick-up collected: a quick rising arpeggio, C5 E5 G5 C6.
Samples PickupCollect() {
    const double notes[] = {523.25, 659.26, 783.99, 1046.50};
    Samples s;
    for (int i = 0; i < 4; ++i) MixInto(s, Blip(notes[i], 0.22, 0.07), SampleCount(0.06 * i), 1.0);
    FadeEdges(s, 0.004, 0.05);
    Normalize(s, 0.42);
    return s;
}

// A brassy note: six harmonics falling as 1/k, a gentle vibrato once it has sounded a while.
Samples Brass(double hertz, double seconds, double attack) {
    Oscillator base;
    Samples s = Render(seconds, [&](double t) {
        const double vibrato = t > 0.3 ? 1 + 0.004 * std::sin(2 * kPi * 5 * (t - 0.3)) : 1;
        const double phase = base.NextPhase(hertz * vibrato);
        double tone = 0;
        for (int k = 1; k <= 6; ++k) tone += std::sin(k * phase) / k;
        return AttackDecay(t, attack, 1.2) * tone;
    });
    // A note that stops where the next begins ends on silence too, without a click at the join.
    FadeEdges(s, 0, 0.025);
    return s;
}

// The end of the fight: C5 E5 G5 in turn, then a held C major chord with C6 on top.
Samples FightWon() {
    const double length = 1.5;
    Samples s;
    MixInto(s, Brass(523.25, 0.15, 0.01), 0, 0.8);
    MixInto(s, Brass(659.26, 0.15, 0.01), SampleCount(0.15), 0.8);
    MixInto(s, Brass(783.99, 0.15, 0.01), SampleCount(0.30), 0.8);
    for (double f : {523.25, 659.26, 783.99, 1046.50}) MixInto(s, Brass(f, length - 0.45, 0.02), SampleCount(0.45), 0.5);
    s.resize(static_cast<size_t>(SampleCount(length)));
    FadeEdges(s, 0.005, 0.45);
    Normalize(s, 0.55);
    return s;
}

// The engine hum while thrusting: one second that loops without a seam. Every partial has a
// whole number of cycles in the second (55 Hz and its harmonics, a 7 Hz throb, a wash of
// partials standing in for noise), so the last sample runs on into the first. The harmonics
// carry the pitch on small speakers that cannot play 55 Hz itself.
Samples EngineHum() {
    const int n = SampleCount(1.0);
    Samples loop(static_cast<size_t>(n));
    Noise random(0x4D4Du);
    struct Partial {
        int hertz;
        double amplitude, phase;
    };
    std::vector<Partial> partials = {{55, 1.0, 0},     {110, 0.5, 0.7},   {165, 0.28, 1.9},
                                     {220, 0.14, 2.6}, {275, 0.08, 0.4}, {330, 0.05, 1.3}};
    for (int f = 240; f <= 520; f += 7)
        partials.push_back({f, 0.035 * std::sqrt(240.0 / f), kPi * (1 + random.Next())});
    for (int i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        double v = 0;
        for (const Partial& p : partials) v += p.amplitude * std::sin(2 * kPi * p.hertz * t + p.phase);
        loop[i] = static_cast<float>(v * (1 - 0.15 * (0.5 + 0.5 * std::sin(2 * kPi * 7 * t))));
    }
    // Start where the wave rises through zero, so the first play begins on silence.
    int start = 0;
    for (int i = 0; i < n; ++i) {
        const float a = loop[i], b = loop[(i + 1) % n];
        if (a <= 0 && b > 0) {
            start = std::fabs(a) <= std::fabs(b) ? i : (i + 1) % n;
            break;
        }
    }
    Samples s(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) s[i] = loop[(start + i) % n];
    Normalize(s, 0.18);
    return s;
}

}  // namespace

const std::vector<SoundEntry>& AllSounds() {
    static const std::vector<SoundEntry> all = {
        {"player_shot", false, PlayerShot},
        {"enemy_shot", false, EnemyShot},
        {"hit_enemy", false, HitEnemy},
        {"hit_player", false, HitPlayer},
        {"explode_enemy", false, ExplodeEnemy},
        {"explode_player", false, ExplodePlayer},
        {"respawn", false, Respawn},
        {"pickup_appear", false, PickupAppear},
        {"pickup_collect", false, PickupCollect},
        {"fight_won", false, FightWon},
        {"engine_hum", true, EngineHum},
    };
    return all;
}

}  // namespace sounds
