// The generated sound effects: the files the build leaves in Sounds/, read back by a reader of the
// test's own, against what a mixer and a player need of them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "tools/sounds/effects.h"
#include "tools/sounds/synth.h"
#include "tools/sounds/wav.h"

using sounds::AllSounds;
using sounds::SoundEntry;

namespace {

// The files the game loads, by the names its code spells.
const char* const GAME_SOUNDS[] = {"player_shot",   "enemy_shot",     "hit_enemy",     "hit_player",
                                   "explode_enemy", "explode_player", "respawn",       "pickup_appear",
                                   "pickup_collect", "fight_won",     "engine_hum"};

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t Le(const std::string& bytes, size_t at, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | static_cast<uint8_t>(bytes[at + i]);
    return value;
}

// A WAV file as the game's effects must be: one RIFF/WAVE with a 16-byte PCM format block and
// the data right after it. Anything else fails the test that reads it.
struct Wav {
    int channels = 0, rate = 0, bits = 0;
    std::vector<int> samples;
};

Wav ReadWav(const std::string& bytes) {
    Wav wav;
    EXPECT_GE(bytes.size(), 44u);
    if (bytes.size() < 44) return wav;
    EXPECT_EQ(bytes.substr(0, 4), "RIFF");
    EXPECT_EQ(Le(bytes, 4, 4), bytes.size() - 8);
    EXPECT_EQ(bytes.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(Le(bytes, 16, 4), 16u);
    EXPECT_EQ(Le(bytes, 20, 2), 1u);  // PCM
    wav.channels = static_cast<int>(Le(bytes, 22, 2));
    wav.rate = static_cast<int>(Le(bytes, 24, 4));
    EXPECT_EQ(Le(bytes, 28, 4), static_cast<uint32_t>(wav.rate * wav.channels * 2));
    EXPECT_EQ(Le(bytes, 32, 2), static_cast<uint32_t>(wav.channels * 2));
    wav.bits = static_cast<int>(Le(bytes, 34, 2));
    EXPECT_EQ(bytes.substr(36, 4), "data");
    EXPECT_EQ(Le(bytes, 40, 4), bytes.size() - 44);
    for (size_t at = 44; at + 1 < bytes.size(); at += 2)
        wav.samples.push_back(static_cast<int16_t>(Le(bytes, at, 2)));
    return wav;
}

// Every effect read from the build's Sounds/ once for the whole suite.
const std::map<std::string, Wav>& Built() {
    static const std::map<std::string, Wav> built = [] {
        std::map<std::string, Wav> all;
        for (const SoundEntry& sound : AllSounds())
            all.emplace(sound.name, ReadWav(ReadBytes(std::string(TARVO_BINARY_DIR) + "/Sounds/" + sound.name + ".wav")));
        return all;
    }();
    return built;
}

int Peak(const std::vector<int>& s) {
    int peak = 0;
    for (int v : s) peak = std::max(peak, std::abs(v));
    return peak;
}

int LargestStep(const std::vector<int>& s) {
    int step = 0;
    for (size_t i = 1; i < s.size(); ++i) step = std::max(step, std::abs(s[i] - s[i - 1]));
    return step;
}

// How sharply the wave bends at sample i of a loop (its second difference, wrapping round). A
// seam shows as a bend far sharper than any inside, even where the step itself is small.
int Bend(const std::vector<int>& s, size_t i) {
    const size_t n = s.size();
    return std::abs(s[(i + n - 1) % n] - 2 * s[i] + s[(i + 1) % n]);
}

TEST(Sounds, BuildHoldsExactlyTheGamesEffectsAsTheGeneratorMakesThemNow) {
    std::map<std::string, const SoundEntry*> byName;
    for (const SoundEntry& sound : AllSounds()) EXPECT_TRUE(byName.emplace(sound.name, &sound).second) << sound.name;
    EXPECT_EQ(byName.size(), std::size(GAME_SOUNDS));
    for (const char* name : GAME_SOUNDS) {
        SCOPED_TRACE(name);
        auto found = byName.find(name);
        ASSERT_NE(found, byName.end());
        const std::string made = sounds::EncodeWav(found->second->make());
        // The same samples on a second run: no state carried between effects.
        EXPECT_EQ(sounds::EncodeWav(found->second->make()), made);
        EXPECT_EQ(ReadBytes(std::string(TARVO_BINARY_DIR) + "/Sounds/" + name + ".wav"), made);
    }
}

TEST(Sounds, EffectsAreMono16BitAt44100OfAPlayableLength) {
    for (const auto& [name, wav] : Built()) {
        SCOPED_TRACE(name);
        EXPECT_EQ(wav.channels, 1);
        EXPECT_EQ(wav.rate, 44100);
        EXPECT_EQ(wav.bits, 16);
        const double seconds = static_cast<double>(wav.samples.size()) / 44100;
        EXPECT_GE(seconds, 0.05);
        EXPECT_LE(seconds, 1.5);
    }
}

// Effects are mixed on top of each other: a peak near full scale would clip as soon as two meet,
// a sample that is not 0 at either end clicks when the effect starts or stops, and an offset
// from 0 (DC) wastes headroom and thumps.
TEST(Sounds, OneShotEffectsStartAndEndOnSilenceWellBelowFullScale) {
    for (const SoundEntry& sound : AllSounds()) {
        if (sound.loops) continue;
        SCOPED_TRACE(sound.name);
        const std::vector<int>& s = Built().at(sound.name).samples;
        ASSERT_FALSE(s.empty());
        EXPECT_EQ(s.front(), 0);
        EXPECT_EQ(s.back(), 0);
        EXPECT_LE(Peak(s), 0.9 * 32767);
        EXPECT_GE(Peak(s), 0.3 * 32767);  // not inaudible next to the others
        double sum = 0;
        for (int v : s) sum += v;
        EXPECT_LE(std::fabs(sum / s.size()), 0.005 * 32767);
    }
}

// The hum plays over and over while the player thrusts. It holds nothing above about 600 Hz, so
// its wave bends by a few units per sample at most, at the loop's end and start as everywhere
// else: a seam anywhere (a partial without a whole number of cycles) bends it by far more. It
// begins within a step of silence, and it stays soft.
TEST(Sounds, EngineHumLoopsWithoutASeamAndStaysSoft) {
    const std::vector<int>& s = Built().at("engine_hum").samples;
    ASSERT_GT(s.size(), 4u);
    size_t sharpest = 0;
    for (size_t i = 0; i < s.size(); ++i)
        if (Bend(s, i) > Bend(s, sharpest)) sharpest = i;
    EXPECT_LE(Bend(s, sharpest), 16) << "at sample " << sharpest << " of " << s.size();
    EXPECT_LE(std::abs(s.front()), LargestStep(s));
    EXPECT_LE(Peak(s), 0.25 * 32767);
    for (const SoundEntry& sound : AllSounds()) EXPECT_EQ(sound.loops, sound.name == "engine_hum") << sound.name;
}

TEST(Sounds, PcmConversionRoundsAndHoldsInsideFullScale) {
    struct Case {
        float in;
        int16_t out;
    };
    for (const Case& c : {Case{0.0f, 0}, Case{0.5f, 16384}, Case{-0.5f, -16384}, Case{1.0f, 32767},
                          Case{1.5f, 32767}, Case{-1.0f, -32767}, Case{-3.0f, -32767}}) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(sounds::ToPcm16(c.in), c.out);
    }
}

TEST(Sounds, FadeEdgesSilencesBothEndsAndLeavesTheMiddle) {
    sounds::Samples s(1000, 0.5f);
    sounds::FadeEdges(s, 0.001, 0.002);  // 44 and 88 samples
    EXPECT_EQ(s.front(), 0.0f);
    EXPECT_EQ(s.back(), 0.0f);
    EXPECT_LT(s[22], 0.5f);
    EXPECT_EQ(s[44], 0.5f);
    EXPECT_EQ(s[1000 - 89], 0.5f);
    EXPECT_LT(s[1000 - 88], 0.5f);
}

}  // namespace
