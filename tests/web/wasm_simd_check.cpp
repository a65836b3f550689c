// What the browser build does with WebAssembly SIMD against the scalar rule,
// bit for bit: built by the browser build and run under Node (a native build
// has no WebAssembly kernels to compare). The blit kernels on random screens
// and images with keys and alpha 0 / 255 well represented, widths on both
// sides of a register and rows that end mid-register, both pixel layouts;
// row copies and tiled fills from random tile offsets; and the 2D canvas's
// RGBA conversion of every 5-6-5 word. Prints what differs first and exits 1.
#include <cstdio>
#include <random>
#include <vector>

#include "draw/blit_kernels.h"
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
    std::printf("ok   the WebAssembly SIMD kernels and RGBA conversion give every case as the scalar rule does\n");
    return 0;
}
