#include "tools/pictures/art.h"

#include <algorithm>
#include <cmath>

#include "tools/pictures/text.h"

namespace pictures {

namespace {

constexpr float PI = 3.14159265358979f;
constexpr float AXIS = 40.0f;  // ships are symmetric about this column line

// ---------------------------------------------------------------------------------------------
// Ships

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

// A finished ship: shape, light bevel, then the dark outline around it.
Canvas Ship(ShapeFn shape, const ShipColours& k) {
    Canvas c(SHIP_SIZE, SHIP_SIZE);
    shape(c, k);
    Bevel(c, 1.25f, 0.7f);
    OutlineOutside(c, k.edge);
    return c;
}

void DrawPlayerShip(Canvas& c) { c.Stamp(Ship(PlayerShape, RED), 0, 0); }

void DrawPlayerShipBoost(Canvas& c) {
    Canvas flame(SHIP_SIZE, SHIP_SIZE);
    PlayerFlame(flame);
    OutlineOutside(flame, Opaque(120, 30, 8));
    c.Stamp(flame, 0, 0);
    c.Stamp(Ship(PlayerShape, RED), 0, 0);
}

void DrawBlueShip(Canvas& c) { c.Stamp(Ship(BlueShape, BLUE), 0, 0); }
void DrawGreenShip(Canvas& c) { c.Stamp(Ship(GreenShape, GREEN), 0, 0); }
void DrawYellowShip(Canvas& c) { c.Stamp(Ship(YellowShape, YELLOW), 0, 0); }

// Spawn and hit flash: the ship inside a shield ring, washed out toward white. Step 1 is the
// brightest and widest; the later steps settle toward the plain ship, which follows them when the
// ship comes back.
void DrawSpawn(Canvas& c, ShapeFn shape, const ShipColours& k, int step) {
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
    Canvas ship = Ship(shape, k);
    Tint(ship, Opaque(255, 255, 255), whiten[step - 1]);
    c.Stamp(ship, 0, 0);
}

template <int STEP>
void DrawPlayerSpawn(Canvas& c) { DrawSpawn(c, PlayerShape, RED, STEP); }
template <int STEP>
void DrawBlueSpawn(Canvas& c) { DrawSpawn(c, BlueShape, BLUE, STEP); }
template <int STEP>
void DrawGreenSpawn(Canvas& c) { DrawSpawn(c, GreenShape, GREEN, STEP); }
template <int STEP>
void DrawYellowSpawn(Canvas& c) { DrawSpawn(c, YellowShape, YELLOW, STEP); }

// ---------------------------------------------------------------------------------------------
// Explosion, shared by every ship: flash, fireball, break-up, smoke, last debris.

// With hard alpha, "fading" is drawn as thinning dots. The threshold is a hash of the position
// rather than an ordered pattern, which would show as a regular grid in smoke.
bool DitherKeeps(int x, int y, float density) {
    uint32_t h = static_cast<uint32_t>(x) * 73856093u ^ static_cast<uint32_t>(y) * 19349663u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return density > static_cast<float>(h & 1023) / 1024.0f;
}

struct Blob {
    float cx, cy, radius;
    float phase[3];
};

Blob MakeBlob(Random& random, float cx, float cy, float radius) {
    Blob b{cx, cy, radius, {}};
    for (float& p : b.phase) p = random.Range(0.0f, 2.0f * PI);
    return b;
}

// Distance from the blob's centre relative to its ragged edge: below 1 is inside.
float BlobDepth(const Blob& b, float x, float y) {
    float dx = x - b.cx;
    float dy = y - b.cy;
    float a = std::atan2(dy, dx);
    float edge = b.radius * (1.0f + 0.13f * std::sin(3 * a + b.phase[0]) + 0.09f * std::sin(5 * a + b.phase[1]) +
                             0.06f * std::sin(9 * a + b.phase[2]));
    return std::sqrt(dx * dx + dy * dy) / edge;
}

// Fire colour from the hot core (depth 0) to the cool rim (depth 1); `heat` below 1 cools it all.
Rgba FireColour(float depth, float heat) {
    static const Rgba RAMP[] = {Opaque(255, 255, 235), Opaque(255, 236, 120), Opaque(255, 170, 40),
                                Opaque(230, 80, 20), Opaque(130, 30, 14)};
    float t = std::clamp(depth + (1.0f - heat), 0.0f, 0.999f) * 4.0f;
    int i = static_cast<int>(t);
    return Mix(RAMP[i], RAMP[i + 1], t - i);
}

void FillBlob(Canvas& c, const Blob& b, float heat, float density) {
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) {
            float d = BlobDepth(b, x + 0.5f, y + 0.5f);
            if (d <= 1.0f && DitherKeeps(x, y, density)) c.At(x, y) = FireColour(d, heat);
        }
}

void FillSmoke(Canvas& c, const Blob& b, Rgba colour, float density) {
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) {
            float d = BlobDepth(b, x + 0.5f, y + 0.5f);
            if (d <= 1.0f && DitherKeeps(x, y, density * (1.1f - 0.5f * d)))
                c.At(x, y) = Scale(colour, 1.1f - 0.4f * d);
        }
}

