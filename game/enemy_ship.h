// EnemyShip: one of the three enemies (blue, green, yellow). Each faces the
// player on every frame of its movement legs and fires at a rate set by its
// colour; blue also sets off toward the player at the start of each leg.
// Enemies bounce off walls, push and are pushed by the player's ship, are
// knocked back and damaged by the player's photons, damage the player with
// their own, and once dead play their explosion and are gone for good.
//
// The hit flash and the death animation advance in Draw, so they go on while
// the game is paused.
#pragma once

#include "image/image.h"

class Arena;
class PhotonPool;
class PlayerShip;

enum ShipColour { SHIP_BLUE = 1, SHIP_GREEN = 2, SHIP_YELLOW = 3 };

class EnemyShip {
public:
    static constexpr int kFrameSlots = 30;
    static constexpr int kHitDistance = 40;  // centre to centre, for pushes and photons

    int step = 0;              // frames spent in the current leg
    int legLength = 0;         // frames the current leg lasts
    float aimX = 0, aimY = 0;  // unit vector toward the player, y counted upward
    int colour = SHIP_BLUE;
    int health = 0;
    int fireCounter = 0;
    float angle = 90;
    float heading = 0;  // toward the player, degrees, from the last aim
    float x = 0, y = 0;
    float vx = 0, vy = 0;  // no drag
    float* viewX = nullptr;
    float* viewY = nullptr;
    bool hit = false;    // hit flash running
    bool dying = false;  // death animation started; never cleared
    bool visible = true;
    int frame = 0;  // 0 ship, 1-3 hit flash, 4-9 explosion
    Image frames[kFrameSlots];
    Image turnBuffer;
    PhotonPool* photons = nullptr;
    Arena* arena = nullptr;
    PlayerShip* player = nullptr;

    // Loads the colour's pictures, allocates the turn buffer, and puts the
    // ship at its colour's start with its colour's health.
    void Setup(int shipColour, Arena* arenaPointer, PlayerShip* playerPointer, float* viewXPointer,
               float* viewYPointer);
    void SetPhotons(PhotonPool* pool) { photons = pool; }
    // Inside a leg: fire when due, then aim at the player and face it. At the
    // end of a leg: start a new one (blue sets off toward its last aim).
    void Think();
    // Walls, the push of the player's ship, the player's photons, and this
    // ship's own photons against the player, in that order.
    void Collide();
    void Move();
    void Draw();
    void Damage(int amount);
    bool IsAlive() const { return health > 0; }
    bool IsDying() const { return dying; }
    int Health() const { return health; }

    int FireInterval() const;
    int LegBaseLength() const;

private:
    void NewLeg();
    void Aim();
};
