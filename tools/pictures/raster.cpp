#include "tools/pictures/raster.h"

#include <algorithm>
#include <cmath>

namespace pictures {

namespace {

uint8_t ClampByte(float v) {
    if (v <= 0.0f) return 0;
    if (v >= 255.0f) return 255;
    return static_cast<uint8_t>(std::lround(v));
}

}  // namespace

Rgba Mix(Rgba from, Rgba to, float t) {
    t = std::clamp(t, 0.0f, 1.0f);
    auto lerp = [t](uint8_t a, uint8_t b) { return ClampByte(a + (b - a) * t); };
    return Rgba{lerp(from.r, to.r), lerp(from.g, to.g), lerp(from.b, to.b), lerp(from.a, to.a)};
}

Rgba Scale(Rgba c, float f) {
    return Rgba{ClampByte(c.r * f), ClampByte(c.g * f), ClampByte(c.b * f), c.a};
}

Canvas::Canvas(int width, int height)
    : width(width), height(height), pixels(static_cast<size_t>(width) * height) {}

void Canvas::Put(int x, int y, Rgba c) {
    if (Inside(x, y)) At(x, y) = c;
}

void Canvas::Blend(int x, int y, Rgba c, float coverage) {
    if (!Inside(x, y)) return;
    Rgba& d = At(x, y);
    float sa = c.a / 255.0f * std::clamp(coverage, 0.0f, 1.0f);
    float da = d.a / 255.0f;
    float oa = sa + da * (1.0f - sa);
    if (oa <= 0.0f) return;
    auto channel = [&](uint8_t s, uint8_t dst) {
        return ClampByte((s * sa + dst * da * (1.0f - sa)) / oa);
    };
    d = Rgba{channel(c.r, d.r), channel(c.g, d.g), channel(c.b, d.b), ClampByte(oa * 255.0f)};
}

void Canvas::Stamp(const Canvas& src, int dx, int dy) {
    for (int y = 0; y < src.Height(); ++y)
        for (int x = 0; x < src.Width(); ++x)
            if (src.At(x, y).a != 0) Put(x + dx, y + dy, src.At(x, y));
}

void FillPolygon(Canvas& canvas, const std::vector<Point>& points, const Shader& shader) {
    size_t n = points.size();
    if (n < 3) return;
    std::vector<float> crossings;
    for (int y = 0; y < canvas.Height(); ++y) {
        float sy = y + 0.5f;
        crossings.clear();
        for (size_t i = 0; i < n; ++i) {
            Point a = points[i];
            Point b = points[(i + 1) % n];
            // Half-open in y so a vertex shared by two edges is counted once.
            if ((a.y <= sy && b.y > sy) || (b.y <= sy && a.y > sy))
                crossings.push_back(a.x + (sy - a.y) * (b.x - a.x) / (b.y - a.y));
        }
        std::sort(crossings.begin(), crossings.end());
        for (size_t k = 0; k + 1 < crossings.size(); k += 2) {
            // Pixel x is inside when its centre x + 0.5 lies in [left, right).
            int x0 = static_cast<int>(std::ceil(crossings[k] - 0.5f));
            int x1 = static_cast<int>(std::ceil(crossings[k + 1] - 0.5f));
            for (int x = std::max(x0, 0); x < std::min(x1, canvas.Width()); ++x)
                canvas.At(x, y) = shader(x + 0.5f, sy);
        }
    }
}

void FillPolygon(Canvas& canvas, const std::vector<Point>& points, Rgba colour) {
    FillPolygon(canvas, points, [colour](float, float) { return colour; });
}

std::vector<Point> Symmetric(const std::vector<Point>& rightHalf, float axis) {
    std::vector<Point> all(rightHalf);
    for (auto it = rightHalf.rbegin(); it != rightHalf.rend(); ++it) {
        Point m{2.0f * axis - it->x, it->y};
        // A point on the axis is already in the list once.
        if (m.x != it->x) all.push_back(m);
    }
    return all;
}

std::vector<Point> MirrorX(const std::vector<Point>& points, float axis) {
    std::vector<Point> out;
    out.reserve(points.size());
    for (Point p : points) out.push_back(Point{2.0f * axis - p.x, p.y});
    return out;
}

void FillEllipse(Canvas& canvas, float cx, float cy, float rx, float ry, const Shader& shader) {
    if (rx <= 0.0f || ry <= 0.0f) return;
    int x0 = std::max(0, static_cast<int>(std::floor(cx - rx)));
    int x1 = std::min(canvas.Width() - 1, static_cast<int>(std::ceil(cx + rx)));
    int y0 = std::max(0, static_cast<int>(std::floor(cy - ry)));
    int y1 = std::min(canvas.Height() - 1, static_cast<int>(std::ceil(cy + ry)));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            float dx = (x + 0.5f - cx) / rx;
            float dy = (y + 0.5f - cy) / ry;
            // Strictly inside, so a disc of radius r spans 2r pixels like a polygon of that width.
            if (dx * dx + dy * dy < 1.0f) canvas.At(x, y) = shader(x + 0.5f, y + 0.5f);
        }
}