// Hull shards flung outward: small dark-grey triangles with a lit edge, between two radii.
void Debris(Canvas& c, Random& random, int count, float r0, float r1) {
    for (int i = 0; i < count; ++i) {
        float a = random.Range(0.0f, 2.0f * PI);
        float r = random.Range(r0, r1);
        float x = 40 + r * std::cos(a);
        float y = 40 + r * std::sin(a);
        float s = random.Range(1.6f, 3.0f);
        float spin = random.Range(0.0f, 2.0f * PI);
        std::vector<Point> shard;
        for (int k = 0; k < 3; ++k) {
            float t = spin + k * 2.0f * PI / 3.0f;
            float len = k == 0 ? s * 1.6f : s;
            shard.push_back({x + len * std::cos(t), y + len * std::sin(t)});
        }
        FillPolygon(c, shard, Opaque(96, 92, 100));
        c.Put(static_cast<int>(x), static_cast<int>(y), Opaque(170, 165, 175));
    }
}

// Glowing embers: single hot pixels.
void Embers(Canvas& c, Random& random, int count, float r0, float r1) {
    for (int i = 0; i < count; ++i) {
        float a = random.Range(0.0f, 2.0f * PI);
        float r = random.Range(r0, r1);
        int x = static_cast<int>(40 + r * std::cos(a));
        int y = static_cast<int>(40 + r * std::sin(a));
        Rgba hot = random.Unit() < 0.5f ? Opaque(255, 200, 60) : Opaque(255, 120, 30);
        c.Put(x, y, hot);
        if (random.Unit() < 0.4f) c.Put(x + 1, y, Scale(hot, 0.7f));
    }
}

void Star(Canvas& c, int points, float inner, float outer, float spin, Rgba colour) {
    std::vector<Point> star;
    for (int i = 0; i < points * 2; ++i) {
        float a = spin + i * PI / points;
        float r = i % 2 ? inner : outer;
        star.push_back({40 + r * std::cos(a), 40 + r * std::sin(a)});
    }
    FillPolygon(c, star, colour);
}

template <int STEP>
void DrawExplosion(Canvas& c) {
    Random random(0x5EED0000u + STEP);
    switch (STEP) {
    case 1:  // the flash
        Star(c, 8, 9, 24, 0.2f, Opaque(255, 236, 120));
        Star(c, 8, 6, 16, 0.59f, Opaque(255, 255, 235));
        FillEllipse(c, 40, 40, 8, 8, Opaque(255, 255, 255));
        break;
    case 2:  // the fireball grows
        Star(c, 10, 20, 33, 0.1f, Opaque(255, 200, 70));
        FillBlob(c, MakeBlob(random, 40, 40, 25), 1.0f, 1.0f);
        break;
    case 3:  // full fireball, sparks
        FillBlob(c, MakeBlob(random, 40, 40, 31), 0.8f, 1.0f);
        Embers(c, random, 30, 28, 36);
        Debris(c, random, 5, 30, 34);
        break;
    case 4:  // breaking up into burning clouds
        for (int i = 0; i < 5; ++i) {
            float a = i * 2.0f * PI / 5.0f + random.Range(-0.3f, 0.3f);
            float r = random.Range(10, 16);
            FillBlob(c, MakeBlob(random, 40 + r * std::cos(a), 40 + r * std::sin(a), random.Range(10, 14)), 0.55f,
                     0.95f);
        }
        Debris(c, random, 8, 26, 34);
        Embers(c, random, 24, 20, 35);
        break;
    case 5:  // smoke with embers
        for (int i = 0; i < 6; ++i) {
            float a = i * 2.0f * PI / 6.0f + random.Range(-0.3f, 0.3f);
            float r = random.Range(12, 20);
            FillSmoke(c, MakeBlob(random, 40 + r * std::cos(a), 40 + r * std::sin(a), random.Range(9, 13)),
                      Opaque(96, 78, 70), 0.6f);
        }
        Embers(c, random, 30, 6, 34);
        Debris(c, random, 8, 29, 35);
        break;
    default:  // the last thin smoke and debris
        for (int i = 0; i < 6; ++i) {
            float a = i * 2.0f * PI / 6.0f + random.Range(-0.3f, 0.3f);
            float r = random.Range(16, 24);
            FillSmoke(c, MakeBlob(random, 40 + r * std::cos(a), 40 + r * std::sin(a), random.Range(8, 11)),
                      Opaque(74, 66, 64), 0.25f);
        }
        Embers(c, random, 10, 10, 34);
        Debris(c, random, 7, 31, 35);
        break;
    }
    // Debris flung to the rim may poke past the circle that survives turning: trim it there.
    ClearOutsideCircle(c, 40, 40, SHIP_CIRCLE_DIAMETER * 0.5f);
}

