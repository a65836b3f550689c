#include "tools/pictures/drawings.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace pictures {

namespace {

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

}  // namespace

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

}  // namespace pictures
