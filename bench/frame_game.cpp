// Frame/tarvo: the game's run() on the scripted backend from a mid-fight
// state, and the draw list the peers compose from that same state.
//
// The state: the game unpaused, the player at (700, 630) turning left with
// Space held, all three enemies on screen mid-leg, nine photons in flight,
// the pick-up placed, the inner wall of column 10 (ten cells) in view. The
// world moves on every frame, so the plain fields of the game objects are
// put back before each timed run (untimed); every timed run therefore does
// the same update and draws the same picture.
//
// Timed: one run(), the update and the whole drawing phase (BeginDraw to
// EndDraw, GetKey). Not timed: presentation. The engine's window is made
// inactive, so ViewUpdate returns before the scripted backend copies and
// hashes the frame.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "bench/frame_scene.h"
#include "engine/windows_dx.h"
#include "game/game.h"
#include "game/game_random.h"
#include "image/image.h"
#include "platform/scripted/scripted_platform.h"

namespace {

struct ShipFields {
    PlayerState state;
    int health, fireCounter, waitCounter, frame;
    bool visible;
    float angle, turnRate, x, y, vx, vy;
};

struct EnemyFields {
    int step, legLength, health, fireCounter, frame;
    float aimX, aimY, angle, heading, x, y, vx, vy;
    bool hit, dying, visible;
};

struct PoolFields {
    int count;
    Photon records[PhotonPool::kCapacity];
};

// Everything run() can change, except pixels it overwrites anyway (the turn
// buffers and the back buffer).
struct GameFields {
    float viewX, viewY;
    bool paused, showIntro, allEnemiesDead;
    int endCounter;
    GameRandom random;
    ShipFields player;
    EnemyFields enemy[3];
    PoolFields playerPool, enemyPool[3];
    float pickupX, pickupY;
    bool pickupActive;
    int pickupCounter;
    int keyCount;
};

PoolFields Save(const PhotonPool& p) {
    PoolFields f{p.count, {}};
    std::memcpy(f.records, p.records, sizeof f.records);
    return f;
}

void Put(const PoolFields& f, PhotonPool& p) {
    p.count = f.count;
    std::memcpy(p.records, f.records, sizeof f.records);
}

GameFields SaveGame() {
    GameFields g{};
    g.viewX = viewX;
    g.viewY = viewY;
    g.paused = paused;
    g.showIntro = showIntro;
    g.allEnemiesDead = allEnemiesDead;
    g.endCounter = endCounter;
    g.random = gameRandom;
    const PlayerShip& s = playerShip;
    g.player = {s.state, s.health, s.fireCounter, s.waitCounter, s.frame, s.visible,
                s.angle, s.turnRate, s.x, s.y, s.vx, s.vy};
    for (int i = 0; i < 3; ++i) {
        const EnemyShip& e = enemies[i];
        g.enemy[i] = {e.step, e.legLength, e.health, e.fireCounter, e.frame, e.aimX, e.aimY, e.angle,
                      e.heading, e.x, e.y, e.vx, e.vy, e.hit, e.dying, e.visible};
        g.enemyPool[i] = Save(enemyPhotons[i]);
    }
    g.playerPool = Save(playerPhotons);
    g.pickupX = healthPickup.x;
    g.pickupY = healthPickup.y;
    g.pickupActive = healthPickup.active;
    g.pickupCounter = healthPickup.counter;
    g.keyCount = Tarvo.keyCount;
    return g;
}

void PutGame(const GameFields& g) {
    viewX = g.viewX;
    viewY = g.viewY;
    paused = g.paused;
    showIntro = g.showIntro;
    allEnemiesDead = g.allEnemiesDead;
    endCounter = g.endCounter;
    gameRandom = g.random;
    PlayerShip& s = playerShip;
    s.state = g.player.state;
    s.health = g.player.health;
    s.fireCounter = g.player.fireCounter;
    s.waitCounter = g.player.waitCounter;
    s.frame = g.player.frame;
    s.visible = g.player.visible;
    s.angle = g.player.angle;
    s.turnRate = g.player.turnRate;
    s.x = g.player.x;
    s.y = g.player.y;
    s.vx = g.player.vx;
    s.vy = g.player.vy;
    for (int i = 0; i < 3; ++i) {
        EnemyShip& e = enemies[i];
        const EnemyFields& f = g.enemy[i];
        e.step = f.step;
        e.legLength = f.legLength;
        e.health = f.health;
        e.fireCounter = f.fireCounter;
        e.frame = f.frame;
        e.aimX = f.aimX;
        e.aimY = f.aimY;
        e.angle = f.angle;
        e.heading = f.heading;
        e.x = f.x;
        e.y = f.y;
        e.vx = f.vx;
        e.vy = f.vy;
        e.hit = f.hit;
        e.dying = f.dying;
        e.visible = f.visible;
        Put(g.enemyPool[i], enemyPhotons[i]);
    }
    Put(g.playerPool, playerPhotons);
    healthPickup.x = g.pickupX;
    healthPickup.y = g.pickupY;
    healthPickup.active = g.pickupActive;
    healthPickup.counter = g.pickupCounter;
    Tarvo.keyCount = g.keyCount;
}

void AddPhoton(PhotonPool& pool, float x, float y, float vx, float vy, int age) {
    pool.records[pool.count++] = Photon{x, y, vx, vy, age};
}

// The mid-fight state, set over a freshly initialised game.
void SetMidFight() {
    paused = false;
    showIntro = false;
    // Space (firing) and Left (turning) held.
    Tarvo.keyState[platform::VK_SPACE] = 1;
    Tarvo.keyState[platform::VK_LEFT] = 1;

    PlayerShip& s = playerShip;
    s.x = 700;
    s.y = 630;
    s.angle = 123;
    s.turnRate = 3;
    s.vx = 1.5f;
    s.vy = -0.8f;
    s.health = 65;
    s.fireCounter = 4;
    viewX = PlayerShip::kScreenX - s.x;
    viewY = PlayerShip::kScreenY - s.y;

    // World positions; boxes on screen at (218, 126), (578, 166) and (478, 406).
    const float at[3][2] = {{560, 520}, {920, 560}, {820, 800}};
    const float speed[3][2] = {{1.2f, 0.9f}, {-0.5f, 0.7f}, {0.6f, -0.4f}};
    const int health[3] = {60, 75, 90};
    for (int i = 0; i < 3; ++i) {
        EnemyShip& e = enemies[i];
        e.x = at[i][0];
        e.y = at[i][1];
        e.vx = speed[i][0];
        e.vy = speed[i][1];
        e.health = health[i];
        e.step = 20;
        e.legLength = 150;
        e.fireCounter = 3;
    }

    // Nine photons in open space, none within reach of a ship.
    AddPhoton(playerPhotons, 640, 470, -6, -12, 12);
    AddPhoton(playerPhotons, 760, 420, 9, -10, 30);
    AddPhoton(playerPhotons, 980, 690, 14, 3, 44);
    AddPhoton(enemyPhotons[0], 620, 600, 8, 5, 20);
    AddPhoton(enemyPhotons[0], 820, 480, 7, 4, 50);
    AddPhoton(enemyPhotons[1], 860, 640, -9, 3, 15);
    AddPhoton(enemyPhotons[1], 1000, 520, -8, 6, 40);
    AddPhoton(enemyPhotons[2], 760, 760, -3, -9, 25);
    AddPhoton(enemyPhotons[2], 900, 780, -7, -5, 60);

    // The pick-up placed in a free cell, 100 pixels from the player.
    healthPickup.active = true;
    healthPickup.x = 620;
    healthPickup.y = 560;
}

struct GameFrame {
    platform::ScriptedPlatform machine;
    GameFields start{};
    bool ready = false;
};

GameFrame& Frame() {
    static GameFrame frame;
    return frame;
}

// Starts the engine and the game as WinMain does (fresh engine object, game
// state at program start, initialize()), then sets the mid-fight state.
void Build() {
    GameFrame& f = Frame();
    f.machine.~ScriptedPlatform();
    new (&f.machine) platform::ScriptedPlatform();
    platform::SetCurrent(&f.machine);
    Tarvo.~WindowsDX();
    new (&Tarvo) WindowsDX();
    ResetGameState();
    Tarvo.SetInstance(nullptr, 1);
    initialize();
    if (Tarvo.status != INIT_OK || tilePicture.data == nullptr) {
        std::fprintf(stderr, "Frame/tarvo: the game did not start (status %d; are the pictures in Images/?)\n",
                     Tarvo.status);
        std::exit(1);
    }
    // Presentation is not part of the figure: an inactive window is not presented.
    Tarvo.active = 0;
    SetMidFight();
    f.start = SaveGame();
}

void EnsureBuilt() {
    if (ClaimEngine(EngineUser::kGame)) Build();
}

const uint16_t* BackPixels() {
    GameFrame& f = Frame();
    return f.machine.AsSurface(Tarvo.backSurface)->pixels.data();
}

FramePicture Words(const Image& image) {
    FramePicture p;
    p.width = image.width;
    p.height = image.height;
    const uint16_t* w = image.Pixels16();
    if (w != nullptr) p.words.assign(w, w + static_cast<size_t>(image.width) * image.height);
    return p;
}

bool OnScreen(Point p, int w, int h) {
    return p.x < Scene::kScreenWidth && p.y < Scene::kScreenHeight && p.x + w > 0 && p.y + h > 0;
}

int AddShipPicture(FrameScene& s, const Image& image) {
    s.ships.push_back(Words(image));
    return static_cast<int>(s.ships.size()) - 1;
}

void AddBar(FrameScene& s, int picture, int health, int x, int y, int direction) {
    for (int off = 0; off < health; off += 5) s.barPieces.push_back({picture, {x, y + direction * off}});
}

// The draw list of the frame run() draws from the start state, read from the
// state it leaves (the state the frame was drawn from), with the engine's own
// position arithmetic.
FrameScene BuildFrameScene() {
    EnsureBuilt();
    GameFrame& f = Frame();
    PutGame(f.start);
    run();
    FrameScene s;
    const uint16_t* back = BackPixels();
    s.engineFrame.assign(back, back + Scene::kScreenWidth * Scene::kScreenHeight);

    s.tile = Words(tilePicture);
    s.wall = Words(arena.wall);
    s.pickup = Words(healthPickup.picture);
    s.photon = Words(playerPhotons.picture);
    s.bars.push_back(Words(healthBarGreen));
    s.bars.push_back(Words(healthBarYellow));
    s.bars.push_back(Words(healthBarRed));
    s.bars.push_back(Words(healthBarBlue));

    int column = 0, row = 0, offsetX = 0, offsetY = 0;
    WindowsDX::TileIndex(static_cast<int>(-viewX), static_cast<int>(-viewY), s.tile.width, s.tile.height, column, row,
                         offsetX, offsetY);
    for (int y = -offsetY; y < Scene::kScreenHeight; y += s.tile.height)
        for (int x = -offsetX; x < Scene::kScreenWidth; x += s.tile.width) s.tiles.push_back({x, y});

    for (int c = 0; c < kArenaColumns; ++c)
        for (int r = 0; r < kArenaRows; ++r)
            if (arena.grid[c * kArenaRows + r] != 0) {
                const Point p{static_cast<int>(kCellSize * c + viewX), static_cast<int>(kCellSize * r + viewY)};
                if (OnScreen(p, s.wall.width, s.wall.height)) s.walls.push_back(p);
            }
    const Point pickup{static_cast<int>(viewX + healthPickup.x), static_cast<int>(viewY + healthPickup.y)};
    if (OnScreen(pickup, s.pickup.width, s.pickup.height)) s.pickups.push_back(pickup);

    if (playerShip.visible && playerShip.frames[playerShip.frame].data != nullptr)
        s.turned.push_back({AddShipPicture(s, playerShip.frames[playerShip.frame]),
                            {PlayerShip::kScreenX - 40, PlayerShip::kScreenY - 40}, playerShip.angle - 90});
    for (const EnemyShip& e : enemies)
        if ((e.IsAlive() || e.IsDying()) && e.visible)
            s.turned.push_back({AddShipPicture(s, e.frames[e.frame]),
                                {static_cast<int>(e.x - 40 + viewX), static_cast<int>(e.y - 40 + viewY)},
                                e.angle - 90});

    auto addPhotons = [&s](const PhotonPool& pool) {
        for (int i = 0; i < pool.count; ++i) {
            const Photon& p = pool.records[i];
            s.photons.push_back({static_cast<int>(viewX + p.x - 10), static_cast<int>(viewY + p.y - 10)});
        }
    };
    addPhotons(playerPhotons);
    for (int i = 0; i < 3; ++i)
        if (enemies[i].IsAlive()) addPhotons(enemyPhotons[i]);

    AddBar(s, 2, playerShip.Health(), 706, 482, -1);
    AddBar(s, 3, enemies[0].Health(), 606, 30, 1);
    AddBar(s, 0, enemies[1].Health(), 656, 30, 1);
    AddBar(s, 1, enemies[2].Health(), 706, 30, 1);
    return s;
}

}  // namespace

const FrameScene& TheFrameScene() {
    static const FrameScene scene = BuildFrameScene();
    return scene;
}

FrameWork TarvoFrameWork() {
    FrameWork w;
    w.setup = [] { EnsureBuilt(); };
    w.draw = [] {
        PutGame(Frame().start);
        run();
    };
    w.pixels = [] { return BackPixels(); };
    return w;
}

FrameWork MemcpyFrameWork() {
    struct Buffers {
        std::vector<uint16_t> screen = std::vector<uint16_t>(Scene::kScreenWidth * Scene::kScreenHeight);
        std::vector<uint16_t> frame = std::vector<uint16_t>(Scene::kScreenWidth * Scene::kScreenHeight, 0x1234);
    };
    static Buffers b;
    FrameWork w;
    w.draw = [] { std::memcpy(b.screen.data(), b.frame.data(), b.frame.size() * 2); };
    w.pixels = [] { return static_cast<const uint16_t*>(b.screen.data()); };
    return w;
}
