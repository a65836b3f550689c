#include "tools/pictures/drawings.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace pictures {

namespace {

constexpr float PI = 3.14159265358979f;

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

// Six smoke puffs around the centre at distances r0..r1, sizes size0..size1.
void SmokeRing(Canvas& c, Random& random, float r0, float r1, float size0, float size1, Rgba colour, float density) {
    for (int i = 0; i < 6; ++i) {
        float a = i * 2.0f * PI / 6.0f + random.Range(-0.3f, 0.3f);
        float r = random.Range(r0, r1);
        FillSmoke(c, MakeBlob(random, 40 + r * std::cos(a), 40 + r * std::sin(a), random.Range(size0, size1)), colour,
                  density);
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

}  // namespace

void DrawExplosion(Canvas& c, int step) {
    Random random(0x5EED0000u + static_cast<uint32_t>(step));
    switch (step) {
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
        SmokeRing(c, random, 12, 20, 9, 13, Opaque(96, 78, 70), 0.6f);
        Embers(c, random, 30, 6, 34);
        Debris(c, random, 8, 29, 35);
        break;
    default:  // the last thin smoke and debris
        SmokeRing(c, random, 16, 24, 8, 11, Opaque(74, 66, 64), 0.25f);
        Embers(c, random, 10, 10, 34);
        Debris(c, random, 7, 31, 35);
        break;
    }
    // Debris flung to the rim may poke past the circle that survives turning: trim it there.
    ClearOutsideCircle(c, 40, 40, SHIP_CIRCLE_DIAMETER * 0.5f);
}

// A soft glow, added to the screen after its colour is scaled by its alpha.
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

}  // namespace pictures