// ---------------------------------------------------------------------------------------------
// Photon: a soft glow, added to the screen after its colour is scaled by its alpha.

void DrawPhoton(Canvas& c) {
    const float centre = c.Width() * 0.5f;
    const float radius = 9.5f;
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) {
            float dx = x + 0.5f - centre;
            float dy = y + 0.5f - centre;
            float t = 1.0f - std::sqrt(dx * dx + dy * dy) / radius;
            if (t <= 0.0f) {
                c.At(x, y) = Rgba{0, 0, 0, 0};
                continue;
            }
            // A broad glow with a white-hot middle; added to the screen it must read at a glance.
            float glow = std::min(1.0f, 1.15f * t);
            Rgba colour = Mix(Opaque(110, 200, 255), Opaque(255, 255, 255), std::clamp((t - 0.35f) / 0.35f, 0.0f, 1.0f));
            colour.a = static_cast<uint8_t>(std::lround(255.0f * glow));
            c.At(x, y) = colour;
        }
}

// ---------------------------------------------------------------------------------------------
// Background tile: dark space with faint nebula and stars, seamless on all four sides.

// Value noise on a lattice that wraps every `period` cells across the tile, so the tile's left
// edge continues its right edge.
float PeriodicNoise(const std::vector<float>& lattice, int period, float u, float v) {
    float x = u * period;
    float y = v * period;
    int x0 = static_cast<int>(std::floor(x));
    int y0 = static_cast<int>(std::floor(y));
    float fx = x - x0;
    float fy = y - y0;
    auto at = [&](int i, int j) { return lattice[((j % period + period) % period) * period + (i % period + period) % period]; };
    auto smooth = [](float t) { return t * t * (3.0f - 2.0f * t); };
    float sx = smooth(fx);
    float sy = smooth(fy);
    float top = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * sx;
    float bottom = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * sx;
    return top + (bottom - top) * sy;
}

void DrawTile(Canvas& c) {
    Random random(0x7115EEDu);
    const int periods[] = {2, 4, 8};
    std::vector<float> lattices[3];
    std::vector<float> hue(16);
    for (int o = 0; o < 3; ++o) {
        lattices[o].resize(static_cast<size_t>(periods[o]) * periods[o]);
        for (float& v : lattices[o]) v = random.Unit();
    }
    for (float& v : hue) v = random.Unit();
    const int size = c.Width();
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float u = static_cast<float>(x) / size;
            float v = static_cast<float>(y) / size;
            float n = 0.4f * PeriodicNoise(lattices[0], 2, u, v) + 0.4f * PeriodicNoise(lattices[1], 4, u, v) +
                      0.2f * PeriodicNoise(lattices[2], 8, u, v);
            float cloud = std::clamp((n - 0.4f) / 0.6f, 0.0f, 1.0f);
            cloud *= cloud;
            float h = PeriodicNoise(hue, 4, u, v);
            Rgba nebula = Mix(Opaque(60, 24, 84), Opaque(20, 44, 90), h);
            // A little grain hides the steps that the screen's 5- and 6-bit channels cut into the clouds.
            float grain = random.Range(-1.5f, 1.5f);
            float r = 6 + nebula.r * cloud * 0.7f + grain;
            float g = 7 + nebula.g * cloud * 0.7f + grain;
            float b = 15 + nebula.b * cloud * 0.7f + grain;
            c.At(x, y) = Rgba{static_cast<uint8_t>(std::clamp(r, 0.0f, 255.0f)),
                              static_cast<uint8_t>(std::clamp(g, 0.0f, 255.0f)),
                              static_cast<uint8_t>(std::clamp(b, 0.0f, 255.0f)), 255};
        }
    // Stars: mostly faint, a few brighter, none with a halo, so that the repeat of the tile does not
    // show as a grid of bright marks.
    const Rgba tints[] = {Opaque(255, 255, 255), Opaque(190, 210, 255), Opaque(255, 230, 190)};
    for (int i = 0; i < 22; ++i) {
        int x = static_cast<int>(random.Unit() * size);
        int y = static_cast<int>(random.Unit() * size);
        float bright = i < 3 ? random.Range(0.6f, 0.8f) : random.Range(0.18f, 0.45f);
        Rgba tint = tints[static_cast<int>(random.Unit() * 3)];
        c.At(x, y) = Scale(tint, bright);
    }
}

