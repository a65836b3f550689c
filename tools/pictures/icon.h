// The desktop icon: the player's ship as an XPM picture (a text format every
// Linux desktop reads), transparent around the ship.
#pragma once

#include <string>

#include "tools/pictures/raster.h"

namespace pictures {

// The canvas as XPM text named `name`: one colour a distinct opaque RGB,
// "None" where alpha is 0. At most 4096 colours (two characters a pixel).
std::string CanvasToXpm(const Canvas& canvas, const std::string& name);

// The icon's XPM text.
std::string IconXpm();

}  // namespace pictures
