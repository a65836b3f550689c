// PhotonPool: one ship's shots. A fixed pool of five photons, live ones packed
// in slots [0, count); removal copies the last live photon into the hole.
//
// The pool moves and ages its photons and draws them additively, centred on
// their positions. Hits and walls are found by the enemies' collision loops,
// which call Remove. Nothing is allocated after Setup.
#pragma once

#include "image/image.h"

struct Photon {
    float x = 0, y = 0;    // world pixels
    float vx = 0, vy = 0;  // pixels per frame
    int age = 0;           // frames
};

class PhotonPool {
public:
    static constexpr int kCapacity = 5;
    static constexpr int kLifeFrames = 100;  // a photon older than this is retired
    static constexpr int kDamage = 5;        // what one hit takes off a ship's health

    float* viewX = nullptr;
    float* viewY = nullptr;
    int count = 0;
    int capacity = 0;
    Photon records[kCapacity];
    Image picture;  // "Images\photon.tif", premultiplied (load mode 3)

    // Stores the view pointers, empties the pool, loads the picture.
    void Setup(float* viewXPointer, float* viewYPointer);
    // Adds a photon of age 0 and returns its slot. A full pool overwrites a
    // slot chosen by the game's random generator (rand() * 4 / 32767: almost
    // always one of the first four).
    int Fire(float x, float y, float vx, float vy);
    // Moves and ages every photon; one older than 100 frames is replaced by
    // the last, which is then not visited again in this pass.
    void Update();
    // Replaces photon i with the last one. Scanning callers go on with i + 1.
    void Remove(int i);
    int Count() const { return count; }
    const Photon& Get(int i) const { return records[i]; }
    // Every photon additively, its picture centred on it.
    void Draw();
};