// ---------------------------------------------------------------------------------------------
// Wall cell: a bolted metal plate, bevelled so that a line of cells reads as one solid wall made
// of plates. Its four corner pixels are cut, the only transparent ones.

void DrawWall(Canvas& c) {
    const int n = c.Width();
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            // Brushed metal: faint horizontal streaks.
            float streak = 1.0f + 0.05f * std::sin(y * 2.1f + std::sin(x * 0.3f));
            c.At(x, y) = Scale(Opaque(78, 86, 102), streak);
        }
    Rgba light = Opaque(150, 160, 178);
    Rgba shade = Opaque(38, 42, 54);
    Rgba edge = Opaque(18, 20, 26);
    FillRect(c, 1, 1, n - 1, 3, light);
    FillRect(c, 1, 1, 3, n - 1, light);
    FillRect(c, 1, n - 3, n - 1, n - 1, shade);
    FillRect(c, n - 3, 1, n - 1, n - 1, shade);
    // Outer edge, so neighbouring cells stay apart.
    FillRect(c, 0, 0, n, 1, edge);
    FillRect(c, 0, n - 1, n, n, edge);
    FillRect(c, 0, 0, 1, n, edge);
    FillRect(c, n - 1, 0, n, n, edge);
    // Recessed centre panel: shadow on its top and left, light on its bottom and right.
    FillRect(c, 8, 8, n - 8, n - 8, Opaque(64, 70, 84));
    FillRect(c, 8, 8, n - 8, 9, shade);
    FillRect(c, 8, 8, 9, n - 8, shade);
    FillRect(c, 8, n - 9, n - 8, n - 8, Opaque(110, 118, 134));
    FillRect(c, n - 9, 8, n - 8, n - 8, Opaque(110, 118, 134));
    // Diagonal grooves in the panel.
    for (int k = 0; k < 3; ++k) {
        float o = 14.0f + k * 7.0f;
        DrawLine(c, {o - 4, static_cast<float>(n - 11)}, {o + 8, 11}, 1.0f, Opaque(52, 57, 70));
    }
    // Bolts in the corners.
    const float bolts[] = {5.0f, n - 5.0f};
    for (float bx : bolts)
        for (float by : bolts) {
            FillEllipse(c, bx, by, 1.6f, 1.6f, Opaque(40, 44, 56));
            c.Put(static_cast<int>(bx) - 1, static_cast<int>(by) - 1, Opaque(190, 198, 212));
        }
    c.At(0, 0) = c.At(n - 1, 0) = c.At(0, n - 1) = c.At(n - 1, n - 1) = Rgba{0, 0, 0, 0};
}

// ---------------------------------------------------------------------------------------------
// Health pick-up: a white med box with a red cross.

