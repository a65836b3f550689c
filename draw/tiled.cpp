// Tiled background: the screen covered by copies of one tile on an endless
// grid, shifted by a view offset. Each tile goes down as one DrawSolid call
// through the engine's slot; when that slot holds the engine's own DrawSolid16
// the same pixels are written row by row instead, without one clipped call a
// tile.
#include <climits>
#include <cstdint>

#include "draw/blit.h"
#include "draw/blit_kernels.h"
#include "engine/windows_dx.h"
#include "image/image.h"

void WindowsDX::TileIndex(int x, int y, int tileWidth, int tileHeight, int& column, int& row, int& offsetX,
                          int& offsetY) {
    // A negative exact multiple gives index one lower and offset = size: that
    // only adds a row or column of tiles wholly off the screen.
    if (x >= 0) {
        column = x / tileWidth;
        offsetX = x % tileWidth;
    } else {
        column = x / tileWidth - 1;
        offsetX = x % tileWidth + tileWidth;
    }
    if (y >= 0) {
        row = y / tileHeight;
        offsetY = y % tileHeight;
    } else {
        row = y / tileHeight - 1;
        offsetY = y % tileHeight + tileHeight;
    }
}

int WindowsDX::DrawTiled(int x, int y, Image* tile) {
    const int tw = tile->width;
    const int th = tile->height;
    // Sizes are divisors; a tile without pixels would draw nothing anyway, and
    // without a drawing slot the engine has no screen yet.
    if (tile->data == nullptr || tw <= 0 || th <= 0 || DrawSolid == nullptr) return 1;
    const int64_t endX = static_cast<int64_t>(x) + pitch;
    const int64_t endY = static_cast<int64_t>(y) + screenHeight;
    if (endX > INT_MAX || endY > INT_MAX || endX < INT_MIN || endY < INT_MIN) return 1;

    int lastColumn = 0, lastRow = 0, unusedX = 0, unusedY = 0;
    TileIndex(static_cast<int>(endX), static_cast<int>(endY), tw, th, lastColumn, lastRow, unusedX, unusedY);
    int firstColumn = 0, firstRow = 0, offsetX = 0, offsetY = 0;
    TileIndex(x, y, tw, th, firstColumn, firstRow, offsetX, offsetY);
    const int columns = lastColumn - firstColumn + 1;
    const int rows = lastRow - firstRow + 1;
    if (rows <= 0 || columns <= 0) return 1;

    if (DrawSolid != &DrawSolid16) {
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c) DrawSolid(c * tw - offsetX, r * th - offsetY, tile);
        return 1;
    }

    // The tiles cover [-offsetX, columns * tw - offsetX) across and likewise
    // down; what of that lies in the clip rectangle is filled in one pass.
    const int64_t left = clipLeft > -offsetX ? clipLeft : -offsetX;
    const int64_t top = clipTop > -offsetY ? clipTop : -offsetY;
    const int64_t gridRight = static_cast<int64_t>(columns) * tw - offsetX - 1;
    const int64_t gridBottom = static_cast<int64_t>(rows) * th - offsetY - 1;
    const int64_t right = clipRight < gridRight ? clipRight : gridRight;
    const int64_t bottom = clipBottom < gridBottom ? clipBottom : gridBottom;
    if (right < left || bottom < top) return 1;
    TiledFill fill;
    fill.dst = backBuffer + top * pitch + left;
    fill.dstPitch = pitch;
    fill.tile = tile->Pixels16();
    fill.tileWidth = tw;
    fill.tileHeight = th;
    fill.width = static_cast<int>(right - left + 1);
    fill.height = static_cast<int>(bottom - top + 1);
    fill.tileX = static_cast<int>((left + offsetX) % tw);
    fill.tileY = static_cast<int>((top + offsetY) % th);
    ActiveBlitKernels().tiled(fill);
    return 1;
}
