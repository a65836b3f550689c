// The fight made audible: the events read from the state around a frame,
// where a sound is placed, and whole scripted fights on the scripted machine,
// whose sounds must follow what the rules did, frame by frame, and whose
// states must not change at all because sound is on, off or muted.
#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "engine/audio.h"
#include "game/game_events.h"
#include "game/game_sounds.h"
#include "tests/game/game_fixture.h"
#include "tools/replay/replay_runner.h"
#include "tools/replay/state_report.h"

namespace {

// A frame in the middle of a fight: view (100, 50), so the player (at its
// fixed screen point) is at world (298, 226).
GameSnapshot Base() {
    GameSnapshot s;
    s.paused = false;
    s.viewX = 100;
    s.viewY = 50;
    s.player = {298, 226, 100, 5, false};
    s.playerState = PlayerState::Flying;
    s.enemies[0] = {40, 60, 80, 5, false};
    s.enemies[1] = {900, 60, 100, 5, false};
    s.enemies[2] = {300, 700, 120, 5, false};
    s.pickupActive = false;
    s.pickupX = s.pickupY = HealthPickup::kUnplaced;
    s.pickupAmount = 20;
    s.endCounter = 0;
    return s;
}

std::string Describe(const FrameEvents& events) {
    static const char* const kNames[] = {"player shot",      "enemy shot",      "enemy hit", "player hit",
                                         "enemy exploded",   "player exploded", "respawned", "pickup placed",
                                         "pickup collected", "end shown"};
    std::string out;
    for (int i = 0; i < events.count; ++i) {
        const GameEvent& e = events.items[i];
        char item[96];
        std::snprintf(item, sizeof item, "%s%s %d at %g,%g", out.empty() ? "" : "; ", kNames[e.type], e.ship, e.screenX,
                      e.screenY);
        out += item;
    }
    return out;
}

TEST(GameEvents, EachRuleIsReadFromTheStateAroundAFrame) {
    using S = GameSnapshot;
    struct Case {
        const char* name;
        std::function<void(S& before, S& after)> change;
        const char* events;
    };
    const Case cases[] = {
        {"nothing changed", [](S&, S&) {}, ""},
        {"the player's counter passes 10 and fires",
         [](S& b, S& a) { b.player.fireCounter = 11, a.player.fireCounter = 0; }, "player shot 0 at 398,276"},
        {"a counter that starts from 0 has not fired",
         [](S& b, S& a) { b.player.fireCounter = 0, a.player.fireCounter = 1; }, ""},
        {"green fires, placed where it is on screen",
         [](S& b, S& a) { b.enemies[1].fireCounter = 61, a.enemies[1].fireCounter = 0; }, "enemy shot 2 at 1000,110"},
        {"two photons hit yellow in one frame", [](S&, S& a) { a.enemies[2].health = 110; },
         "enemy hit 3 at 400,750; enemy hit 3 at 400,750"},
        {"the last hit on blue",
         [](S& b, S& a) { b.enemies[0].health = 5, a.enemies[0].health = 0, a.enemies[0].dying = true; },
         "enemy hit 1 at 140,110; enemy exploded 1 at 140,110"},
        {"hit while collecting the pick-up: +20 - 5",
         [](S& b, S& a) { b.player.health = 50, a.player.health = 65, b.pickupActive = true; },
         "player hit 0 at 398,276; pickup collected 0 at 398,276"},
        {"collected unhurt", [](S& b, S& a) { b.player.health = 50, a.player.health = 70, b.pickupActive = true; },
         "pickup collected 0 at 398,276"},
        {"respawn finished (health 100), then hit",
         [](S& b, S& a) { b.playerState = PlayerState::Respawning, b.player.health = -5, a.player.health = 95; },
         "player hit 0 at 398,276"},
        {"respawn finished unhurt", [](S& b, S&) { b.playerState = PlayerState::Respawning, b.player.health = -5; },
         ""},
        {"the fatal hit",
         [](S& b, S& a) { b.player.health = 5, a.player.health = 0, a.playerState = PlayerState::Exploding; },
         "player hit 0 at 398,276; player exploded 0 at 398,276"},
        {"the wreck hit again",
         [](S& b, S& a) {
             b.playerState = a.playerState = PlayerState::Exploding, b.player.health = 0, a.player.health = -5;
         },
         "player hit 0 at 398,276"},
        {"the wait ends and the ship comes back",
         [](S& b, S& a) {
             b.playerState = PlayerState::Waiting, a.playerState = PlayerState::Respawning,
             b.player.health = a.player.health = -5;
         },
         "respawned 0 at 398,276"},
        {"the pick-up is placed", [](S&, S& a) { a.pickupActive = true, a.pickupX = 300, a.pickupY = 200; },
         "pickup placed 0 at 400,250"},
        {"the pick-up leaves its start for the waiting place", [](S& b, S&) { b.pickupX = b.pickupY = 0; }, ""},
        {"the end picture appears", [](S& b, S& a) { b.endCounter = 199, a.endCounter = 200; },
         "end shown 0 at 398,276"},
        {"the end picture stays", [](S& b, S& a) { b.endCounter = a.endCounter = 200; }, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        S before = Base(), after = Base();
        c.change(before, after);
        EXPECT_EQ(Describe(FindEvents(before, after)), c.events);
    }
}

TEST(GameEvents, ThrustIsHeardOnlyInAFrameThatUpdatesALivingShip) {
    struct Case {
        bool pausedBefore, held;
        int healthAfter;
        bool thrusting;
    };
    for (const Case& c : {Case{false, true, 100, true}, Case{true, true, 100, false}, Case{false, false, 100, false},
                          Case{false, true, 0, false}}) {
        SCOPED_TRACE(testing::Message() << c.pausedBefore << c.held << c.healthAfter);
        GameSnapshot before = Base(), after = Base();
        before.paused = c.pausedBefore;
        after.thrustHeld = c.held;
        after.player.health = c.healthAfter;
        EXPECT_EQ(FindEvents(before, after).thrusting, c.thrusting);
    }
}

TEST(GameSoundsPlacement, PanFollowsTheSideAndVolumeTheDistanceFromThePlayer) {
    struct Case {
        float x, y;
        float volume, pan;
    };
    const Case cases[] = {
        {398, 276, 1.0f, 0.0f},               // the player itself
        {198, 276, 1.0f, -0.4f},              // 200 to the left: within full volume, 0.8 x 200 / 400 left
        {-2, 276, 1 - 100.0f / 1200, -0.8f},  // 400 to the left: the full pan
        {798, 276, 1 - 100.0f / 1200, 0.8f},
        {398, 756, 0.85f, 0.0f},     // 480 below, as yellow at the start
        {-1402, 276, 0.25f, -0.8f},  // far away: the floor and no more pan
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        EXPECT_FLOAT_EQ(GameSounds::VolumeAt(c.x, c.y), c.volume);
        EXPECT_FLOAT_EQ(GameSounds::PanAt(c.x), c.pan);
    }
}

class GameSoundTest : public GameTest {
protected:
    // The game's state after every frame.
    std::vector<std::string> States(platform::ScriptedPlatform& on, const std::vector<KeyEvent>& events, int frames) {
        std::vector<std::string> states;
        const ReplayResult result = RunReplay(on, events, frames, [&](int f) { states.push_back(GameStateJson(f)); });
        EXPECT_EQ(result.exitCode, 0);
        platform::SetCurrent(&machine);
        return states;
    }
    static std::string ReadLog() {
        std::ifstream in("debug.txt");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
};

// Start, turn to face yellow below while firing all the time. Yellow fires
// up at the player from frame 43 and hits it; yellow, set to 5 health after
// frame 90, is destroyed by the player's next photon.
constexpr const char* kFight = "0 down SPACE\n1 down LEFT\n57 up LEFT\n";

TEST_F(GameSoundTest, ScriptedFightSoundsFollowWhatTheRulesDidFrameByFrame) {
    // What each frame did, seen by the test in the pools and the ships.
    std::map<int, std::vector<std::string>> expected;
    int playerHealth = 100;
    int enemyHealth[3] = {80, 100, 120};
    bool dying[3] = {};
    const char* const side[3] = {"left", "right", "centre"};  // blue far left, green far right, yellow below
    RunReplay(machine, Script(kFight), 100, [&](int f) {
        std::vector<std::string>& sounds = expected[f];
        for (int i = 0; i < playerPhotons.Count(); ++i)
            if (playerPhotons.Get(i).age == 1) sounds.push_back("player_shot");
        for (int e = 0; e < 3; ++e)
            for (int i = 0; i < enemyPhotons[e].Count(); ++i)
                if (enemyPhotons[e].Get(i).age == 1) sounds.push_back(std::string("enemy_shot ") + side[e]);
        for (int e = 0; e < 3; ++e) {
            for (int h = enemies[e].health; h < enemyHealth[e]; h += 5) sounds.push_back("hit_enemy");
            if (enemies[e].dying && !dying[e]) sounds.push_back("explode_enemy");
            dying[e] = enemies[e].dying;
            enemyHealth[e] = enemies[e].health;
        }
        for (int h = playerShip.health; h < playerHealth; h += 5) sounds.push_back("hit_player");
        playerHealth = playerShip.health;
        if (f == 90) enemyHealth[2] = enemies[2].health = 5;
    });

    std::map<int, std::vector<std::string>> asked;
    for (const auto& s : machine.sounds) {
        ASSERT_EQ(s.action, "play") << s.frame << " " << s.effect;  // no thrust, no hum
        std::string name = s.effect;
        if (name == "enemy_shot")
            name += s.pan == -0.8f ? " left" : s.pan == 0.8f ? " right" : std::fabs(s.pan) < 0.05f ? " centre" : " ?";
        asked[s.frame].push_back(name);
    }
    std::vector<int> shots, hitsOnPlayer, hitsOnEnemies, explosions;
    for (int f = 0; f < 100; ++f) {
        SCOPED_TRACE(f);
        std::sort(expected[f].begin(), expected[f].end());
        std::sort(asked[f].begin(), asked[f].end());
        EXPECT_EQ(asked[f], expected[f]);
        for (const std::string& name : asked[f]) {
            if (name == "player_shot") shots.push_back(f);
            if (name == "hit_player") hitsOnPlayer.push_back(f);
            if (name == "hit_enemy") hitsOnEnemies.push_back(f);
            if (name == "explode_enemy") explosions.push_back(f);
        }
    }
    // The fight holds what it is meant to show: a shot every 12th held frame,
    // hits both ways, and yellow's explosion with the hit that causes it.
    EXPECT_EQ(shots, (std::vector<int>{12, 24, 36, 48, 60, 72, 84, 96}));
    EXPECT_FALSE(hitsOnPlayer.empty());
    EXPECT_FALSE(hitsOnEnemies.empty());
    ASSERT_EQ(explosions.size(), 1u);
    EXPECT_GT(explosions[0], 90);
    EXPECT_EQ(std::count(hitsOnEnemies.begin(), hitsOnEnemies.end(), explosions[0]), 1);
    // Yellow's first shot, 480 pixels below the player, at the volume that distance gives.
    const auto first = std::find_if(machine.sounds.begin(), machine.sounds.end(),
                                    [](const auto& s) { return s.effect == "enemy_shot"; });
    ASSERT_NE(first, machine.sounds.end());
    EXPECT_EQ(first->frame, 43);
    EXPECT_FLOAT_EQ(first->volume, 0.85f);
    // Every effect was found and loaded, from a working folder that holds none.
    EXPECT_EQ(machine.loadedSounds.size(), static_cast<size_t>(GameSounds::kEffectCount));
}

TEST_F(GameSoundTest, StatesAreTheSameWithSoundOnOffAndMuted) {
    // Fire, turn, thrust (the hum), pause and resume: 400 frames.
    const char* script =
        "0 down SPACE\n1 down LEFT\n57 up LEFT\n120 down UP\n160 up UP\n200 down P\n201 up P\n230 down P\n231 up P\n";
    platform::ScriptedPlatform on;
    const std::vector<std::string> heard = States(on, Script(script), 400);
    EXPECT_GT(on.sounds.size(), 40u);

    platform::ScriptedPlatform off;
    off.audioAvailable = false;
    EXPECT_EQ(States(off, Script(script), 400), heard);
    EXPECT_TRUE(off.sounds.empty());
    EXPECT_TRUE(off.messageBoxes.empty());
    // No device: one line in the log, after start-up, and nothing else about sound.
    const std::string log = ReadLog();
    EXPECT_NE(log.find("Initialization finished OK.\n  "
                       "Audio: No sound output (no audio device); the game runs silent. (Warning only)\n"),
              std::string::npos)
        << log;
    EXPECT_EQ(log.find("Audio:"), log.rfind("Audio:"));

    platform::ScriptedPlatform muted;
    std::vector<KeyEvent> withM = Script(script);
    withM.push_back({0, true, 'M'});
    EXPECT_EQ(States(muted, withM, 400), heard);
    for (const auto& s : muted.sounds) EXPECT_EQ(s.action, "stopall") << s.frame << " " << s.effect;
}

TEST_F(GameSoundTest, HumFollowsThrustAndMuteHoldsEverythingUntilMAgain) {
    // Thrust from 10 to 60 and again from 65; M pressed at 20 and at 40; P
    // at 70 pauses from frame 71 on. Space held: shots at 12, 24, 36, 48, 60.
    const char* script = "0 down SPACE\n10 down UP\n60 up UP\n65 down UP\n70 down P\n71 up P\n";
    std::vector<KeyEvent> events = Script(script);
    for (int frame : {20, 40}) {
        events.push_back({frame, true, 'M'});
        events.push_back({frame + 1, false, 'M'});
    }
    RunReplay(machine, events, 90, nullptr);
    std::vector<std::string> heard;
    for (const auto& s : machine.sounds) {
        if (s.frame >= 19 && s.frame < 39) {
            EXPECT_EQ(s.action, "stopall") << s.frame << " " << s.effect;  // muted: nothing plays
        }
        if (s.effect == "player_shot" || s.effect == "engine_hum" || s.action == "stopall")
            heard.push_back(std::to_string(s.frame) + " " + s.action + (s.effect.empty() ? "" : " " + s.effect));
    }
    // M is seen between frames: its records carry the frame before it.
    EXPECT_EQ(heard, (std::vector<std::string>{"10 loop engine_hum", "12 play player_shot", "19 stopall",
                                               "39 loop engine_hum", "48 play player_shot", "60 play player_shot",
                                               "60 stop engine_hum", "65 loop engine_hum", "71 stop engine_hum"}));
}

}  // namespace
