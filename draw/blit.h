// The 16-bit drawing set that CreateSurface puts into the engine's slots.
// Each draws a whole image with its top-left pixel at screen (x, y), clipped
// to the target's clip rectangle, and returns 1. The image must be in the
// screen's 16-bit format; DrawAlpha and DrawAdditive also need premultiplied
// alpha bytes (0 opaque, 255 transparent).
//
// DrawPixel16 writes the word r * 1024 + g * 32 + b (5-bit channels, packed
// 5-5-5 whatever the screen's layout) at (x, y); nothing off the screen.
#pragma once

class Image;
class ScreenBuffer;

// The screen these functions draw on and clip to; not owned. The engine
// object sets itself when it is constructed.
void SetBlitTarget(ScreenBuffer* screen);

int DrawPixel16(int x, int y, int r, int g, int b);
// Opaque copy.
int DrawSolid16(int x, int y, Image* image);
// Copy skipping the key word 0.
int DrawTransparent16(int x, int y, Image* image);
// screen * (alpha / 256) + image, per channel; alpha 255 leaves the screen.
int DrawAlpha16(int x, int y, Image* image);
// Per-channel saturating add; skips image words 0 and alpha 255.
int DrawAdditive16(int x, int y, Image* image);
