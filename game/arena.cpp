#include "game/arena.h"

#include <algorithm>
#include <cmath>

#include "engine/windows_dx.h"
#include "image/tiff_image.h"

namespace {

int Sign(float v) {
    if (v > 0) return 1;
    if (v == 0) return 0;
    return -1;  // negative, or not a number
}

// The cell index of a coordinate, truncated toward zero. Values far outside
// the grid (or not a number) are pinned well outside it, so that neither the
// conversion nor a neighbour step can overflow.
int CellOf(float coordinate) {
    const float q = coordinate / kCellSize;
    if (!(q > -1000.0f && q < 1000.0f)) return -1000;
    return static_cast<int>(q);
}

}  // namespace

bool IsWallCell(const uint8_t* grid, int column, int row) {
    if (column < 0 || column >= kArenaColumns || row < 0 || row >= kArenaRows) return true;
    return grid[column * kArenaRows + row] != 0;
}

int WallTest(const uint8_t* grid, float x, float y, float vx, float vy) {
    const int c = CellOf(x);
    const int r = CellOf(y);
    int result = 0;
    if (IsWallCell(grid, c + Sign(vx), r)) result += WALL_AHEAD_X;
    if (IsWallCell(grid, c, r + Sign(vy))) result += WALL_AHEAD_Y;
    return result;
}

void BounceOffWalls(const uint8_t* grid, float x, float y, float& vx, float& vy) {
    int t = WallTest(grid, x, y, vx, vy);
    for (int flips = 0; t != 0 && flips < kMaxBounceFlips; ++flips) {
        if ((t & WALL_AHEAD_X) != 0) vx = vx * -0.7f;
        if ((t & WALL_AHEAD_Y) != 0) vy = vy * -0.7f;
        t = WallTest(grid, x, y, vx, vy);
        // Inside a wall cell a flagged component of 0 keeps its answer for
        // ever; once all flagged ones are 0 nothing can change.
        const bool xCanChange = (t & WALL_AHEAD_X) != 0 && vx != 0;
        const bool yCanChange = (t & WALL_AHEAD_Y) != 0 && vy != 0;
        if (t != 0 && !xCanChange && !yCanChange) break;
    }
}

void Arena::Setup(float* viewXPointer, float* viewYPointer) {
    viewX = viewXPointer;
    viewY = viewYPointer;
    for (int c = 0; c < kArenaColumns; ++c)
        for (int r = 0; r < kArenaRows; ++r) {
            const bool border = c == 0 || c == kArenaColumns - 1 || r == 0 || r == kArenaRows - 1;
            grid[c * kArenaRows + r] = border ? 1 : 0;
        }
    for (int r = 10; r <= 19; ++r) {
        grid[10 * kArenaRows + r] = 1;
        grid[30 * kArenaRows + r] = 1;
    }
    TiffImage reader;
    reader.LoadTiff("Images\\wall.tif", &wall, 1);
}

namespace {

// Cells [first, last] whose picture, `size` pixels long on this axis and
// drawn at 42 * cell + view truncated, can touch screen pixels
// clipStart..clipEnd: a cell further out draws nothing, so leaving it out
// changes no pixel. The picture's size is the artist's choice, so a cell
// well off screen may still reach it; a cell of margin on each side keeps
// the rounding of the float view out of the question.
void VisibleCells(float view, int size, int clipStart, int clipEnd, int cells, int& first, int& last) {
    const double lowest = std::floor((clipStart - size - static_cast<double>(view)) / kCellSize) - 1;
    const double highest = std::ceil((clipEnd - static_cast<double>(view)) / kCellSize) + 1;
    first = static_cast<int>(std::max(0.0, std::min(lowest, static_cast<double>(cells))));
    last = static_cast<int>(std::max(-1.0, std::min(highest, static_cast<double>(cells - 1))));
}

}  // namespace

void Arena::Draw() {
    // Only the cells that can show: the rest would be clipped away whole.
    int firstColumn, lastColumn, firstRow, lastRow;
    VisibleCells(*viewX, wall.width, Tarvo.clipLeft, Tarvo.clipRight, kArenaColumns, firstColumn, lastColumn);
    VisibleCells(*viewY, wall.height, Tarvo.clipTop, Tarvo.clipBottom, kArenaRows, firstRow, lastRow);
    for (int c = firstColumn; c <= lastColumn; ++c)
        for (int r = firstRow; r <= lastRow; ++r)
            if (grid[c * kArenaRows + r] != 0)
                Tarvo.DrawTransparent(static_cast<int>(kCellSize * c + *viewX),
                                      static_cast<int>(kCellSize * r + *viewY), &wall);
}
