#include "game/enemy_ship.h"

#include <cmath>
#include <string>

#include "engine/windows_dx.h"
#include "game/arena.h"
#include "game/game_random.h"
#include "game/geometry.h"
#include "game/photons.h"
#include "game/player_ship.h"
#include "game/ship_pictures.h"
#include "image/tiff_image.h"

namespace {

struct ColourConstants {
    const char* name;
    float startX, startY;
    int health;
    int fireInterval;
    int legBaseLength;
};

// Indexed by colour; 0 is unused.
constexpr ColourConstants kColours[4] = {
    {"", 0, 0, 0, 0, 0},
    {"blue", 150, 200, 80, 80, 200},
    {"green", 1530, 200, 100, 60, 160},
    {"yellow", 840, 1110, 120, 40, 120},
};

const ColourConstants& ConstantsOf(int colour) { return kColours[(colour >= 1 && colour <= 3) ? colour : 0]; }

}  // namespace

int EnemyShip::FireInterval() const { return ConstantsOf(colour).fireInterval; }
int EnemyShip::LegBaseLength() const { return ConstantsOf(colour).legBaseLength; }

void EnemyShip::Setup(int shipColour, Arena* arenaPointer, PlayerShip* playerPointer, float* viewXPointer,
                      float* viewYPointer) {
    colour = shipColour;
    const ColourConstants& constants = ConstantsOf(colour);
    TiffImage reader;
    const std::string colourName = constants.name;
    reader.LoadTiff(("Images\\ship-" + colourName + ".tif").c_str(), &frames[0], 1);
    LoadNumberedPictures(("Images\\" + colourName + "_spawn%d.tif").c_str(), 3, &frames[1]);
    LoadNumberedPictures("Images\\player_ship_dest%1d.tif", 6, &frames[4]);
    AllocateTurnBuffer(turnBuffer);

    arena = arenaPointer;
    player = playerPointer;
    viewX = viewXPointer;
    viewY = viewYPointer;
    photons = nullptr;
    step = 0;
    legLength = 0;
    aimX = aimY = 0;
    health = constants.health;
    fireCounter = 0;
    angle = 90;
    heading = 0;
    x = constants.startX;
    y = constants.startY;
    vx = vy = 0;
    hit = false;
    dying = false;
    visible = true;
    frame = 0;
}

void EnemyShip::Think() {
    if (step < legLength) {
        step = step + 1;
        const int c = fireCounter;
        fireCounter = c + 1;
        if (c > FireInterval()) {
            fireCounter = 0;
            // The angle before this frame's aim.
            const double a = angle * kDegreesToRadians;
            photons->Fire(x, y, static_cast<float>(10 * std::cos(a) + vx), static_cast<float>(vy - 10 * std::sin(a)));
        }
        Aim();
    } else {
        NewLeg();
    }
}

void EnemyShip::Aim() {
    const float dx = player->x - x;
    const float dy = y - player->y;  // y counted upward
    const float d = DistanceAsFloat(dx, dy);
    // On top of the player there is no direction: keep the last aim and heading.
    if (d == 0) return;
    const float ux = dx / d;
    const float uy = dy / d;
    float h = static_cast<float>(std::acos(static_cast<double>(ux)) / kDegreesToRadians);
    if (uy < 0) h = -h;
    if (std::isnan(h)) return;
    aimX = ux;
    aimY = uy;
    heading = h;
    angle = heading;
}

void EnemyShip::NewLeg() {
    step = 0;
    legLength = LegBaseLength() + (gameRandom.Rand() * 50) / GameRandom::kMax;
    if (colour == SHIP_BLUE) {
        const double a = angle * kDegreesToRadians;
        vx = 2 * std::cos(a);
        vy = -(2 * std::sin(a));
    }
}

void EnemyShip::Collide() {
    BounceOffWalls(arena->grid, x, y, vx, vy);

    // The push: both ships are thrown apart along the line between them.
    {
        const float dx = player->x - x;
        const float dy = player->y - y;
        const float d = DistanceAsFloat(dx, dy);
        // At d = 0 there is no line to push along.
        if (d < kHitDistance && d != 0) {
            const float ux = dx / d;
            const float uy = dy / d;
            const float s = static_cast<float>(Distance(vx, vy) + Distance(player->vx, player->vy));
            vx = -ux * s * 0.25;
            vy = -uy * s * 0.25;
            player->vx = ux * s * 0.25;
            player->vy = uy * s * 0.25;
        }
    }

    PhotonPool& shots = *player->photons;
    for (int i = 0; i < shots.Count(); ++i) {
        const Photon& p = shots.Get(i);
        if (WallTest(arena->grid, p.x, p.y, p.vx, p.vy) != 0) {
            shots.Remove(i);
            continue;
        }
        const float ox = p.x - x;
        const float oy = p.y - y;
        const float e = DistanceAsFloat(ox, oy);
        if (e < kHitDistance) {
            // A photon exactly at the centre has no direction to knock along.
            if (e != 0) {
                const float s = static_cast<float>(Distance(vx, vy) + Distance(p.vx, p.vy));
                vx = -(ox / e) * s;
                vy = -(oy / e) * s;
            }
            shots.Remove(i);
            Damage(PhotonPool::kDamage);
        }
    }

    PhotonPool& own = *photons;
    for (int i = 0; i < own.Count(); ++i) {
        const Photon& p = own.Get(i);
        if (WallTest(arena->grid, p.x, p.y, p.vx, p.vy) != 0) {
            own.Remove(i);
            continue;
        }
        const float dx = p.x - player->x;
        const float dy = p.y - player->y;
        if (Distance(dx, dy) < kHitDistance) {
            own.Remove(i);
            player->Damage(PhotonPool::kDamage);
        }
    }
}

void EnemyShip::Move() {
    if (angle < 0) angle = angle + 360;
    if (angle > 360) angle = angle - 360;
    x = x + vx;
    y = y + vy;
}

void EnemyShip::Draw() {
    if (!visible) return;
    if (hit) {
        if (frame > 3) {
            frame = 0;
            hit = false;
        } else {
            frame = frame + 1;
        }
    } else if (dying) {
        if (frame >= 9)
            visible = false;  // this frame still draws
        else if (frame >= 4)
            frame = frame + 1;
        else
            frame = 4;
    }
    // An empty slot (a missing picture) shows nothing, not the turn buffer's
    // previous picture, as for the player's ship.
    Image& picture = frames[frame];
    if (picture.data == nullptr) return;
    picture.Rotate(&turnBuffer, angle - 90, 1.0f);
    Tarvo.DrawTransparent(static_cast<int>(x - 40 + *viewX), static_cast<int>(y - 40 + *viewY), &turnBuffer);
}

void EnemyShip::Damage(int amount) {
    health = health - amount;
    if (health > 0) {
        hit = true;
    } else {
        hit = false;
        dying = true;
    }
}
