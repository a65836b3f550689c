#include "tools/pictures/drawings.h"

#include <cmath>
#include <vector>

namespace pictures {

namespace {

constexpr float PI = 3.14159265358979f;
constexpr float AXIS = 40.0f;  // ships are symmetric about this column line

struct ShipColours {
    Rgba hull;
    Rgba trim;    // second body colour: stripes, fins
    Rgba canopy;
    Rgba edge;    // dark outline that separates the ship from any background
    Rgba shield;  // colour of the flash ring in the spawn pictures
};

const ShipColours RED{Opaque(200, 40, 36), Opaque(240, 230, 220), Opaque(90, 200, 245), Opaque(40, 8, 10),
                      Opaque(255, 150, 140)};
const ShipColours BLUE{Opaque(40, 96, 220), Opaque(150, 220, 255), Opaque(255, 196, 60), Opaque(6, 14, 48),
                       Opaque(130, 210, 255)};
const ShipColours GREEN{Opaque(48, 168, 64), Opaque(24, 96, 36), Opaque(230, 245, 130), Opaque(6, 36, 10),
                        Opaque(150, 255, 150)};
const ShipColours YELLOW{Opaque(236, 200, 40), Opaque(200, 120, 20), Opaque(200, 40, 30), Opaque(56, 36, 4),
                         Opaque(255, 245, 150)};

// Light from above: the top of a ship is brighter than its tail, with a lit ridge along the axis.
Shader HullShader(Rgba base) {
    return [base](float x, float y) {
        float f = 1.18f - 0.45f * (y / 80.0f);
        if (std::fabs(x - AXIS) < 1.6f) f += 0.18f;
        return Scale(base, f);
    };
}

Shader DomeShader(Rgba base, float cx, float cy, float radius) {
    return [=](float x, float y) {
        // Highlight up and to the left of the middle, like a glass dome under a light.
        float dx = (x - (cx - radius * 0.35f)) / radius;
        float dy = (y - (cy - radius * 0.35f)) / radius;
        float d = std::sqrt(dx * dx + dy * dy);
        if (d < 0.28f) return Mix(base, Opaque(255, 255, 255), 0.75f);
        return Scale(base, 1.15f - 0.45f * std::min(d, 1.2f));
    };
}

void Nozzle(Canvas& c, int x0, int y0, int x1, int y1) {
    FillRect(c, x0, y0, x1, y1, Opaque(70, 72, 82));
    FillRect(c, x0 + 1, y1 - 1, x1 - 1, y1, Opaque(255, 150, 40));
}

void PlayerShape(Canvas& c, const ShipColours& k) {
    std::vector<Point> wing{{46, 27}, {58, 42}, {67, 54}, {67, 60}, {58, 61}, {46, 55}};
    FillPolygon(c, wing, HullShader(Scale(k.hull, 0.85f)));
    FillPolygon(c, MirrorX(wing, AXIS), HullShader(Scale(k.hull, 0.85f)));
    // Light stripe along each wing, and a gun at each wing tip.
    DrawLine(c, {51, 40}, {63, 56}, 1.6f, k.trim);
    DrawLine(c, {29, 40}, {17, 56}, 1.6f, k.trim);
    DrawLine(c, {64.5f, 42}, {64.5f, 57}, 2.0f, Opaque(150, 150, 160));
    DrawLine(c, {15.5f, 42}, {15.5f, 57}, 2.0f, Opaque(150, 150, 160));
    std::vector<Point> fin{{44, 50}, {51, 60}, {51, 64}, {44, 61}};
    FillPolygon(c, fin, Scale(k.hull, 0.7f));
    FillPolygon(c, MirrorX(fin, AXIS), Scale(k.hull, 0.7f));
    FillPolygon(c, Symmetric({{40, 7}, {43, 14}, {46, 26}, {47, 40}, {47, 52}, {45, 60}}, AXIS), HullShader(k.hull));
    // Dark intakes beside the cockpit.
    FillRect(c, 35, 38, 37, 47, Scale(k.hull, 0.45f));
    FillRect(c, 43, 38, 45, 47, Scale(k.hull, 0.45f));
    Nozzle(c, 36, 59, 44, 63);
    FillEllipse(c, 40, 26, 3.4f, 7.5f, DomeShader(k.canopy, 40, 26, 5.0f));
}

// The player's ship with its engine firing: a flame out of the nozzle, hottest at its root.
void PlayerFlame(Canvas& c) {
    FillPolygon(c, {{35.5f, 62}, {37.5f, 69}, {40, 75.5f}, {42.5f, 69}, {44.5f, 62}}, Opaque(255, 120, 24));
    FillPolygon(c, {{37.5f, 62}, {40, 71.5f}, {42.5f, 62}}, Opaque(255, 220, 80));
    FillPolygon(c, {{38.5f, 62}, {40, 66.5f}, {41.5f, 62}}, Opaque(255, 255, 230));
}

// Blue: a flat delta interceptor, built for its dashes.
void BlueShape(Canvas& c, const ShipColours& k) {
    FillPolygon(c, Symmetric({{40, 6}, {45, 18}, {55, 38}, {66, 57}, {66, 63}, {54, 63}, {46, 57}, {40, 61}}, AXIS),
                HullShader(k.hull));
    // Raised spine.
    FillPolygon(c, Symmetric({{40, 10}, {43, 20}, {44, 50}, {42, 57}}, AXIS), HullShader(Scale(k.hull, 1.25f)));
    DrawLine(c, {47, 28}, {62, 56}, 1.5f, k.trim);
    DrawLine(c, {33, 28}, {18, 56}, 1.5f, k.trim);
    // Twin engines in the wing roots.
    FillRect(c, 47, 56, 51, 61, Opaque(70, 72, 82));
    FillRect(c, 29, 56, 33, 61, Opaque(70, 72, 82));
    FillRect(c, 48, 60, 50, 61, Opaque(140, 240, 255));
    FillRect(c, 30, 60, 32, 61, Opaque(140, 240, 255));
    FillEllipse(c, 40, 25, 2.6f, 6.0f, DomeShader(k.canopy, 40, 25, 4.0f));
}

// Green: a heavy twin-hull gunship with one long cannon between the hulls.
void GreenShape(Canvas& c, const ShipColours& k) {
    std::vector<Point> pod{{26, 10}, {32, 17}, {33, 62}, {30, 68}, {22, 68}, {19, 62}, {20, 17}};
    FillPolygon(c, pod, HullShader(k.hull));
    FillPolygon(c, MirrorX(pod, AXIS), HullShader(k.hull));
    DrawLine(c, {26, 20}, {26, 60}, 1.5f, k.trim);
    DrawLine(c, {54, 20}, {54, 60}, 1.5f, k.trim);
    // Cross beam and the central body.
    FillRect(c, 32, 36, 48, 47, Scale(k.hull, 0.6f));
    FillPolygon(c, Symmetric({{40, 22}, {47, 30}, {47, 52}, {40, 58}}, AXIS), HullShader(Scale(k.hull, 1.1f)));
    DrawLine(c, {40, 8.5f}, {40, 24}, 3.0f, Opaque(150, 160, 150));
    FillRect(c, 38, 8, 42, 10, Opaque(90, 96, 90));
    FillRect(c, 22, 66, 30, 68, Opaque(255, 150, 40));
    FillRect(c, 50, 66, 58, 68, Opaque(255, 150, 40));
    FillEllipse(c, 40, 40, 4.5f, 4.5f, DomeShader(k.canopy, 40, 40, 4.5f));
}

// Yellow: a round saucer with a pointed nose and two forward guns.
void YellowShape(Canvas& c, const ShipColours& k) {
    DrawLine(c, {30.5f, 12}, {30.5f, 30}, 3.0f, Opaque(150, 150, 160));
    DrawLine(c, {49.5f, 12}, {49.5f, 30}, 3.0f, Opaque(150, 150, 160));
    FillRect(c, 29, 11, 32, 13, Opaque(90, 90, 100));
    FillRect(c, 48, 11, 51, 13, Opaque(90, 90, 100));
    FillPolygon(c, {{40, 11}, {47, 26}, {33, 26}}, HullShader(k.trim));
    // The disc, lit from the top left.
    FillEllipse(c, 40, 44, 24, 22, [&k](float x, float y) {
        float d = ((x - 32) * (x - 32) + (y - 34) * (y - 34)) / (34.0f * 34.0f);
        return Scale(k.hull, 1.15f - 0.5f * std::min(d, 1.0f));
    });
    FillRing(c, 40, 44, 14.5f, 16.5f, Scale(k.trim, 0.8f));
    // Lights around the rim.
    for (int i = 0; i < 8; ++i) {
        float a = (i + 0.5f) * PI / 4.0f;
        float x = 40 + 20.0f * std::cos(a);
        float y = 44 + 18.5f * std::sin(a);
        FillEllipse(c, x, y, 2.0f, 2.0f, i % 2 ? Opaque(255, 250, 210) : Scale(k.trim, 0.6f));
    }
    FillEllipse(c, 40, 44, 10, 10, DomeShader(Opaque(250, 230, 140), 40, 44, 10));
    FillEllipse(c, 40, 44, 3.5f, 3.5f, k.canopy);
}

using ShapeFn = void (*)(Canvas&, const ShipColours&);

struct ShipLook {
    ShapeFn shape;
    const ShipColours* colours;
};

ShipLook LookOf(ShipKind kind) {
    switch (kind) {
    case ShipKind::Blue: return {BlueShape, &BLUE};
    case ShipKind::Green: return {GreenShape, &GREEN};
    case ShipKind::Yellow: return {YellowShape, &YELLOW};
    default: return {PlayerShape, &RED};
    }
}

// A finished ship: shape, light bevel, then the dark outline around it.
Canvas Ship(ShapeFn shape, const ShipColours& k) {
    Canvas c(SHIP_SIZE, SHIP_SIZE);
    shape(c, k);
    Bevel(c, 1.25f, 0.7f);
    OutlineOutside(c, k.edge);
    return c;
}

}  // namespace

Canvas ShipPicture(ShipKind kind) {
    ShipLook look = LookOf(kind);
    return Ship(look.shape, *look.colours);
}

void DrawShip(Canvas& c, ShipKind kind) { c.Stamp(ShipPicture(kind), 0, 0); }

void DrawPlayerShipBoost(Canvas& c) {
    Canvas flame(SHIP_SIZE, SHIP_SIZE);
    PlayerFlame(flame);
    OutlineOutside(flame, Opaque(120, 30, 8));
    c.Stamp(flame, 0, 0);
    DrawShip(c, ShipKind::Player);
}

// Spawn and hit flash: the ship inside a shield ring, washed out toward white. Step 1 is the
// brightest and widest; the later steps settle toward the plain ship, which follows them when the
// ship comes back.
void DrawSpawn(Canvas& c, ShipKind kind, int step) {
    const ShipColours& k = *LookOf(kind).colours;
    const float ringOuter[] = {36.5f, 32.0f, 28.0f};
    const float ringWidth[] = {3.5f, 2.5f, 1.5f};
    const float whiten[] = {0.85f, 0.55f, 0.25f};
    float outer = ringOuter[step - 1];
    Rgba ring = Mix(k.shield, Opaque(255, 255, 255), step == 1 ? 0.5f : 0.0f);
    FillRing(c, 40, 40, outer - ringWidth[step - 1], outer, ring);
    if (step == 1) {
        // Sparks on the ring at the diagonals.
        for (int i = 0; i < 4; ++i) {
            float a = PI / 4.0f + i * PI / 2.0f;
            float x = 40 + 33.0f * std::cos(a);
            float y = 40 + 33.0f * std::sin(a);
            DrawLine(c, {x - 3.5f, y}, {x + 3.5f, y}, 1.2f, Opaque(255, 255, 255));
            DrawLine(c, {x, y - 3.5f}, {x, y + 3.5f}, 1.2f, Opaque(255, 255, 255));
        }
    }
    Canvas ship = ShipPicture(kind);
    Tint(ship, Opaque(255, 255, 255), whiten[step - 1]);
    c.Stamp(ship, 0, 0);
}

}  // namespace pictures
