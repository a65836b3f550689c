#include "game/game_events.h"

#include "engine/windows_dx.h"
#include "game/game.h"

namespace {

GameSnapshot::Ship ShipOf(const PlayerShip& ship) { return {ship.x, ship.y, ship.health, ship.fireCounter, false}; }

GameSnapshot::Ship ShipOf(const EnemyShip& ship) { return {ship.x, ship.y, ship.health, ship.fireCounter, ship.dying}; }

// A shot resets the fire counter, which otherwise only counts up.
bool Fired(const GameSnapshot::Ship& before, const GameSnapshot::Ship& after) {
    return before.fireCounter != 0 && after.fireCounter == 0;
}

}  // namespace

GameSnapshot TakeSnapshot() {
    GameSnapshot s;
    s.paused = paused;
    s.viewX = viewX;
    s.viewY = viewY;
    s.player = ShipOf(playerShip);
    s.playerState = playerShip.state;
    for (int i = 0; i < 3; ++i) s.enemies[i] = ShipOf(enemies[i]);
    s.pickupActive = healthPickup.active;
    s.pickupX = healthPickup.x;
    s.pickupY = healthPickup.y;
    s.pickupAmount = healthPickup.amount;
    s.endCounter = endCounter;
    s.thrustHeld = Tarvo.IsKeyDown(platform::VK_UP) != 0 || Tarvo.IsKeyDown(platform::VK_DOWN) != 0;
    return s;
}

FrameEvents FindEvents(const GameSnapshot& before, const GameSnapshot& after) {
    FrameEvents events;
    const float playerX = PlayerShip::kScreenX;
    const float playerY = PlayerShip::kScreenY;
    auto onScreen = [&](const GameSnapshot::Ship& ship, GameEventType type, int index) {
        return GameEvent{type, index, ship.x + after.viewX, ship.y + after.viewY};
    };

    if (Fired(before.player, after.player)) events.Add({EVENT_PLAYER_SHOT, 0, playerX, playerY});
    for (int i = 0; i < 3; ++i)
        if (Fired(before.enemies[i], after.enemies[i])) events.Add(onScreen(after.enemies[i], EVENT_ENEMY_SHOT, i + 1));

    for (int i = 0; i < 3; ++i) {
        const int lost = before.enemies[i].health - after.enemies[i].health;
        for (int hit = 0; hit < lost / PhotonPool::kDamage; ++hit)
            events.Add(onScreen(after.enemies[i], EVENT_ENEMY_HIT, i + 1));
    }

    // The player's health after the frame is what it started from (100 after
    // a finished respawn, which comes first), plus a collection, less 5 a hit.
    const bool respawnFinished =
        before.playerState == PlayerState::Respawning && after.playerState == PlayerState::Flying;
    const bool collected = before.pickupActive && !after.pickupActive;
    int start = respawnFinished ? PlayerShip::kFullHealth : before.player.health;
    if (collected) start += after.pickupAmount;
    for (int hit = 0; hit < (start - after.player.health) / PhotonPool::kDamage; ++hit)
        events.Add({EVENT_PLAYER_HIT, 0, playerX, playerY});

    for (int i = 0; i < 3; ++i)
        if (!before.enemies[i].dying && after.enemies[i].dying)
            events.Add(onScreen(after.enemies[i], EVENT_ENEMY_EXPLODED, i + 1));
    if (before.playerState != PlayerState::Exploding && after.playerState == PlayerState::Exploding)
        events.Add({EVENT_PLAYER_EXPLODED, 0, playerX, playerY});
    if (before.playerState == PlayerState::Waiting && after.playerState == PlayerState::Respawning)
        events.Add({EVENT_PLAYER_RESPAWNED, 0, playerX, playerY});

    if (before.pickupX == HealthPickup::kUnplaced && after.pickupX != HealthPickup::kUnplaced)
        events.Add({EVENT_PICKUP_PLACED, 0, after.pickupX + after.viewX, after.pickupY + after.viewY});
    if (collected) events.Add({EVENT_PICKUP_COLLECTED, 0, playerX, playerY});
    if (before.endCounter < kEndPictureFrames && after.endCounter >= kEndPictureFrames)
        events.Add({EVENT_END_SHOWN, 0, playerX, playerY});

    // Thrust acts in Controls, which runs only in a frame that updates (one
    // that began unpaused) and only for a living ship.
    events.thrusting = !before.paused && after.player.health > 0 && after.thrustHeld;
    return events;
}
