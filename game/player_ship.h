// PlayerShip: the player's ship. Steered with the arrows, fires with Space,
// bounces off walls, flashes when hit, explodes at health 0 or below, waits
// and comes back at its spawn point with full health, for ever.
//
// The camera follows it: the ship is always drawn centred on screen
// (398, 276), and Move shifts the global view offset by the ship's velocity.
// Angles are float degrees, 0 along +x and 90 pointing up; the unit vector of
// angle a is (cos a, -sin a). Everything is per frame.
#pragma once

#include "image/image.h"

class Arena;
class PhotonPool;

// The numbers are what the state report prints.
enum class PlayerState { Flying = 0, Exploding = 1, Respawning = 2, Waiting = 3 };

class PlayerShip {
public:
    static constexpr int kFrameSlots = 30;
    // Screen position of the ship's centre, and of its 80 x 80 picture box.
    static constexpr int kScreenX = 398;
    static constexpr int kScreenY = 276;
    // Health at the start and after each respawn.
    static constexpr int kFullHealth = 100;

    PhotonPool* photons = nullptr;
    PlayerState state = PlayerState::Flying;
    int health = kFullHealth;  // alive while > 0; no upper limit
    bool visible = true;
    float angle = 90;
    float turnRate = 0;
    float x = 840, y = 630;
    float vx = 0, vy = 0;
    int fireCounter = 0;  // frames of held Space since the last shot
    float spawnX = 840, spawnY = 630;
    float* viewX = nullptr;
    float* viewY = nullptr;
    int waitCounter = 0;
    int frame = 0;  // picture slot drawn
    // 0 plain, 1 thrusting, 2-4 hit flash, 5-10 explosion, 11-13 respawn,
    // 14 empty (nothing drawn).
    Image frames[kFrameSlots];
    Image turnBuffer;  // 80 x 80, the current picture turned to the heading
    Arena* arena = nullptr;

    // Loads the pictures, allocates the turn buffer, resets every field and
    // centres the view on the ship.
    void Setup(Arena* arenaPointer, float* viewXPointer, float* viewYPointer);
    void SetPhotons(PhotonPool* pool) { photons = pool; }
    // One step of Exploding, Waiting or Respawning; nothing while Flying.
    void StepState();
    // Arrows turn and thrust, Space fires every 12th held frame.
    void Controls();
    void BounceWalls();
    // Turns, moves, and moves the view with the ship.
    void Move();
    void Draw();
    // A hit: health -= amount, then a hit flash, or the explosion at <= 0.
    void Damage(int amount);
    void AddHealth(int amount) { health = health + amount; }
    bool IsAlive() const { return health > 0; }
    int Health() const { return health; }

private:
    void ExplodeStep();
    void RespawnStep();
};
