// HealthPickup and the health bars.
//
// The pick-up waits 1001 unpaused frames, is then placed at a random free
// cell, stays until the player's ship comes within 40 pixels of its top-left
// corner, and starts waiting again. While not placed it lies at
// (-1500, -1500), far out of reach and out of view.
//
// The bars stand at the screen's right edge, one 5-pixel piece for every
// started 5 points of health: the player's grows up from y = 482 at x = 706,
// the enemies' grow down from y = 30 at x = 606, 656 and 706.
#pragma once

#include <cstdint>

#include "image/image.h"

class Arena;

class HealthPickup {
public:
    static constexpr float kUnplaced = -1500;
    static constexpr int kWaitFrames = 1000;

    float x = 0, y = 0;  // top-left corner of the picture, world pixels
    int amount = 20;
    bool active = false;
    float* viewX = nullptr;
    float* viewY = nullptr;
    int counter = 0;  // updates spent inactive
    const uint8_t* grid = nullptr;
    Image picture;  // "Images\health.tif", keyed

    void Setup(Arena* arena, float* viewXPointer, float* viewYPointer);
    // Inactive: stays out of play and counts; active and not yet placed:
    // takes a random free spot.
    void Update();
    void Draw();
};

// One ship's bar: a piece for every started 5 points of `health`, the first
// at (x, y), each next one 5 pixels further down (direction 1) or up (-1).
void DrawHealthBar(Image* piece, int health, int x, int y, int direction);
