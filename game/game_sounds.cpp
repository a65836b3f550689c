#include "game/game_sounds.h"

#include <algorithm>
#include <cmath>

#include "base/init_order.h"
#include "engine/audio.h"
#include "game/player_ship.h"

GameSounds gameSounds TARVO_INIT_GAME;

namespace {

constexpr float kPanReach = 400;         // pixels from the player to the full pan
constexpr float kMaxPan = 0.8f;          // never wholly on one side
constexpr float kFullVolumeReach = 300;  // pixels
constexpr float kFadeReach = 1200;       // pixels from full volume down to none, were there no floor
constexpr float kMinVolume = 0.25f;

}  // namespace

const char* const GameSounds::kFiles[kEffectCount] = {
    "Sounds\\player_shot.wav",    "Sounds\\enemy_shot.wav",     "Sounds\\hit_enemy.wav",
    "Sounds\\hit_player.wav",     "Sounds\\explode_enemy.wav",  "Sounds\\explode_player.wav",
    "Sounds\\respawn.wav",        "Sounds\\pickup_appear.wav",  "Sounds\\pickup_collect.wav",
    "Sounds\\fight_won.wav",      "Sounds\\engine_hum.wav",
};

void GameSounds::Setup() {
    humming = false;
    for (int& effect : effects) effect = 0;
    if (!audio.Open()) return;
    for (int i = 0; i < kEffectCount; ++i) effects[i] = audio.Load(kFiles[i]);
}

void GameSounds::Play(const FrameEvents& events) {
    for (int i = 0; i < events.count; ++i) {
        const GameEvent& event = events.items[i];
        audio.Play(effects[event.type], VolumeAt(event.screenX, event.screenY), PanAt(event.screenX));
    }
    if (events.thrusting && !humming) audio.StartLoop(effects[kHum], 1.0f, 0.0f);
    if (!events.thrusting && humming) audio.StopLoop(effects[kHum]);
    humming = events.thrusting;
}

float GameSounds::VolumeAt(float screenX, float screenY) {
    const float dx = screenX - PlayerShip::kScreenX;
    const float dy = screenY - PlayerShip::kScreenY;
    const float distance = std::sqrt(dx * dx + dy * dy);
    return std::clamp(1 - (distance - kFullVolumeReach) / kFadeReach, kMinVolume, 1.0f);
}

float GameSounds::PanAt(float screenX) {
    return kMaxPan * std::clamp((screenX - PlayerShip::kScreenX) / kPanReach, -1.0f, 1.0f);
}
