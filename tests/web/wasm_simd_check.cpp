// What the browser build does with WebAssembly SIMD against the scalar rule,
// bit for bit: built by the browser build and run under Node (a native build
// has no WebAssembly kernels to compare). The blit kernels on random screens
// and images with keys and alpha 0 / 255 well represented, widths on both
// sides of a register and rows that end mid-register, both pixel layouts;
// row copies and tiled fills from random tile offsets; and the 2D canvas's
// RGBA conversion of every 5-6-5 word; the rotation pass on both planes over
// random and chosen geometry (see CheckRotation). Prints what differs first
// and exits 1.
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "draw/blit_kernels.h"
#include "draw/rotate_pass.h"
#include "platform/web/rgba_row.h"

namespace {

std::mt19937 rng(20261211);

uint16_t Word() {
    switch (rng() % 4) {
        case 0:
            return 0;
        case 1:
            return 0xFFFF;
        default:
            return static_cast<uint16_t>(rng());
    }
}

uint8_t AlphaByte() {
    switch (rng() % 4) {
        case 0:
            return 0;
        case 1:
            return 255;
        default:
            return static_cast<uint8_t>(rng());
    }
}

std::vector<uint16_t> Words(size_t count) {
    std::vector<uint16_t> words(count);
    for (uint16_t& w : words) w = Word();
    return words;
}

int Fail(const char* what, int round, const std::vector<uint16_t>& scalar, const std::vector<uint16_t>& fast) {
    size_t i = 0;
    while (scalar[i] == fast[i]) ++i;
    std::printf("FAIL %s, round %d: first difference at word %zu, scalar %u, wasm simd %u\n", what, round, i,
                unsigned{scalar[i]}, unsigned{fast[i]});
    return 1;
}

struct RotationCase {
    int sw, sh, tw, th;
    float angle, scale;
    double q;  // source width / height for the colour pass, 1 for alpha
};

// Sizes and geometry of one comparison, and its name for the failure.
struct Rotation {
    int sw, sh, tw, th;
    RotateGeometry g;
    char name[160];
};

// One plane rotated by the scalar rule and by the WebAssembly SIMD pass into
// targets that start equal and hold no value either pass writes for sure.
template <class T>
bool PlaneMatches(const Rotation& r, const std::vector<T>& src, T clear, T start, const char* plane) {
    const size_t size = static_cast<size_t>(r.tw) * static_cast<size_t>(r.th);
    std::vector<T> results[2] = {std::vector<T>(size, start), std::vector<T>(size, start)};
    RotatePassScalar(RotatePlane<T>{src.data(), r.sw, r.sh, results[0].data(), r.tw, r.th, clear}, r.g);
    RotatePassWasmSimd(RotatePlane<T>{src.data(), r.sw, r.sh, results[1].data(), r.tw, r.th, clear}, r.g);
    if (results[0] == results[1]) return true;
    size_t i = 0;
    while (results[0][i] == results[1][i]) ++i;
    std::printf("FAIL rotation, %s, %s plane: first difference at pixel (%zu, %zu), scalar %u, wasm simd %u\n", r.name,
                plane, i % static_cast<size_t>(r.tw), i / static_cast<size_t>(r.tw), unsigned{results[0][i]},
                unsigned{results[1][i]});
    return false;
}

// Both planes, from random words and bytes (a wrong source index shows).
bool RotationMatches(const Rotation& r) {
    const size_t size = static_cast<size_t>(r.sw) * static_cast<size_t>(r.sh);
    std::vector<uint16_t> words(size);
    for (uint16_t& w : words) w = static_cast<uint16_t>(rng());
    std::vector<uint8_t> bytes(size);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(rng());
    return PlaneMatches<uint16_t>(r, words, 0, 0xEEEE, "colour") && PlaneMatches<uint8_t>(r, bytes, 255, 0xEE, "alpha");
}

bool RotationMatches(const RotationCase& c, const char* what) {
    Rotation r{c.sw, c.sh, c.tw, c.th, MakeRotateGeometry(c.sw, c.sh, c.tw, c.th, c.angle, c.scale, c.q), {}};
    std::snprintf(r.name, sizeof r.name, "%s: source %dx%d, target %dx%d, angle %.9g, scale %.9g, q %g", what, c.sw,
                  c.sh, c.tw, c.th, static_cast<double>(c.angle), static_cast<double>(c.scale), c.q);
    return RotationMatches(r);
}

// Angles a turn may take: anywhere, a multiple of 90 degrees, a float a few
// steps from one or within 1e-6 of one (the steps of a or b below 2^-20 that
// only the walk takes), or a hair from 0.
float RandomAngle() {
    const float quarter = 90.0f * static_cast<float>(static_cast<int>(rng() % 17) - 8);
    const float away = rng() % 2 ? 1e9f : -1e9f;
    switch (rng() % 6) {
        case 0:
            return quarter;
        case 1: {
            float angle = quarter;
            for (unsigned k = 0; k <= rng() % 4; ++k) angle = std::nextafter(angle, away);
            return angle;
        }
        case 2:
            return static_cast<float>(quarter +
                                      (away > 0 ? 1e-6 : -1e-6) * std::ldexp(1.0, -static_cast<int>(rng() % 8)));
        case 3:
            return std::ldexp(away > 0 ? 1.0f : -1.0f, -static_cast<int>(rng() % 30));
        default:
            return static_cast<float>(static_cast<double>(rng() % 1440000) / 1000.0 - 720.0);
    }
}

// Scales: 1, moderate, small (huge steps), large (tiny steps), either sign.
float RandomScale() {
    float scale = 1.0f;
    switch (rng() % 5) {
        case 0:
            break;
        case 1:
        case 2:
            scale = static_cast<float>(0.05 + static_cast<double>(rng() % 4000) / 1000.0);
            break;
        case 3:
            scale = std::ldexp(1.3f, -static_cast<int>(rng() % 24));
            break;
        default:
            scale = std::ldexp(1.7f, static_cast<int>(rng() % 24));
            break;
    }
    return rng() % 4 == 0 ? -scale : scale;
}

int Side() { return 1 + static_cast<int>(rng() % 8 == 0 ? rng() % 400 : rng() % 130); }

// The rotation pass against the scalar rule: chosen geometry (rows the fast
// copy must hand back to the rule, targets wider than the passes' buffers,
// one-pixel planes), the ship's 80 x 80 and a 96 x 96 turn at every quarter
// degree, and random sizes, angles and scales, with q as either pass has it.
int CheckRotation() {
    const RotationCase chosen[] = {
        // Rows the fast copy must hand to the rule: a last copied sample just
        // outside the source after the walks' roundings, or a sample whose y
        // lands within a rounding of a whole number.
        {80, 80, 80, 80, -323.130005f, 0.5f, 1},
        {80, 80, 80, 80, -593.154419f, 1, 1},
        {80, 80, 80, 80, -396.893677f, 1, 1},
        {80, 80, 80, 80, 45, 7, 1},
        {80, 80, 80, 80, 315, 2, 1},
        {80, 80, 80, 80, 224, 0.999f, 1},
        {80, 80, 80, 80, 46.8800049f, 3.3f, 1},
        // One-pixel planes; a tall source's colour pass (q = 0, so b = 0).
        {1, 1, 1, 1, 30, 1, 1},
        {1, 1, 7, 5, 0, 0.25f, 1},
        {1, 9, 9, 1, 90, 1, 0},
        // Targets wider than the passes' index buffers, and one at their limit.
        {300, 2, 1100, 5, 0.5f, 0.3f, 150},
        {40, 40, 1030, 17, 90.00001f, 0.05f, 1},
        {200, 200, 1024, 33, 10, 0.2f, 1},
        // A source too large for the fixed-point walk.
        {513, 257, 301, 299, 33, 1, 1},
    };
    for (const RotationCase& c : chosen)
        if (!RotationMatches(c, "chosen")) return 1;
    // A row along the source's bottom edge whose y steps by 0.6 of a
    // double's spacing there, so that every addition rounds up a whole
    // spacing: the forward walk leaves the source columns before the walk
    // back from the row's end says it does. Only the end check hands that row
    // to the rule; the fast copy would read below the source.
    const double spacing = std::ldexp(1.0, -47);  // of doubles in [32, 64)
    const float creep = static_cast<float>(0.6 * spacing);
    const Rotation edge{
        40,
        40,
        20,
        8,
        {0.5, 40 - 3 * spacing, 1.0f, creep, 20.0f, static_cast<float>(20 * static_cast<double>(creep))},
        "a row along the bottom edge, y creeping"};
    if (!RotationMatches(edge)) return 1;
    for (const int side : {80, 96})
        for (int quarter = 0; quarter < 4 * 360; ++quarter) {
            const RotationCase c{side, side, side, side, static_cast<float>(quarter) / 4.0f, 1, 1};
            if (!RotationMatches(c, "quarter degrees")) return 1;
        }
    for (int round = 0; round < 3000; ++round) {
        RotationCase c{Side(), Side(), Side(), Side(), RandomAngle(), RandomScale(), 1};
        if (rng() % 2) c.q = static_cast<double>(c.sw / c.sh);
        char what[32];
        std::snprintf(what, sizeof what, "round %d", round);
        if (!RotationMatches(c, what)) return 1;
    }
    return 0;
}

}  // namespace

