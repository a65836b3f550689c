#include "game/photons.h"

#include "engine/windows_dx.h"
#include "game/game_random.h"
#include "image/tiff_image.h"

void PhotonPool::Setup(float* viewXPointer, float* viewYPointer) {
    viewX = viewXPointer;
    viewY = viewYPointer;
    capacity = kCapacity;
    count = 0;
    for (Photon& p : records) p = Photon{};
    TiffImage reader;
    reader.LoadTiff("Images\\photon.tif", &picture, 3);
}

int PhotonPool::Fire(float x, float y, float vx, float vy) {
    if (capacity <= 0) return -1;  // never set up: nowhere to put it
    int slot;
    if (count == capacity) {
        slot = (gameRandom.Rand() * (capacity - 1)) / GameRandom::kMax;
    } else {
        slot = count;
        count = count + 1;
    }
    records[slot] = Photon{x, y, vx, vy, 0};
    return slot;
}

void PhotonPool::Update() {
    for (int i = 0; i < count; ++i) {
        Photon& p = records[i];
        p.x = p.x + p.vx;
        p.y = p.y + p.vy;
        p.age = p.age + 1;
        if (p.age > kLifeFrames) {
            records[i] = records[count - 1];
            count = count - 1;
        }
    }
}

void PhotonPool::Remove(int i) {
    records[i] = records[count - 1];
    count = count - 1;
}

void PhotonPool::Draw() {
    for (int i = 0; i < count; ++i) {
        const Photon& p = records[i];
        Tarvo.DrawAdditive(static_cast<int>(*viewX + p.x - 10), static_cast<int>(*viewY + p.y - 10), &picture);
    }
}
