// What the player's ship and the enemies share in loading their pictures.
#pragma once

#include "image/image.h"

// Loads the pictures named by `format` (one %d, numbered 1 to count) keyed
// (load mode 1) into slots[0] to slots[count - 1].
void LoadNumberedPictures(const char* format, int count, Image* slots);

// The 80 x 80 buffer a ship's picture is turned into each frame, 16-bit with
// an alpha buffer, cleared to the transparent key (a missing picture is never
// turned into it).
void AllocateTurnBuffer(Image& buffer);
