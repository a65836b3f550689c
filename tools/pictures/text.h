// Text for the generator's pictures, set with SDL2_ttf in the DejaVu fonts.
//
// Depends on SDL2_ttf (FreeType) and the fonts-dejavu-core files under
// /usr/share/fonts/truetype/dejavu/. Text is anti-aliased and blended onto pixels that are already
// opaque (a panel), so the result keeps hard alpha. Where the text lies over transparent pixels,
// its coverage is cut at one half: those pixels become fully opaque or stay transparent.
// A font that cannot be opened ends the process with a message: blank text must fail the build.
#pragma once

#include <string>

#include "tools/pictures/raster.h"

namespace pictures {

enum class Face { Regular, Bold };

// Width in pixels of the text set in the face at the point size.
int TextWidth(Face face, int pointSize, const std::string& text);

// Draws one line of UTF-8 text with its top-left corner at (x, y).
void DrawText(Canvas& canvas, Face face, int pointSize, const std::string& text, Rgba colour, int x, int y);

// Draws one line centred on the column x.
void DrawTextCentred(Canvas& canvas, Face face, int pointSize, const std::string& text, Rgba colour,
                     int centreX, int y);

}  // namespace pictures
