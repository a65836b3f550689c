// The game's sound effects, synthesised in code: the list of every file the game loads from
// Sounds/, each with the function that makes its samples.
//
// All effects share one palette so that they sit together: clean sines and a few harmonics for
// the ships' own noises, band-limited noise for impacts and explosions, plain intervals of a
// major chord for the pick-up and the end of the fight. Levels are set here, by each effect's
// peak, and nowhere else: the game plays every effect at the volume its position gives.
// Every effect but the engine hum fades in and out (it starts and ends on silence); the hum is a
// seamless loop that begins at a rising zero crossing.
//
// Depends on synth.h only.
#pragma once

#include <string>
#include <vector>

#include "tools/sounds/synth.h"

namespace sounds {

struct SoundEntry {
    std::string name;  // file name without folder or ".wav"
    bool loops;        // played over and over (the engine hum)
    Samples (*make)();
};

// Every effect the game loads, in a fixed order.
const std::vector<SoundEntry>& AllSounds();

}  // namespace sounds
