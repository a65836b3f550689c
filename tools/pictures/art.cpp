#include "tools/pictures/art.h"

#include "tools/pictures/drawings.h"

namespace pictures {

const std::vector<PictureEntry>& AllPictures() {
    static const std::vector<PictureEntry> list = {
        {"tile", 64, 64, 0, DrawTile},
        {"health_bar_r", 40, 4, 0, [](Canvas& c) { DrawBar(c, Opaque(220, 44, 40)); }},
        {"health_bar_b", 40, 4, 0, [](Canvas& c) { DrawBar(c, Opaque(50, 110, 240)); }},
        {"health_bar_g", 40, 4, 0, [](Canvas& c) { DrawBar(c, Opaque(50, 196, 70)); }},
        {"health_bar_y", 40, 4, 0, [](Canvas& c) { DrawBar(c, Opaque(240, 206, 40)); }},
        {"intro_text", 500, 300, 1, DrawIntro},
        {"end_text", 500, 300, 1, DrawEnd},
        {"wall", 42, 42, 1, DrawWall},
        {"player_ship", 80, 80, 1, [](Canvas& c) { DrawShip(c, ShipKind::Player); }},
        {"player_ship_boost", 80, 80, 1, DrawPlayerShipBoost},
        {"player_ship_spawn1", 80, 80, 1, [](Canvas& c) { DrawSpawn(c, ShipKind::Player, 1); }},
        {"player_ship_spawn2", 80, 80, 1, [](Canvas& c) { DrawSpawn(c, ShipKind::Player, 2); }},
        {"player_ship_spawn3", 80, 80, 1, [](Canvas& c) { DrawSpawn(c, ShipKind::Player, 3); }},
        {"player_ship_dest1", 80, 80, 1, [](Canvas& c) { DrawExplosion(c, 1); }},
        {"player_ship_dest2", 80, 80, 1, [](Canvas& c) { DrawExplosion(c, 2); }},
        {"player_ship_dest3", 80, 80, 1, [](Canvas& c) { DrawExplosion(c, 3); }},
        {"player_ship_dest4", 80, 80, 1, [](Canvas& c) { DrawExplosion(c, 4); }},
        {"player_ship_dest5", 80, 80, 1, [](Canvas& c) { DrawExplosion(c, 5); }},
        {"player_ship_dest6", 80, 80, 1, [](Canvas& c) { DrawExplosion(c, 6); }},
        {"ship-blue", 80, 80, 1, [](Canvas& c) { DrawShip(c, ShipKind::Blue); }},
        {"ship-green", 80, 80, 1, [](Canvas& c) { DrawShip(c, ShipKind::Green); }},
        {"ship-yellow", 80, 80, 1, [](Canvas& c) { DrawShip(c, ShipKind::Yellow); }},
        {"blue_spawn1", 80, 80, 1, [](Canvas& c) { DrawSpawn(c, ShipKind::Blue, 1); }},
        {"blue_spawn2", 80, 80, 1, [](Canvas& c) { DrawSpawn(c, ShipKind::Blue, 2); }},
        {"blue_spawn3", 80, 80, 1, [](Canvas& c) { DrawSpawn(c, ShipKind::Blue, 3); }},
        {"green_spawn1", 80, 80, 1, [](Canvas& c) { DrawSpawn(c, ShipKind::Green, 1); }},
        {"green_spawn2", 80, 80, 1, [](Canvas& c) { DrawSpawn(c, ShipKind::Green, 2); }},
        {"green_spawn3", 80, 80, 1, [](Canvas& c) { DrawSpawn(c, ShipKind::Green, 3); }},
        {"yellow_spawn1", 80, 80, 1, [](Canvas& c) { DrawSpawn(c, ShipKind::Yellow, 1); }},
        {"yellow_spawn2", 80, 80, 1, [](Canvas& c) { DrawSpawn(c, ShipKind::Yellow, 2); }},
        {"yellow_spawn3", 80, 80, 1, [](Canvas& c) { DrawSpawn(c, ShipKind::Yellow, 3); }},
        {"photon", 20, 20, 3, DrawPhoton},
        {"health", 32, 32, 1, DrawHealth},
    };
    return list;
}

const std::vector<PictureEntry>& TouchPictures() {
    static const std::vector<PictureEntry> list = {
        {"intro_text", 500, 300, 1, DrawIntroTouch},
        {"end_text", 500, 300, 1, DrawEndTouch},
    };
    return list;
}

Canvas Draw(const PictureEntry& picture) {
    Canvas canvas(picture.width, picture.height);
    picture.draw(canvas);
    return canvas;
}

}  // namespace pictures
