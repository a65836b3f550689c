// One whole game frame of a mid-fight state, for Frame/<impl>.
//
// The engine runs the game's own run() from a fixed state; the peers compose
// the same picture from a draw list taken from that state: where the tile
// copies, walls, pick-up, turned ships, photons and health-bar pieces of the
// frame land on the 756 x 512 screen, and the 16-bit words of each picture as
// the engine loaded them (5-6-5, key word 0, photon premultiplied).
//
// Depends on the game (game/game.h) and the scripted backend. Setting the
// game up starts the engine, so it must not run while another user of the
// engine globals (the start-up benchmark) is in the middle of a run.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "bench/scene.h"

struct FramePicture {
    int width = 0;
    int height = 0;
    std::vector<uint16_t> words;  // rows from the top, key word 0 where keyed
};

struct FrameShip {
    int picture = 0;              // index into FrameScene::ships
    Point box;                    // top-left of the 80 x 80 box centred on the ship
    float degrees = 0;            // counterclockwise on the screen, as Image::Rotate takes it
};

struct FrameBar {
    int picture = 0;  // index into FrameScene::bars
    Point at;
};

struct FrameScene {
    FramePicture tile, wall, pickup, photon;
    std::vector<FramePicture> ships;  // the picture each ship shows this frame
    std::vector<FramePicture> bars;   // green, yellow, red, blue pieces
    std::vector<Point> tiles;         // tile copies that reach the screen
    std::vector<Point> walls;         // wall cells that reach the screen
    std::vector<Point> pickups;       // zero or one
    std::vector<FrameShip> turned;
    std::vector<Point> photons;
    std::vector<FrameBar> barPieces;
    // The engine's frame, for checking that a peer drew the same picture.
    std::vector<uint16_t> engineFrame;
};

// The draw list of the mid-fight frame (built once, from the game).
const FrameScene& TheFrameScene();

// One frame of an implementation: `setup` (may be null) runs untimed at the
// start of each benchmark run; each `draw` is one timed frame.
struct FrameWork {
    std::function<void()> setup;
    Work draw;
    // The finished frame (756 x 512 words, no row padding) after a draw.
    std::function<const uint16_t*()> pixels;
};

FrameWork TarvoFrameWork();
FrameWork MemcpyFrameWork();
FrameWork SdlFrameWork();
FrameWork AllegroFrameWork();
