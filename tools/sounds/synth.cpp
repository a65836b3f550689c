#include "tools/sounds/synth.h"

#include <algorithm>
#include <cmath>

namespace sounds {

int SampleCount(double seconds) { return static_cast<int>(std::lround(seconds * kSampleRate)); }

double Noise::Next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return static_cast<double>(state) / 2147483647.5 - 1.0;
}

double Oscillator::Next(double hertz) { return std::sin(NextPhase(hertz)); }

double Oscillator::NextPhase(double hertz) {
    const double current = phase;
    phase += 2 * kPi * hertz / kSampleRate;
    // Kept small so that long sweeps lose no precision.
    if (phase >= 2 * kPi) phase -= 2 * kPi;
    return current;
}

double LowPass::Process(double in, double cutoffHertz) {
    const double k = 1 - std::exp(-2 * kPi * cutoffHertz / kSampleRate);
    state += k * (in - state);
    return state;
}

BandPass::BandPass(double centreHertz, double q) {
    const double w = 2 * kPi * centreHertz / kSampleRate;
    const double alpha = std::sin(w) / (2 * q);
    const double a0 = 1 + alpha;
    b0 = alpha / a0;
    b2 = -alpha / a0;
    a1 = -2 * std::cos(w) / a0;
    a2 = (1 - alpha) / a0;
}

double BandPass::Process(double in) {
    const double out = b0 * in + b2 * x2 - a1 * y1 - a2 * y2;
    x2 = x1;
    x1 = in;
    y2 = y1;
    y1 = out;
    return out;
}

double AttackDecay(double t, double attack, double decay) {
    if (t < 0) return 0;
    if (t < attack) return t / attack;
    return std::exp(-(t - attack) / decay);
}

void FadeEdges(Samples& samples, double fadeIn, double fadeOut) {
    const int n = static_cast<int>(samples.size());
    const int in = std::min(n, SampleCount(fadeIn));
    const int out = std::min(n, SampleCount(fadeOut));
    for (int i = 0; i < in; ++i) samples[i] *= static_cast<float>(0.5 - 0.5 * std::cos(kPi * i / in));
    for (int i = 0; i < out; ++i) {
        const int from = n - 1 - i;
        samples[from] *= static_cast<float>(0.5 - 0.5 * std::cos(kPi * i / out));
    }
}

void Normalize(Samples& samples, double peak) {
    float largest = 0;
    for (float s : samples) largest = std::max(largest, std::fabs(s));
    if (largest == 0) return;
    const double scale = peak / largest;
    for (float& s : samples) s = static_cast<float>(s * scale);
}

void MixInto(Samples& target, const Samples& source, int offset, double gain) {
    if (target.size() < source.size() + offset) target.resize(source.size() + offset, 0.0f);
    for (size_t i = 0; i < source.size(); ++i) target[offset + i] += static_cast<float>(source[i] * gain);
}

int16_t ToPcm16(float sample) {
    const long value = std::lround(static_cast<double>(sample) * 32767.0);
    return static_cast<int16_t>(std::clamp(value, -32767L, 32767L));
}

}  // namespace sounds
