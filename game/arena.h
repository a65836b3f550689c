// Arena: the walled playing field, 40 x 30 square cells of 42 world pixels,
// each wall or free, and the one question every moving object asks of it:
// is there a wall in the next cell toward which I am moving?
//
// The grid is stored column by column: cell (column c, row r) is byte
// c * 30 + r, 1 for wall. The border and two inner walls (columns 10 and 30,
// rows 10 to 19) are wall. A cell outside the grid counts as wall.
#pragma once

#include <cstdint>

#include "image/image.h"

constexpr int kArenaColumns = 40;
constexpr int kArenaRows = 30;
constexpr int kCellSize = 42;  // world pixels

// Bits of WallTest's answer.
constexpr int WALL_AHEAD_X = 1;
constexpr int WALL_AHEAD_Y = 2;

// True for a wall cell and for any cell outside the grid.
bool IsWallCell(const uint8_t* grid, int column, int row);

// 1 (wall ahead horizontally) + 2 (wall ahead vertically) for an object at
// (x, y) moving with (vx, vy). Each axis looks at the neighbour cell in the
// direction of its velocity component's sign (its own cell for 0; a value
// that is not a number counts as negative). Diagonal cells are never looked at.
int WallTest(const uint8_t* grid, float x, float y, float vx, float vy);

// The wall bounce: while WallTest reports a wall ahead, the flagged velocity
// components are multiplied by -0.7f. The position is not changed. For an
// object standing inside a wall cell, where the flips could go on for ever,
// the loop ends once every flagged component is 0 or after kMaxBounceFlips
// flips.
void BounceOffWalls(const uint8_t* grid, float x, float y, float& vx, float& vy);
// Enough for any float component to shrink to the smallest subnormal, from
// where further flips would only turn its sign.
constexpr int kMaxBounceFlips = 1000;

class Arena {
public:
    uint8_t grid[kArenaColumns * kArenaRows] = {};
    float* viewX = nullptr;
    float* viewY = nullptr;
    Image wall;  // drawn keyed from each wall cell's corner; any size (the artist's choice)

    // Stores the view pointers, fills the grid, loads "Images\wall.tif".
    void Setup(float* viewXPointer, float* viewYPointer);
    // Every wall cell, at its world corner plus the view offset.
    void Draw();
};
