#include "game/player_ship.h"

#include <cmath>

#include "engine/windows_dx.h"
#include "game/arena.h"
#include "game/geometry.h"
#include "game/photons.h"
#include "game/ship_pictures.h"
#include "image/tiff_image.h"

namespace {

constexpr int kFireDelay = 10;  // a shot leaves when the held count passes this
constexpr int kWaitFrames = 100;

}  // namespace

void PlayerShip::Setup(Arena* arenaPointer, float* viewXPointer, float* viewYPointer) {
    TiffImage reader;
    reader.LoadTiff("Images\\player_ship.tif", &frames[0], 1);
    reader.LoadTiff("Images\\player_ship_boost.tif", &frames[1], 1);
    LoadNumberedPictures("Images\\player_ship_spawn%1d.tif", 3, &frames[2]);  // hit flash
    LoadNumberedPictures("Images\\player_ship_dest%1d.tif", 6, &frames[5]);
    LoadNumberedPictures("Images\\player_ship_spawn%1d.tif", 3, &frames[11]);  // respawn
    AllocateTurnBuffer(turnBuffer);

    arena = arenaPointer;
    viewX = viewXPointer;
    viewY = viewYPointer;
    photons = nullptr;
    state = PlayerState::Flying;
    health = kFullHealth;
    visible = true;
    angle = 90;
    turnRate = 0;
    x = spawnX = 840;
    y = spawnY = 630;
    vx = vy = 0;
    fireCounter = 0;
    waitCounter = 0;
    frame = 0;
    *viewX = kScreenX - x;
    *viewY = kScreenY - y;
}

void PlayerShip::Controls() {
    const double a = angle * kDegreesToRadians;

    if (Tarvo.IsKeyDown(platform::VK_LEFT))
        turnRate = 3;
    else if (Tarvo.IsKeyDown(platform::VK_RIGHT))
        turnRate = -3;
    else
        turnRate = turnRate * 0.8;

    // Thrust sets the velocity outright; it does not add to it.
    if (Tarvo.IsKeyDown(platform::VK_UP)) {
        vx = 4 * std::cos(a);
        vy = -(4 * std::sin(a));
        frame = 1;
    } else if (Tarvo.IsKeyDown(platform::VK_DOWN)) {
        vx = -(4 * std::cos(a));
        vy = 4 * std::sin(a);
        frame = 0;
    } else {
        vx = vx * 0.9;
        vy = vy * 0.9;
        frame = 0;
    }

    if (Tarvo.IsKeyDown(platform::VK_SPACE)) {
        const int c = fireCounter;
        fireCounter = c + 1;
        if (c > kFireDelay) {
            fireCounter = 0;
            photons->Fire(x, y, static_cast<float>(20 * std::cos(a) + vx), static_cast<float>(vy - 20 * std::sin(a)));
        }
    }
}

void PlayerShip::BounceWalls() { BounceOffWalls(arena->grid, x, y, vx, vy); }

void PlayerShip::Move() {
    angle = angle + turnRate;
    if (angle < 0) angle = angle + 360;
    if (angle > 360) angle = angle - 360;
    x = x + vx;
    y = y + vy;
    *viewX = *viewX - vx;
    *viewY = *viewY - vy;
}

void PlayerShip::Draw() {
    if (!visible) return;
    // An empty slot (the last respawn step) shows nothing, not the turn
    // buffer's previous picture.
    Image& picture = frames[frame];
    if (picture.data == nullptr) return;
    picture.Rotate(&turnBuffer, angle - 90, 1.0f);
    Tarvo.DrawTransparent(kScreenX - 40, kScreenY - 40, &turnBuffer);
}

void PlayerShip::Damage(int amount) {
    health = health - amount;
    if (health > 0) {
        if (frame > 4)
            frame = 0;
        else if (frame >= 2)
            frame = frame + 1;
        else
            frame = 2;
    } else {
        ExplodeStep();
    }
}

void PlayerShip::ExplodeStep() {
    state = PlayerState::Exploding;
    if (frame >= 10) {
        state = PlayerState::Waiting;
        visible = false;
    } else if (frame >= 5) {
        frame = frame + 1;
    } else {
        vx = 0;
        vy = 0;
        frame = 5;
    }
}

void PlayerShip::RespawnStep() {
    visible = true;
    state = PlayerState::Respawning;
    if (frame > 13) {
        health = kFullHealth;
        angle = 90;
        *viewX = kScreenX - x;
        *viewY = kScreenY - y;
        state = PlayerState::Flying;
        frame = 0;
    } else if (frame >= 11) {
        frame = frame + 1;
    } else {
        x = spawnX;
        y = spawnY;
        frame = 11;
    }
}

void PlayerShip::StepState() {
    switch (state) {
        case PlayerState::Exploding:
            ExplodeStep();
            break;
        case PlayerState::Waiting:
            if (waitCounter < kWaitFrames) {
                waitCounter = waitCounter + 1;
            } else {
                state = PlayerState::Respawning;
                waitCounter = 0;
            }
            break;
        case PlayerState::Respawning:
            RespawnStep();
            break;
        case PlayerState::Flying:
            break;
    }
}
