// The game's pictures, drawn in code: the list of every file the game loads, with its size, the
// load mode the game uses for it, and the function that draws it.
//
// Depends on raster.h and, for the intro and end text, on SDL2_ttf with the DejaVu fonts.
// How the game uses each picture decides how it is drawn:
//  - load mode 1 (ships, flashes, explosion, wall, pick-up, text) keeps a pixel only where alpha is
//    not 0 and shows it fully opaque, so these pictures use alpha 0 or 255 only and outline their
//    shapes with a dark colour instead of soft edges;
//  - load mode 3 (the photon) is premultiplied and added to the screen: a soft glow whose alpha
//    falls to 0 at the edges;
//  - load mode 0 (tile, health-bar pieces) is opaque and carries no alpha.
// Ship pictures are 80 x 80, point up, and keep everything inside the circle of diameter 76 about
// their centre, since the game turns them about that centre into an 80 x 80 buffer.
#pragma once

#include <string>
#include <vector>

#include "tools/pictures/raster.h"

namespace pictures {

struct PictureEntry {
    std::string name;  // file name without folder or ".tif"
    int width;
    int height;
    int loadMode;      // the alphaMode the game passes when it loads the file
    void (*draw)(Canvas& canvas);
    // Whether the file carries an alpha sample: every load mode but 0 uses one.
    bool HasAlpha() const { return loadMode != 0; }
};

// All pictures the game loads, in a fixed order.
const std::vector<PictureEntry>& AllPictures();

// The pictures the web page puts in place of the game's own of the same name on a touch device:
// the intro and the end, naming the page's touch controls instead of keys.
const std::vector<PictureEntry>& TouchPictures();

// Draws one picture into a new canvas of its size. Text pictures need the DejaVu fonts: a font that
// cannot be opened ends the process with a message, since the build must not ship blank text.
Canvas Draw(const PictureEntry& picture);

// Ships turn about the centre of their 80 x 80 picture; visible pixels stay inside this circle.
constexpr int SHIP_SIZE = 80;
constexpr float SHIP_CIRCLE_DIAMETER = 76.0f;

}  // namespace pictures