void DrawHealth(Canvas& c) {
    const float lo = 2.5f;
    const float hi = 29.5f;
    const float r = 6.0f;
    Shader box = [](float, float y) { return Scale(Opaque(236, 238, 244), 1.05f - 0.25f * (y / 32.0f)); };
    // Rounded box: a cross of rectangles plus four corner discs.
    std::vector<Point> across{{lo, lo + r}, {hi, lo + r}, {hi, hi - r}, {lo, hi - r}};
    std::vector<Point> down{{lo + r, lo}, {hi - r, lo}, {hi - r, hi}, {lo + r, hi}};
    FillPolygon(c, across, box);
    FillPolygon(c, down, box);
    for (float cx : {lo + r, hi - r})
        for (float cy : {lo + r, hi - r}) FillEllipse(c, cx, cy, r, r, box);
    Bevel(c, 1.1f, 0.72f);
    Shader red = [](float, float y) { return Scale(Opaque(226, 34, 34), 1.12f - 0.3f * (y / 32.0f)); };
    FillPolygon(c, {{13, 8}, {19, 8}, {19, 24}, {13, 24}}, red);
    FillPolygon(c, {{8, 13}, {24, 13}, {24, 19}, {8, 19}}, red);
    OutlineOutside(c, Opaque(28, 30, 40));
}

// ---------------------------------------------------------------------------------------------
// Health-bar piece: one opaque bar segment, lit on top.

void DrawBar(Canvas& c, Rgba colour) {
    for (int x = 0; x < c.Width(); ++x) {
        bool end = x == 0 || x == c.Width() - 1;
        float rows[] = {1.35f, 1.0f, 0.9f, 0.6f};
        for (int y = 0; y < c.Height(); ++y) c.At(x, y) = Scale(colour, rows[std::min(y, 3)] * (end ? 0.75f : 1.0f));
    }
}

void DrawBarRed(Canvas& c) { DrawBar(c, Opaque(220, 44, 40)); }
void DrawBarBlue(Canvas& c) { DrawBar(c, Opaque(50, 110, 240)); }
void DrawBarGreen(Canvas& c) { DrawBar(c, Opaque(50, 196, 70)); }
void DrawBarYellow(Canvas& c) { DrawBar(c, Opaque(240, 206, 40)); }

// ---------------------------------------------------------------------------------------------
// Intro and end pictures: text on a dark panel with rounded corners, shown over the frozen game.

void Panel(Canvas& c, Rgba border) {
    const float w = static_cast<float>(c.Width());
    const float h = static_cast<float>(c.Height());
    const float r = 16.0f;
    auto roundedRect = [&](float inset, Rgba colour) {
        float ri = r - inset;
        FillPolygon(c, {{inset, r}, {w - inset, r}, {w - inset, h - r}, {inset, h - r}}, colour);
        FillPolygon(c, {{r, inset}, {w - r, inset}, {w - r, h - inset}, {r, h - inset}}, colour);
        for (float cx : {r, w - r})
            for (float cy : {r, h - r}) FillEllipse(c, cx, cy, ri, ri, colour);
    };
    roundedRect(0.0f, Opaque(10, 12, 20));
    roundedRect(1.0f, border);
    roundedRect(4.0f, Opaque(10, 12, 20));
    Shader fill = [h](float, float y) { return Mix(Opaque(22, 28, 52), Opaque(12, 14, 28), y / h); };
    float inset = 5.0f;
    float ri = r - inset;
    FillPolygon(c, {{inset, r}, {w - inset, r}, {w - inset, h - r}, {inset, h - r}}, fill);
    FillPolygon(c, {{r, inset}, {w - r, inset}, {w - r, h - inset}, {r, h - inset}}, fill);
    for (float cx : {r, w - r})
        for (float cy : {r, h - r}) FillEllipse(c, cx, cy, ri, ri, fill);
}

const Rgba GOLD = Opaque(255, 204, 64);
const Rgba TEXT = Opaque(220, 226, 238);
const Rgba KEY = Opaque(130, 210, 255);
const Rgba DIM = Opaque(150, 160, 184);

void DrawIntro(Canvas& c) {
    Panel(c, Opaque(70, 120, 210));
    const int mid = c.Width() / 2;
    DrawTextCentred(c, Face::Bold, 46, "TARVO", GOLD, mid, 14);
    DrawTextCentred(c, Face::Regular, 15, "Destroy the blue, green and yellow ships.", DIM, mid, 74);
    struct Line {
        const char* keys;
        const char* action;
    };
    const Line lines[] = {{"Left / Right arrows", "turn"},
                          {"Up / Down arrows", "thrust forward / back"},
                          {"Space", "fire"},
                          {"P", "pause and resume"},
                          {"Escape", "quit"}};
    int y = 108;
    for (const Line& line : lines) {
        DrawText(c, Face::Bold, 16, line.keys, KEY, mid - 20 - TextWidth(Face::Bold, 16, line.keys), y);
        DrawText(c, Face::Regular, 16, line.action, TEXT, mid + 4, y);
        y += 26;
    }
    DrawTextCentred(c, Face::Bold, 21, "Press Space to start", Opaque(255, 255, 255), mid, 250);
}