int main() {
    const BlitKernels* fast = BlitKernelsFor(BlitLevel::kWasmSimd128);
    if (fast == nullptr || &ActiveBlitKernels() != fast) {
        std::printf("FAIL the WebAssembly SIMD kernels are not the ones the blits use\n");
        return 1;
    }
    const BlitKernels& scalar = kScalarBlitKernels;
    const ChannelMasks layouts[] = {{0xF800, 0x07E0, 0x001F}, {0x7C00, 0x03E0, 0x001F}};
    const char* const members[] = {"solid", "transparent", "alpha", "additive"};

    for (int round = 0; round < 4000; ++round) {
        const ChannelMasks& masks = layouts[round % 2];
        const int member = round / 2 % 4;
        const int w = 1 + static_cast<int>(rng() % 40), h = 1 + static_cast<int>(rng() % 4);
        const int srcPitch = w + static_cast<int>(rng() % 5), dstPitch = w + static_cast<int>(rng() % 9);
        const std::vector<uint16_t> src = Words(static_cast<size_t>(srcPitch * h));
        std::vector<uint8_t> alpha(src.size());
        for (uint8_t& a : alpha) a = AlphaByte();
        const std::vector<uint16_t> start = Words(static_cast<size_t>(dstPitch * h));
        std::vector<uint16_t> results[2] = {start, start};
        for (int pass = 0; pass < 2; ++pass) {
            const BlitKernels& k = pass == 0 ? scalar : *fast;
            const BlitRect rect{results[pass].data(), dstPitch, src.data(), srcPitch, alpha.data(), w, h};
            if (member == 0) k.solid(rect);
            if (member == 1) k.transparent(rect);
            if (member == 2) k.alphaBlend(rect, masks);
            if (member == 3) k.additive(rect, masks);
        }
        if (results[0] != results[1]) return Fail(members[member], round, results[0], results[1]);
    }

    for (int round = 0; round < 500; ++round) {
        const int count = static_cast<int>(rng() % 70);
        const std::vector<uint16_t> src = Words(static_cast<size_t>(count));
        const std::vector<uint16_t> start = Words(static_cast<size_t>(count) + 1);
        std::vector<uint16_t> results[2] = {start, start};
        scalar.copyRow(results[0].data(), src.data(), count);
        fast->copyRow(results[1].data(), src.data(), count);
        if (results[0] != results[1]) return Fail("row copy", round, results[0], results[1]);
    }

    for (int round = 0; round < 500; ++round) {
        const int tw = 1 + static_cast<int>(rng() % 40), th = 1 + static_cast<int>(rng() % 5);
        const int w = 1 + static_cast<int>(rng() % 100), h = 1 + static_cast<int>(rng() % 8);
        const int pitch = w + static_cast<int>(rng() % 5);
        const std::vector<uint16_t> tile = Words(static_cast<size_t>(tw * th));
        const std::vector<uint16_t> start = Words(static_cast<size_t>(pitch * h));
        std::vector<uint16_t> results[2] = {start, start};
        const int tx = static_cast<int>(rng() % static_cast<unsigned>(tw)),
                  ty = static_cast<int>(rng() % static_cast<unsigned>(th));
        for (int pass = 0; pass < 2; ++pass)
            (pass == 0 ? scalar : *fast)
                .tiled(TiledFill{results[pass].data(), pitch, tile.data(), tw, th, w, h, tx, ty});
        if (results[0] != results[1]) return Fail("tiled fill", round, results[0], results[1]);
    }
    // A few words by value (a channel's top bits repeat below it), then every
    // word against the scalar rule, in rows that start at every offset in a
    // register and end mid-register.
    const struct {
        uint16_t word;
        uint8_t rgba[4];
    } known[] = {{0xFFFF, {255, 255, 255, 255}}, {0x0000, {0, 0, 0, 255}},   {0x8410, {132, 130, 132, 255}},
                 {0xF800, {255, 0, 0, 255}},     {0x07E0, {0, 255, 0, 255}}, {0x0821, {8, 4, 8, 255}}};
    for (const auto& k : known) {
        uint16_t row[9];
        for (uint16_t& w : row) w = k.word;
        uint8_t rgba[36];
        platform::Rgba565Row(row, rgba, 9);
        for (int x = 0; x < 9; ++x)
            for (int c = 0; c < 4; ++c)
                if (rgba[x * 4 + c] != k.rgba[c]) {
                    std::printf("FAIL RGBA of word %u, pixel %d: byte %d is %u, not %u\n", unsigned{k.word}, x, c,
                                unsigned{rgba[x * 4 + c]}, unsigned{k.rgba[c]});
                    return 1;
                }
    }
    std::vector<uint16_t> all(65536 + 8);
    for (size_t i = 0; i < all.size(); ++i) all[i] = static_cast<uint16_t>(i);
    for (int start = 0; start < 8; ++start) {
        for (int count : {65536, 1, 7, 8, 9, 15, 17}) {
            std::vector<uint8_t> rgba(static_cast<size_t>(count) * 4 + 4, 0xAB);
            platform::Rgba565Row(all.data() + start, rgba.data(), count);
            for (int x = 0; x < count; ++x) {
                const uint32_t word = all[static_cast<size_t>(start + x)];
                const uint32_t r = word >> 11, g = (word >> 5) & 63, b = word & 31;
                const uint8_t expected[4] = {static_cast<uint8_t>(r << 3 | r >> 2),
                                             static_cast<uint8_t>(g << 2 | g >> 4),
                                             static_cast<uint8_t>(b << 3 | b >> 2), 255};
                for (int c = 0; c < 4; ++c) {
                    if (rgba[static_cast<size_t>(x) * 4 + c] != expected[c]) {
                        std::printf("FAIL RGBA of word %u (row of %d from %d): byte %d is %u, not %u\n", word, count,
                                    start, c, unsigned{rgba[static_cast<size_t>(x) * 4 + c]}, unsigned{expected[c]});
                        return 1;
                    }
                }
            }
            if (rgba[static_cast<size_t>(count) * 4] != 0xAB) {
                std::printf("FAIL RGBA row of %d writes past its end\n", count);
                return 1;
            }
        }
    }
    if (CheckRotation() != 0) return 1;
    std::printf(
        "ok   the WebAssembly SIMD kernels, RGBA conversion and rotation give every case as the scalar rule does\n");
    return 0;
}
