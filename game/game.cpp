#include "game/game.h"

#include <tarvo/version.h>

#include <cmath>

#include "base/game_info.h"
#include "base/init_order.h"
#include "engine/windows_dx.h"
#include "game/game_actions.h"
#include "game/game_events.h"
#include "game/game_random.h"
#include "game/game_sounds.h"
#include "game/geometry.h"
#include "image/tiff_image.h"

float viewX = 0;
float viewY = 0;
bool paused = true;
bool showIntro = true;
bool allEnemiesDead = false;
int endCounter = 0;

Arena arena TARVO_INIT_GAME;
PlayerShip playerShip TARVO_INIT_GAME;
PhotonPool playerPhotons TARVO_INIT_GAME;
EnemyShip enemies[3] TARVO_INIT_GAME;
PhotonPool enemyPhotons[3] TARVO_INIT_GAME;
HealthPickup healthPickup TARVO_INIT_GAME;
Image tilePicture TARVO_INIT_GAME;
Image healthBarGreen TARVO_INIT_GAME;
Image healthBarYellow TARVO_INIT_GAME;
Image healthBarRed TARVO_INIT_GAME;
Image healthBarBlue TARVO_INIT_GAME;
Image introPicture TARVO_INIT_GAME;
Image endPicture TARVO_INIT_GAME;

namespace {

constexpr int kPanelX = 128;  // intro and end pictures, 500 x 300, centred
constexpr int kPanelY = 106;
constexpr int kPickupReach = 40;
// The health bars at the screen's right edge: the player's grows up from its
// place, the enemies' (blue, green, yellow) grow down from theirs.
constexpr int kPlayerBarX = 706;
constexpr int kPlayerBarY = 482;
constexpr int kEnemyBarX[3] = {606, 656, 706};
constexpr int kEnemyBarY = 30;

bool AnyEnemyAlive() {
    for (const EnemyShip& enemy : enemies)
        if (enemy.IsAlive()) return true;
    return false;
}

void Update() {
    if (Tarvo.IsKeyDown('P')) paused = true;  // this frame still updates
    if (!allEnemiesDead && !AnyEnemyAlive()) allEnemiesDead = true;
    if (allEnemiesDead && endCounter < kEndPictureFrames) endCounter = endCounter + 1;

    playerShip.StepState();
    if (playerShip.IsAlive()) playerShip.Controls();
    for (EnemyShip& enemy : enemies)
        if (enemy.IsAlive()) enemy.Think();
    if (playerShip.IsAlive()) playerShip.BounceWalls();
    for (EnemyShip& enemy : enemies)
        if (enemy.IsAlive()) enemy.Collide();
    if (playerShip.IsAlive()) playerShip.Move();
    for (EnemyShip& enemy : enemies)
        if (enemy.IsAlive()) enemy.Move();
    playerPhotons.Update();
    for (int i = 0; i < 3; ++i)
        if (enemies[i].IsAlive()) enemyPhotons[i].Update();
    healthPickup.Update();

    // Whatever the player's state, and even while inactive (then far away).
    const float dx = playerShip.x - healthPickup.x;
    const float dy = playerShip.y - healthPickup.y;
    if (Distance(dx, dy) < kPickupReach) {
        healthPickup.active = false;
        playerShip.AddHealth(healthPickup.amount);
    }
}

void Draw() {
    // A frame whose lock failed draws nothing; the engine has reported it.
    if (Tarvo.BeginDraw()) {
        Tarvo.DrawTiled(static_cast<int>(-viewX), static_cast<int>(-viewY), &tilePicture);
        arena.Draw();
        healthPickup.Draw();
        playerShip.Draw();
        for (EnemyShip& enemy : enemies)
            if (enemy.IsAlive() || enemy.IsDying()) enemy.Draw();
        playerPhotons.Draw();
        for (int i = 0; i < 3; ++i)
            if (enemies[i].IsAlive()) enemyPhotons[i].Draw();
        DrawHealthBar(&healthBarRed, playerShip.Health(), kPlayerBarX, kPlayerBarY, -1);
        DrawHealthBar(&healthBarBlue, enemies[0].Health(), kEnemyBarX[0], kEnemyBarY, 1);
        DrawHealthBar(&healthBarGreen, enemies[1].Health(), kEnemyBarX[1], kEnemyBarY, 1);
        DrawHealthBar(&healthBarYellow, enemies[2].Health(), kEnemyBarX[2], kEnemyBarY, 1);
        if (showIntro) Tarvo.DrawTransparent(kPanelX, kPanelY, &introPicture);
        if (endCounter >= kEndPictureFrames) Tarvo.DrawTransparent(kPanelX, kPanelY, &endPicture);
        Tarvo.EndDraw();
    }
    Tarvo.GetKey();
    Tarvo.ViewUpdate();
}

}  // namespace

// The window keeps an empty title; the message boxes say Tarvo.
static const TarvoGame game({
    .name = "tarvo",
    .title = "Tarvo",
    .windowTitle = "",
    .width = 756,
    .height = 512,
    .help = "The top-down space shooter. Space starts and fires, the arrows or W A S D steer,\n"
            "P pauses, M mutes.",
    .version = TARVO_VERSION,
    .actions = kShooterActions,
    .muteKey = true,
});

void initialize() {
    Tarvo.Initialize(false, 756, 512);
    arena.Setup(&viewX, &viewY);
    playerShip.Setup(&arena, &viewX, &viewY);
    playerPhotons.Setup(&viewX, &viewY);
    playerShip.SetPhotons(&playerPhotons);
    for (int i = 0; i < 3; ++i) {
        enemies[i].Setup(SHIP_BLUE + i, &arena, &playerShip, &viewX, &viewY);
        enemyPhotons[i].Setup(&viewX, &viewY);
        enemies[i].SetPhotons(&enemyPhotons[i]);
    }
    healthPickup.Setup(&arena, &viewX, &viewY);

    TiffImage reader;
    reader.LoadTiff("Images\\tile.tif", &tilePicture, 0);
    reader.LoadTiff("Images\\health_bar_g.tif", &healthBarGreen, 0);
    reader.LoadTiff("Images\\health_bar_y.tif", &healthBarYellow, 0);
    reader.LoadTiff("Images\\health_bar_r.tif", &healthBarRed, 0);
    reader.LoadTiff("Images\\health_bar_b.tif", &healthBarBlue, 0);
    reader.LoadTiff("Images\\intro_text.tif", &introPicture, 1);
    reader.LoadTiff("Images\\end_text.tif", &endPicture, 1);
    // A program that failed to start only reports why; it has nothing to play.
    if (Tarvo.status == INIT_OK) gameSounds.Setup();
}

void run() {
    // The frame's sounds are read from the state around it: the rules below
    // neither report them nor know that anyone listens.
    const GameSnapshot before = TakeSnapshot();
    if (paused) {
        if (showIntro && Tarvo.IsKeyDown(platform::VK_SPACE)) {
            paused = false;
            showIntro = false;
        } else if (!showIntro && Tarvo.IsKeyDown('P')) {
            paused = false;
        }
    } else {
        Update();
    }
    Draw();
    gameSounds.Play(FindEvents(before, TakeSnapshot()));
}

void ResetGameState() {
    viewX = 0;
    viewY = 0;
    paused = true;
    showIntro = true;
    allEnemiesDead = false;
    endCounter = 0;
    gameRandom.Reset();
    gameSounds = GameSounds();
}