void FillEllipse(Canvas& canvas, float cx, float cy, float rx, float ry, Rgba colour) {
    FillEllipse(canvas, cx, cy, rx, ry, [colour](float, float) { return colour; });
}

void FillRing(Canvas& canvas, float cx, float cy, float innerRadius, float outerRadius, Rgba colour) {
    int x0 = std::max(0, static_cast<int>(std::floor(cx - outerRadius)));
    int x1 = std::min(canvas.Width() - 1, static_cast<int>(std::ceil(cx + outerRadius)));
    int y0 = std::max(0, static_cast<int>(std::floor(cy - outerRadius)));
    int y1 = std::min(canvas.Height() - 1, static_cast<int>(std::ceil(cy + outerRadius)));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            float dx = x + 0.5f - cx;
            float dy = y + 0.5f - cy;
            float d2 = dx * dx + dy * dy;
            if (d2 >= innerRadius * innerRadius && d2 <= outerRadius * outerRadius)
                canvas.At(x, y) = colour;
        }
}

void FillRect(Canvas& canvas, int x0, int y0, int x1, int y1, Rgba colour) {
    for (int y = std::max(0, y0); y < std::min(canvas.Height(), y1); ++y)
        for (int x = std::max(0, x0); x < std::min(canvas.Width(), x1); ++x) canvas.At(x, y) = colour;
}

void DrawLine(Canvas& canvas, Point a, Point b, float width, Rgba colour) {
    float half = width * 0.5f;
    int x0 = std::max(0, static_cast<int>(std::floor(std::min(a.x, b.x) - half)));
    int x1 = std::min(canvas.Width() - 1, static_cast<int>(std::ceil(std::max(a.x, b.x) + half)));
    int y0 = std::max(0, static_cast<int>(std::floor(std::min(a.y, b.y) - half)));
    int y1 = std::min(canvas.Height() - 1, static_cast<int>(std::ceil(std::max(a.y, b.y) + half)));
    float ex = b.x - a.x;
    float ey = b.y - a.y;
    float len2 = ex * ex + ey * ey;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            float px = x + 0.5f - a.x;
            float py = y + 0.5f - a.y;
            float t = len2 > 0.0f ? std::clamp((px * ex + py * ey) / len2, 0.0f, 1.0f) : 0.0f;
            float dx = px - t * ex;
            float dy = py - t * ey;
            if (dx * dx + dy * dy <= half * half) canvas.At(x, y) = colour;
        }
}

void OutlineOutside(Canvas& canvas, Rgba edge) {
    int w = canvas.Width();
    int h = canvas.Height();
    std::vector<bool> grow(static_cast<size_t>(w) * h, false);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (canvas.At(x, y).a != 0) continue;
            bool near = false;
            for (int dy = -1; dy <= 1 && !near; ++dy)
                for (int dx = -1; dx <= 1 && !near; ++dx) near = canvas.IsOpaque(x + dx, y + dy);
            grow[static_cast<size_t>(y) * w + x] = near;
        }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (grow[static_cast<size_t>(y) * w + x]) canvas.At(x, y) = edge;
}

void Bevel(Canvas& canvas, float lightFactor, float shadeFactor) {
    Canvas before = canvas;
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x) {
            if (!before.IsOpaque(x, y)) continue;
            bool lit = !before.IsOpaque(x, y - 1) || !before.IsOpaque(x - 1, y);
            bool shaded = !before.IsOpaque(x, y + 1) || !before.IsOpaque(x + 1, y);
            if (lit && !shaded) canvas.At(x, y) = Scale(before.At(x, y), lightFactor);
            if (shaded && !lit) canvas.At(x, y) = Scale(before.At(x, y), shadeFactor);
        }
}

void ClearOutsideCircle(Canvas& canvas, float cx, float cy, float radius) {
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x) {
            float dx = x + 0.5f - cx;
            float dy = y + 0.5f - cy;
            if (dx * dx + dy * dy > radius * radius) canvas.At(x, y) = Rgba{0, 0, 0, 0};
        }
}

void Tint(Canvas& canvas, Rgba towards, float t) {
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x) {
            Rgba& p = canvas.At(x, y);
            if (p.a == 0) continue;
            Rgba mixed = Mix(p, towards, t);
            p = Rgba{mixed.r, mixed.g, mixed.b, p.a};
        }
}

uint32_t Random::Next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

float Random::Unit() {
    // 24 bits fill a float's mantissa exactly, so the result is below 1.
    return static_cast<float>(Next() >> 8) * (1.0f / 16777216.0f);
}

}  // namespace pictures
