// What happened in a frame, told by comparing the game's state before and
// after one run() call, so that the rules themselves never report anything
// and never change because something listens.
//
// The rules leave a clear mark for everything worth hearing: a shot resets
// its ship's fire counter to 0; every photon hit takes 5 off a ship's health
// (the player's health also changes only by a respawn, which sets 100, and a
// collection, which adds the pick-up's amount); an enemy's explosion sets its
// dying flag, the player's sets the Exploding state; a respawn leaves
// Waiting for Respawning; the pick-up is placed when it leaves (-1500,
// -1500), collected when it stops being active; the end picture appears when
// endCounter reaches 200.
//
// Positions are screen pixels after the frame (world position + view
// offset). The player's own events are placed at its fixed screen position.
#pragma once

#include "game/player_ship.h"

enum GameEventType {
    EVENT_PLAYER_SHOT,
    EVENT_ENEMY_SHOT,
    EVENT_ENEMY_HIT,   // a player's photon hit an enemy
    EVENT_PLAYER_HIT,  // an enemy's photon hit the player
    EVENT_ENEMY_EXPLODED,
    EVENT_PLAYER_EXPLODED,
    EVENT_PLAYER_RESPAWNED,
    EVENT_PICKUP_PLACED,
    EVENT_PICKUP_COLLECTED,
    EVENT_END_SHOWN,
};

struct GameEvent {
    GameEventType type;
    int ship;  // 0 the player, 1..3 blue, green, yellow; 0 for the pick-up and the end
    float screenX, screenY;
};

// The few facts of the game's state that the events are read from.
struct GameSnapshot {
    struct Ship {
        float x = 0, y = 0;
        int health = 0;
        int fireCounter = 0;
        bool dying = false;  // enemies
    };
    bool paused = true;
    float viewX = 0, viewY = 0;
    Ship player;
    PlayerState playerState = PlayerState::Flying;
    Ship enemies[3];
    bool pickupActive = false;
    float pickupX = 0, pickupY = 0;
    int pickupAmount = 0;
    int endCounter = 0;
    bool thrustHeld = false;  // Up or Down held
};

// One frame's events, in the order of the list above, and whether the
// player's engine is thrusting. Fixed capacity: a frame never needs more
// (at most 4 shots, 20 hits, 4 explosions and 4 others).
struct FrameEvents {
    static constexpr int kCapacity = 40;
    GameEvent items[kCapacity];
    int count = 0;
    bool thrusting = false;
    void Add(const GameEvent& event) {
        if (count < kCapacity) items[count++] = event;
    }
};

// The state of the game's globals and the held thrust keys, now.
GameSnapshot TakeSnapshot();

// The events of the frame that turned `before` into `after`.
FrameEvents FindEvents(const GameSnapshot& before, const GameSnapshot& after);
