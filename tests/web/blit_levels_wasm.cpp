// The WebAssembly SIMD blit kernels against the scalar rule, bit for bit:
// built by the browser build and run under Node (a native build has no
// WebAssembly kernels to compare). Random screens and images with keys and
// alpha 0 / 255 well represented, widths on both sides of a register and
// rows that end mid-register, both pixel layouts; then row copies and tiled
// fills from random tile offsets. Prints what differs first and exits 1.
#include <cstdio>
#include <random>
#include <vector>

#include "draw/blit_kernels.h"

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
    std::printf("ok   the WebAssembly SIMD kernels draw every case as the scalar rule does\n");
    return 0;
}
