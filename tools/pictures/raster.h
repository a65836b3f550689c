// Small RGBA8 raster used by the picture generator to draw the game's art in code.
//
// A Canvas is a block of straight (not premultiplied) RGBA pixels, rows from the top. Shapes are
// filled by testing each pixel's centre, so they come out with hard edges: a pixel is either
// painted fully or left alone. That is what sprites loaded with a colour key need; soft pictures
// (glows, the background) write their colour and alpha per pixel instead.
// Depends on the standard library only. Everything is deterministic: the same calls give the same
// bytes on every run, so the generated pictures never change between builds.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace pictures {

struct Rgba {
    uint8_t r = 0, g = 0, b = 0, a = 0;
};

constexpr Rgba Opaque(uint8_t r, uint8_t g, uint8_t b) { return Rgba{r, g, b, 255}; }

// Straight linear mix of two colours, t in 0..1 (clamped); alpha is mixed too.
Rgba Mix(Rgba from, Rgba to, float t);
// Multiplies the colour channels by f (clamped to 0..255); alpha stays.
Rgba Scale(Rgba c, float f);

struct Point {
    float x = 0, y = 0;
};

// Colour of a pixel whose centre lies at (x, y), for shapes shaded across their area.
using Shader = std::function<Rgba(float x, float y)>;

class Canvas {
public:
    Canvas(int width, int height);

    int Width() const { return width; }
    int Height() const { return height; }
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    // Unchecked: callers stay inside.
    Rgba& At(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    const Rgba& At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    bool IsOpaque(int x, int y) const { return Inside(x, y) && At(x, y).a != 0; }

    // Overwrites one pixel; outside the canvas nothing happens.
    void Put(int x, int y, Rgba c);
    // Paints c over the pixel with the given coverage (0..1), straight-alpha "over".
    void Blend(int x, int y, Rgba c, float coverage);
    // Paints every opaque pixel of src at offset (dx, dy), replacing what is below.
    void Stamp(const Canvas& src, int dx, int dy);

    const std::vector<Rgba>& Pixels() const { return pixels; }

private:
    int width;
    int height;
    std::vector<Rgba> pixels;
};

// Even-odd fill of a polygon, a pixel counting as inside when its centre is.
void FillPolygon(Canvas& canvas, const std::vector<Point>& points, const Shader& shader);
void FillPolygon(Canvas& canvas, const std::vector<Point>& points, Rgba colour);
// Builds a left-right symmetric polygon from its right half given from top to bottom, mirrored
// about the vertical line x = axis.
std::vector<Point> Symmetric(const std::vector<Point>& rightHalf, float axis);
// Mirror image of a polygon about x = axis.
std::vector<Point> MirrorX(const std::vector<Point>& points, float axis);

void FillEllipse(Canvas& canvas, float cx, float cy, float rx, float ry, const Shader& shader);
void FillEllipse(Canvas& canvas, float cx, float cy, float rx, float ry, Rgba colour);
// Ring between two radii about a centre.
void FillRing(Canvas& canvas, float cx, float cy, float innerRadius, float outerRadius, Rgba colour);
// Rectangle of whole pixels [x0, x1) x [y0, y1).
void FillRect(Canvas& canvas, int x0, int y0, int x1, int y1, Rgba colour);
// Thick segment with round ends: pixels whose centre lies within width / 2 of the segment.
void DrawLine(Canvas& canvas, Point a, Point b, float width, Rgba colour);

// Hard-edge finishing passes. A pixel "borders" the outside when a 4-neighbour is transparent or
// off the canvas.
// Turns every transparent pixel next to an opaque one (8-neighbourhood) into the edge colour:
// the shape grows by one pixel of outline.
void OutlineOutside(Canvas& canvas, Rgba edge);
// Lights the opaque pixels whose upper or left neighbour is outside and darkens those whose lower or
// right neighbour is, so a flat shape reads as raised, lit from the top left.
void Bevel(Canvas& canvas, float lightFactor, float shadeFactor);
// Makes transparent every pixel whose centre lies farther than radius from (cx, cy).
void ClearOutsideCircle(Canvas& canvas, float cx, float cy, float radius);
// Mixes every opaque pixel toward a colour by t; transparent pixels stay.
void Tint(Canvas& canvas, Rgba towards, float t);

// Small deterministic generator (xorshift32) so that the art is the same on every build.
class Random {
public:
    explicit Random(uint32_t seed) : state(seed ? seed : 0x9E3779B9u) {}
    uint32_t Next();
    // Uniform in [0, 1).
    float Unit();
    // Uniform in [lo, hi).
    float Range(float lo, float hi) { return lo + (hi - lo) * Unit(); }

private:
    uint32_t state;
};

}  // namespace pictures
