// Tiled background: the screen covered by copies of one tile on an endless
// grid, shifted by a view offset. Each tile goes down as one DrawSolid call
// through the screen's slot; when that slot holds the engine's own DrawSolid16
// the same pixels are written row by row instead, without one clipped call a
// tile.
#include <climits>
#include <cstdint>

#include "draw/blit.h"
#include "draw/blit_kernels.h"
#include "draw/screen.h"
#include "image/image.h"

namespace {

// One axis of TileIndex in 64 bits: near INT_MIN with small tiles the index
// (v / size - 1) and the span between two indices leave the range of int.
void TileAxis(int64_t v, int64_t size, int64_t& index, int64_t& offset) {
    // A negative exact multiple gives index one lower and offset = size: that
    // only adds a row or column of tiles wholly off the screen.
    if (v >= 0) {
        index = v / size;
        offset = v % size;
    } else {
        index = v / size - 1;
        offset = v % size + size;
    }
}

void TileAxisInt(int v, int size, int& index, int& offset) {
    int64_t wideIndex = 0, wideOffset = 0;
    TileAxis(v, size, wideIndex, wideOffset);
    // Only v = INT_MIN with size 1 gives an index below INT_MIN; the pair
    // (v, 0) names the same grid line.
    if (wideIndex < INT_MIN) {
        wideIndex = v;
        wideOffset = 0;
    }
    index = static_cast<int>(wideIndex);
    offset = static_cast<int>(wideOffset);
}

}  // namespace

void ScreenBuffer::TileIndex(int x, int y, int tileWidth, int tileHeight, int& column, int& row, int& offsetX,
                             int& offsetY) {
    TileAxisInt(x, tileWidth, column, offsetX);
    TileAxisInt(y, tileHeight, row, offsetY);
}

int ScreenBuffer::DrawTiled(int x, int y, Image* tile) {
    const int tw = tile->width;
    const int th = tile->height;
    // Sizes are divisors; a tile without pixels would draw nothing anyway, and
    // without a drawing slot the engine has no screen yet.
    if (tile->data == nullptr || tw <= 0 || th <= 0 || DrawSolid == nullptr) return 1;

    // Every index and position in 64 bits: the end point x + pitch may pass
    // INT_MAX, and with small tiles the indices reach below INT_MIN.
    int64_t lastColumn = 0, lastRow = 0, unused = 0;
    TileAxis(static_cast<int64_t>(x) + pitch, tw, lastColumn, unused);
    TileAxis(static_cast<int64_t>(y) + screenHeight, th, lastRow, unused);
    int64_t firstColumn = 0, firstRow = 0, offsetX = 0, offsetY = 0;
    TileAxis(x, tw, firstColumn, offsetX);
    TileAxis(y, th, firstRow, offsetY);
    const int64_t columns = lastColumn - firstColumn + 1;
    const int64_t rows = lastRow - firstRow + 1;
    if (rows <= 0 || columns <= 0) return 1;

    if (DrawSolid != &DrawSolid16) {
        for (int64_t r = 0; r < rows; ++r) {
            const int64_t top = r * th - offsetY;
            for (int64_t c = 0; c < columns; ++c) {
                const int64_t left = c * tw - offsetX;
                // A tile whose corner lies outside int lies wholly off the screen.
                if (left <= INT_MAX && top <= INT_MAX)
                    DrawSolid(static_cast<int>(left), static_cast<int>(top), tile);
            }
        }
        return 1;
    }

    // The tiles cover [-offsetX, columns * tw - offsetX) across and likewise
    // down; what of that lies in the clip rectangle is filled in one pass.
    if (!tile->Is16Bit()) return 1;
    const int64_t left = clipLeft > -offsetX ? clipLeft : -offsetX;
    const int64_t top = clipTop > -offsetY ? clipTop : -offsetY;
    const int64_t gridRight = columns * tw - offsetX - 1;
    const int64_t gridBottom = rows * th - offsetY - 1;
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
