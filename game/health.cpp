#include "game/health.h"

#include "engine/windows_dx.h"
#include "game/arena.h"
#include "game/game_random.h"
#include "image/tiff_image.h"

void HealthPickup::Setup(Arena* arena, float* viewXPointer, float* viewYPointer) {
    x = 0;
    y = 0;
    amount = 20;
    active = false;
    viewX = viewXPointer;
    viewY = viewYPointer;
    counter = 0;
    grid = arena->grid;
    TiffImage reader;
    reader.LoadTiff("Images\\health.tif", &picture, 1);
}

void HealthPickup::Update() {
    if (active) {
        if (x == kUnplaced) {
            float a, b;
            // The border and the inner walls are rejected; a free cell is
            // always found (more than half of the cells are free).
            do {
                a = static_cast<float>((gameRandom.Rand() * 39 * 42) / 32767.0);
                b = static_cast<float>((gameRandom.Rand() * 29 * 42) / 32767.0);
            } while (WallTest(grid, a, b, 0, 0) != 0);
            x = a;
            y = b;
        }
    } else {
        x = kUnplaced;
        y = kUnplaced;
        counter = counter + 1;
        if (counter > kWaitFrames) {
            counter = 0;
            active = true;
        }
    }
}

void HealthPickup::Draw() {
    Tarvo.DrawTransparent(static_cast<int>(*viewX + x), static_cast<int>(*viewY + y), &picture);
}

void DrawHealthBar(Image* piece, int health, int x, int y, int direction) {
    for (int off = 0; off < health; off += 5) Tarvo.DrawSolid(x, y + direction * off, piece);
}
