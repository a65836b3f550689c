// The desktop icon: the player's ship as PNG pictures at the sizes the
// freedesktop icon theme looks for, transparent around the ship.
#pragma once

#include <string>

#include "tools/pictures/raster.h"

namespace pictures {

// The canvas resampled to size x size: each pixel the average of the source
// area it covers (colour weighted by alpha, so transparent pixels lend no
// colour to the edge).
Canvas Resample(const Canvas& canvas, int size);

// The canvas as a PNG file (8-bit RGBA, not interlaced, rows unfiltered),
// compressed with deflate's fixed codes: far from the smallest a PNG can be,
// but the icons' transparent border and enlarged pixels shrink to a fraction.
std::string CanvasToPng(const Canvas& canvas);

// The icon at size x size, as PNG bytes.
std::string IconPng(int size);

}  // namespace pictures
