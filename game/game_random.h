// GameRandom: the game's one random-number generator.
//
// The classic linear congruential rule: seed = seed * 214013 + 2531011 in
// 32-bit unsigned arithmetic, result = (seed >> 16) & 32767, so values lie in
// 0..32767. The seed is 1 at every start and is never set from outside, so a
// game replays exactly from its keys. Every caller draws from the one global
// instance, `gameRandom`, in call order; the C library's rand() is never used
// (its sequence differs between C libraries).
#pragma once

#include <cstdint>

class GameRandom {
public:
    static constexpr int kMax = 32767;

    // The next value, 0..32767.
    int Rand() {
        seed = seed * 214013u + 2531011u;
        return static_cast<int>((seed >> 16) & 32767u);
    }
    // Back to the state at program start (for tools that start the game again).
    void Reset() { seed = 1; }

private:
    uint32_t seed = 1;
};

extern GameRandom gameRandom;
