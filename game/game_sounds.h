// GameSounds: the fight made audible. At start it opens the audio output
// and loads the effects from Sounds/; after each frame it plays what the
// frame's events (game/game_events.h) call for, and keeps the engine hum
// running while the player thrusts.
//
// A sound is placed where its cause is on the screen, heard from the
// player's ship (screen 398, 276): the pan follows the horizontal offset,
// 0.8 of the way to one side at 400 pixels and beyond; the volume is full
// within 300 pixels and falls by 1/1200 a pixel beyond, to no less than
// 0.25, so that far shots stay audible. The effects carry their own levels.
//
// Depends on the engine's Audio; reads nothing of the game but the events.
#pragma once

#include "game/game_events.h"

class GameSounds {
public:
    // One effect for each event type, in the order of GameEventType, then the hum.
    static constexpr int kEffectCount = EVENT_END_SHOWN + 2;
    static constexpr int kHum = kEffectCount - 1;
    // Files, as the game names them ("Sounds\name.wav"), in the same order.
    static const char* const kFiles[kEffectCount];

    // Opens the audio output (once more after a restart) and loads every effect.
    void Setup();
    // Plays the frame's events and starts or stops the hum.
    void Play(const FrameEvents& events);

    static float VolumeAt(float screenX, float screenY);
    static float PanAt(float screenX);

private:
    int effects[kEffectCount] = {};
    bool humming = false;
};

extern GameSounds gameSounds;