void DrawEnd(Canvas& c) {
    Panel(c, Opaque(210, 170, 60));
    const int mid = c.Width() / 2;
    DrawTextCentred(c, Face::Bold, 34, "ENEMIES DESTROYED", GOLD, mid, 30);
    // The three enemies, burnt out and grey.
    const ShapeFn shapes[] = {BlueShape, GreenShape, YellowShape};
    const ShipColours* colours[] = {&BLUE, &GREEN, &YELLOW};
    for (int i = 0; i < 3; ++i) {
        Canvas ship = Ship(shapes[i], *colours[i]);
        Tint(ship, Opaque(52, 54, 64), 0.6f);
        c.Stamp(ship, mid - 40 + (i - 1) * 100, 84);
    }
    DrawTextCentred(c, Face::Regular, 17, "All three enemy ships are gone. Well flown, pilot!", TEXT, mid, 180);
    DrawTextCentred(c, Face::Bold, 21, "Press Escape to quit", Opaque(255, 255, 255), mid, 236);
}

}  // namespace

const std::vector<PictureSpec>& AllPictures() {
    static const std::vector<PictureSpec> list = {
        {"tile", 64, 64, 0, DrawTile},
        {"health_bar_r", 40, 4, 0, DrawBarRed},
        {"health_bar_b", 40, 4, 0, DrawBarBlue},
        {"health_bar_g", 40, 4, 0, DrawBarGreen},
        {"health_bar_y", 40, 4, 0, DrawBarYellow},
        {"intro_text", 500, 300, 1, DrawIntro},
        {"end_text", 500, 300, 1, DrawEnd},
        {"wall", 42, 42, 1, DrawWall},
        {"player_ship", 80, 80, 1, DrawPlayerShip},
        {"player_ship_boost", 80, 80, 1, DrawPlayerShipBoost},
        {"player_ship_spawn1", 80, 80, 1, DrawPlayerSpawn<1>},
        {"player_ship_spawn2", 80, 80, 1, DrawPlayerSpawn<2>},
        {"player_ship_spawn3", 80, 80, 1, DrawPlayerSpawn<3>},
        {"player_ship_dest1", 80, 80, 1, DrawExplosion<1>},
        {"player_ship_dest2", 80, 80, 1, DrawExplosion<2>},
        {"player_ship_dest3", 80, 80, 1, DrawExplosion<3>},
        {"player_ship_dest4", 80, 80, 1, DrawExplosion<4>},
        {"player_ship_dest5", 80, 80, 1, DrawExplosion<5>},
        {"player_ship_dest6", 80, 80, 1, DrawExplosion<6>},
        {"ship-blue", 80, 80, 1, DrawBlueShip},
        {"ship-green", 80, 80, 1, DrawGreenShip},
        {"ship-yellow", 80, 80, 1, DrawYellowShip},
        {"blue_spawn1", 80, 80, 1, DrawBlueSpawn<1>},
        {"blue_spawn2", 80, 80, 1, DrawBlueSpawn<2>},
        {"blue_spawn3", 80, 80, 1, DrawBlueSpawn<3>},
        {"green_spawn1", 80, 80, 1, DrawGreenSpawn<1>},
        {"green_spawn2", 80, 80, 1, DrawGreenSpawn<2>},
        {"green_spawn3", 80, 80, 1, DrawGreenSpawn<3>},
        {"yellow_spawn1", 80, 80, 1, DrawYellowSpawn<1>},
        {"yellow_spawn2", 80, 80, 1, DrawYellowSpawn<2>},
        {"yellow_spawn3", 80, 80, 1, DrawYellowSpawn<3>},
        {"photon", 20, 20, 3, DrawPhoton},
        {"health", 32, 32, 1, DrawHealth},
    };
    return list;
}

Canvas Draw(const PictureSpec& spec) {
    Canvas canvas(spec.width, spec.height);
    spec.draw(canvas);
    return canvas;
}

}  // namespace pictures
