// Building blocks for the game's sound effects: mono float samples at 44100 Hz, oscillators with
// swept frequencies, a seeded noise source, two filters, envelopes and edge fades.
//
// Everything is plain arithmetic on doubles with fixed seeds, so the same code gives the same
// samples on every run (the same bytes on every build of a machine). Samples are nominally in
// -1..1; Normalize sets an effect's peak, FadeEdges makes it start and end at silence.
#pragma once

#include <cstdint>
#include <vector>

namespace sounds {

constexpr int kSampleRate = 44100;
constexpr double kPi = 3.14159265358979323846;

using Samples = std::vector<float>;

// Samples in `seconds`, rounded to the nearest whole sample.
int SampleCount(double seconds);

// Uniform white noise in -1..1 from a 32-bit xorshift generator with a fixed seed.
class Noise {
public:
    explicit Noise(uint32_t seed) : state(seed != 0 ? seed : 1) {}
    double Next();

private:
    uint32_t state;
};

// A sine whose frequency may change from sample to sample: the phase is accumulated, so sweeps
// stay continuous.
class Oscillator {
public:
    explicit Oscillator(double startPhase = 0) : phase(startPhase) {}
    // The next sample of sin(phase), then advances by `hertz`.
    double Next(double hertz);
    // The same step, returning the phase (radians, 0..2 pi) for waveforms built from it.
    double NextPhase(double hertz);

private:
    double phase;
};

// One-pole low-pass, cutoff in hertz (may change per sample).
class LowPass {
public:
    double Process(double in, double cutoffHertz);

private:
    double state = 0;
};

// Band-pass biquad (constant skirt gain), centre in hertz, quality q.
class BandPass {
public:
    BandPass(double centreHertz, double q);
    double Process(double in);

private:
    double b0 = 0, b2 = 0, a1 = 0, a2 = 0;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
};

// 0 at t = 0, rising linearly to 1 at `attack` seconds, then falling as exp(-(t - attack) / decay).
double AttackDecay(double t, double attack, double decay);

// Raised-cosine fades over the first `fadeIn` and the last `fadeOut` seconds: the first and the
// last sample become exactly 0, so an effect never starts or stops with a click.
void FadeEdges(Samples& samples, double fadeIn, double fadeOut);

// Scales the samples so that the largest magnitude is `peak` (0..1).
void Normalize(Samples& samples, double peak);

// Adds `source` into `target` from sample `offset` on, scaled by `gain`; target grows as needed.
void MixInto(Samples& target, const Samples& source, int offset, double gain);

// 16-bit PCM value of a sample: rounded, and held inside -32767..32767.
int16_t ToPcm16(float sample);

}  // namespace sounds
