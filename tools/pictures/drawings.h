// The drawing functions behind the picture list (art.h), one group a file: ships.cpp (the four
// ships and their spawn flashes), effects.cpp (explosion, photon), scenery.cpp (tile, wall, health
// pick-up, health-bar pieces), panels.cpp (intro and end text).
//
// Each draws into a canvas already of the picture's size, transparent to begin with.
#pragma once

#include "tools/pictures/art.h"
#include "tools/pictures/raster.h"

namespace pictures {

enum class ShipKind { Player, Blue, Green, Yellow };

// A ship pointing up in its 80 x 80 picture, outlined, inside the turn circle.
Canvas ShipPicture(ShipKind kind);
void DrawShip(Canvas& canvas, ShipKind kind);
// The player's ship with its engine firing.
void DrawPlayerShipBoost(Canvas& canvas);
// Spawn and hit flash, step 1 to 3: the ship in a shield ring, washed toward white.
void DrawSpawn(Canvas& canvas, ShipKind kind, int step);

// Explosion step 1 to 6: flash, fireball, break-up, smoke, last debris. Shared by every ship.
void DrawExplosion(Canvas& canvas, int step);
void DrawPhoton(Canvas& canvas);

void DrawTile(Canvas& canvas);
void DrawWall(Canvas& canvas);
void DrawHealth(Canvas& canvas);
// One health-bar piece in the bar's colour.
void DrawBar(Canvas& canvas, Rgba colour);

void DrawIntro(Canvas& canvas);
// The intro a touch device shows instead: the page's controls in place of keys.
void DrawIntroTouch(Canvas& canvas);
void DrawEnd(Canvas& canvas);
// The end a touch device shows instead: its Quit button in place of Escape.
void DrawEndTouch(Canvas& canvas);

}  // namespace pictures
