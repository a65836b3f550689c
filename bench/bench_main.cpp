// tarvo_bench: each drawing operation of the engine beside its peers.
//
//   ./tarvo_bench                                  all benchmarks
//   ./tarvo_bench --benchmark_format=json          machine-readable
//   TARVO_BLIT_LEVEL=scalar ./tarvo_bench          the engine's scalar rules
//                                                  (also sse2, avx2, avx512)
//
// Names are <Operation>/<implementation>; items_per_second counts destination
// pixels. Peers draw into their own 756 x 512 5-6-5 screens.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/pixel_format.h"
#include "bench/frame_scene.h"
#include "bench/scene.h"
#include "draw/blit.h"
#include "draw/blit_kernels.h"
#include "engine/windows_dx.h"
#include "image/image.h"

namespace {

// Small fixed generator so that every run uses the same positions.
struct Lcg {
    uint32_t state;
    int Below(int n) {
        state = state * 1664525u + 1013904223u;
        return static_cast<int>((state >> 8) % static_cast<uint32_t>(n));
    }
};

Picture MakePicture(int w, int h) {
    Picture p;
    p.width = w;
    p.height = h;
    p.rgb.assign(static_cast<size_t>(w * h * 3), 0);
    p.alpha.assign(static_cast<size_t>(w * h), 0);
    return p;
}

void SetPixel(Picture& p, int x, int y, int r, int g, int b, int a) {
    uint8_t* px = &p.rgb[static_cast<size_t>((y * p.width + x) * 3)];
    px[0] = static_cast<uint8_t>(r);
    px[1] = static_cast<uint8_t>(g);
    px[2] = static_cast<uint8_t>(b);
    p.alpha[static_cast<size_t>(y * p.width + x)] = static_cast<uint8_t>(a);
}

// A disc of the given radius, opaque, on a transparent ground.
Picture Disc(int size, double radius) {
    Picture p = MakePicture(size, size);
    const double centre = (size - 1) / 2.0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            if (std::hypot(x - centre, y - centre) <= radius)
                SetPixel(p, x, y, 60 + x * 2, 80 + y * 2, 200 - x, 255);
    return p;
}

Scene BuildScene() {
    Scene s;
    s.tile = MakePicture(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) SetPixel(s.tile, x, y, x * 4, y * 4, (x + y) * 2, 255);
    s.sprite = Disc(80, 35.0);  // pi * 35^2 / 6400: 60 % opaque
    s.small = Disc(42, 19.0);
    s.glow = MakePicture(20, 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const double d = std::hypot(x - 9.5, y - 9.5) / 10.0;
            SetPixel(s.glow, x, y, 255, 200, 120, d < 1 ? static_cast<int>((1 - d) * 255) : 0);
        }
    s.blend = MakePicture(80, 80);
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 80; ++x) SetPixel(s.blend, x, y, 250 - x, 40 + y * 2, 120, (x + y) * 255 / 158);

    for (int r = 0; r < 9; ++r)
        for (int c = 0; c < 12; ++c) s.tilePositions.push_back({c * 64, r * 64});
    Lcg rng{12345};
    for (int i = 0; i < 50; ++i) s.spritePositions.push_back({rng.Below(756 - 80), rng.Below(512 - 80)});
    for (int i = 0; i < 200; ++i) s.glowPositions.push_back({rng.Below(756 - 20), rng.Below(512 - 20)});
    for (int i = 0; i < 50; ++i) s.blendPositions.push_back({rng.Below(756 - 80), rng.Below(512 - 80)});
    // A world of about 20 screens: one call in twenty lands on the screen.
    for (int i = 0; i < 1200; ++i) s.clipPositions.push_back({rng.Below(2956) - 1100, rng.Below(3000) - 1200});
    return s;
}

int64_t VisiblePixels(const std::vector<Point>& at, int w, int h) {
    int64_t total = 0;
    for (const Point& p : at) {
        const int x0 = std::max(p.x, 0), x1 = std::min(p.x + w, Scene::kScreenWidth);
        const int y0 = std::max(p.y, 0), y1 = std::min(p.y + h, Scene::kScreenHeight);
        if (x1 > x0 && y1 > y0) total += static_cast<int64_t>(x1 - x0) * (y1 - y0);
    }
    return total;
}

// ---- The engine ---------------------------------------------------------------

struct TarvoState {
    std::vector<uint16_t> screen = std::vector<uint16_t>(Scene::kScreenWidth * Scene::kScreenHeight, 0x4208);
    Image tile, sprite, glow, blend, small, rotated{80, 80, IMAGE_RGB16 | IMAGE_ALPHA};
};

void Load(Image& image, const Picture& p, int alphaMode) {
    image.Allocate(p.width, p.height, IMAGE_RGB24 | IMAGE_ALPHA);
    std::memcpy(image.data, p.rgb.data(), p.rgb.size());
    std::memcpy(image.alpha, p.alpha.data(), p.alpha.size());
    image.PrepareForScreen(alphaMode);
}

// Points the engine object at this program's own screen. Frame/tarvo and
// the start-up benchmark start the real engine, which takes the object over,
// so every benchmark of the drawing operations puts these fields back first.
void BindScreen(TarvoState& state) {
    SetPixelFormat(0xF800, 0x07E0, 0x001F);
    Tarvo.pitch = Scene::kScreenWidth;
    Tarvo.pitchBytes = Scene::kScreenWidth * 2;
    Tarvo.screenHeight = Scene::kScreenHeight;
    Tarvo.screenWidth = Scene::kScreenWidth;
    Tarvo.backBuffer = state.screen.data();
    Tarvo.rowOffset.assign(Scene::kScreenHeight + 1, 0);
    for (int y = 0; y <= Scene::kScreenHeight; ++y) Tarvo.rowOffset[static_cast<size_t>(y)] = y * Tarvo.pitch;
    Tarvo.SetClipRect(0, 0, Scene::kScreenWidth - 1, Scene::kScreenHeight - 1);
    Tarvo.DrawPixel = &DrawPixel16;
    Tarvo.DrawSolid = &DrawSolid16;
    Tarvo.DrawTransparent = &DrawTransparent16;
    Tarvo.DrawAlpha = &DrawAlpha16;
    Tarvo.DrawAdditive = &DrawAdditive16;
}

TarvoState& Engine() {
    static std::unique_ptr<TarvoState> state;
    if (!state) {
        state = std::make_unique<TarvoState>();
        const Scene& s = TheScene();
        SetPixelFormat(0xF800, 0x07E0, 0x001F);
        Load(state->tile, s.tile, 0);
        Load(state->sprite, s.sprite, 1);
        Load(state->glow, s.glow, 3);
        Load(state->blend, s.blend, 2);
        Load(state->small, s.small, 1);
    }
    return *state;
}

const char* OpName(Op op) {
    switch (op) {
        case Op::kTiled: return "Tiled";
        case Op::kKeyed: return "Keyed";
        case Op::kAdditive: return "Additive";
        case Op::kAlpha: return "Alpha";
        case Op::kRotate: return "Rotate";
        case Op::kClipReject: return "ClipReject";
    }
    return "?";
}

// Share of the frame's pixels that an implementation draws exactly as the
// engine does (one untimed frame), in per cent.
double SamePixels(const FrameWork& work) {
    if (work.setup) work.setup();
    work.draw();
    const uint16_t* pixels = work.pixels();
    const std::vector<uint16_t>& engine = TheFrameScene().engineFrame;
    size_t same = 0;
    for (size_t i = 0; i < engine.size(); ++i) same += pixels[i] == engine[i] ? 1 : 0;
    return 100.0 * static_cast<double>(same) / static_cast<double>(engine.size());
}

// Frame/<impl>: one whole frame a run, items_per_second in screen pixels.
void RegisterFrameBenchmarks() {
    const std::pair<const char*, FrameWork (*)()> impls[] = {
        {"tarvo", TarvoFrameWork}, {"allegro", AllegroFrameWork}, {"sdl2", SdlFrameWork}, {"memcpy", MemcpyFrameWork}};
    for (const auto& [name, make] : impls) {
        const FrameWork work = make();
        const bool compare = std::strcmp(name, "memcpy") != 0;
        const double same = compare ? SamePixels(work) : 0;
        const std::string title = std::string("Frame/") + name;
        benchmark::RegisterBenchmark(title.c_str(), [work, compare, same](benchmark::State& state) {
            if (work.setup) work.setup();
            for (auto _ : state) {
                work.draw();
                benchmark::ClobberMemory();
            }
            state.SetItemsProcessed(state.iterations() * Scene::kScreenWidth * Scene::kScreenHeight);
            if (compare) state.counters["same_pixels_pct"] = same;
        })->Unit(benchmark::kMicrosecond);
    }
}

EngineUser engineUser = EngineUser::kNone;

}  // namespace

bool ClaimEngine(EngineUser user) {
    const bool changed = engineUser != user;
    engineUser = user;
    return changed;
}

void RegisterStartupBenchmarks();

const Scene& TheScene() {
    static const Scene scene = BuildScene();
    return scene;
}

int64_t Scene::PixelsPerRun(Op op) const {
    switch (op) {
        case Op::kTiled: return int64_t{kScreenWidth} * kScreenHeight;
        case Op::kKeyed: return VisiblePixels(spritePositions, 80, 80);
        case Op::kAdditive: return VisiblePixels(glowPositions, 20, 20);
        case Op::kAlpha: return VisiblePixels(blendPositions, 80, 80);
        case Op::kRotate: return 80 * 80;
        case Op::kClipReject: return VisiblePixels(clipPositions, 42, 42);
    }
    return 0;
}

std::vector<uint16_t> EngineWords(const Picture& picture, int alphaMode, std::vector<uint8_t>* premultipliedAlpha) {
    SetPixelFormat(0xF800, 0x07E0, 0x001F);
    Image image;
    Load(image, picture, alphaMode);
    std::vector<uint16_t> words(image.Pixels16(), image.Pixels16() + picture.width * picture.height);
    if (premultipliedAlpha != nullptr && image.alpha != nullptr)
        premultipliedAlpha->assign(image.alpha, image.alpha + picture.width * picture.height);
    return words;
}

Work TarvoWork(Op op) {
    TarvoState& e = Engine();
    const Scene& s = TheScene();
    switch (op) {
        case Op::kTiled: return [&e] { Tarvo.DrawTiled(0, 0, &e.tile); };
        case Op::kKeyed:
            return [&e, &s] {
                for (const Point& p : s.spritePositions) Tarvo.DrawTransparent(p.x, p.y, &e.sprite);
            };
        case Op::kAdditive:
            return [&e, &s] {
                for (const Point& p : s.glowPositions) Tarvo.DrawAdditive(p.x, p.y, &e.glow);
            };
        case Op::kAlpha:
            return [&e, &s] {
                for (const Point& p : s.blendPositions) Tarvo.DrawAlpha(p.x, p.y, &e.blend);
            };
        case Op::kRotate: return [&e, &s] { e.sprite.Rotate(&e.rotated, s.rotateDegrees, 1.0f); };
        case Op::kClipReject:
            return [&e, &s] {
                for (const Point& p : s.clipPositions) Tarvo.DrawTransparent(p.x, p.y, &e.small);
            };
    }
    return nullptr;
}

// ---- memcpy: the same destination bytes, copied --------------------------------

namespace {

struct CopyState {
    std::vector<uint16_t> screen = std::vector<uint16_t>(Scene::kScreenWidth * Scene::kScreenHeight);
    std::vector<uint16_t> frame = std::vector<uint16_t>(Scene::kScreenWidth * Scene::kScreenHeight, 0x1234);
    std::vector<uint16_t> picture = std::vector<uint16_t>(80 * 80, 0x5678);
};

// One clipped row copy a visible row of each placed w x h picture.
void CopyRows(CopyState& c, const std::vector<Point>& at, int w, int h) {
    for (const Point& p : at) {
        const int x0 = std::max(p.x, 0), x1 = std::min(p.x + w, Scene::kScreenWidth);
        const int y0 = std::max(p.y, 0), y1 = std::min(p.y + h, Scene::kScreenHeight);
        if (x1 <= x0 || y1 <= y0) continue;
        for (int y = y0; y < y1; ++y)
            std::memcpy(&c.screen[static_cast<size_t>(y * Scene::kScreenWidth + x0)],
                        &c.picture[static_cast<size_t>((y - p.y) * w + (x0 - p.x))], static_cast<size_t>(x1 - x0) * 2);
    }
}

}  // namespace

Work MemcpyWork(Op op) {
    static CopyState c;
    const Scene& s = TheScene();
    switch (op) {
        case Op::kTiled:
            return [] { std::memcpy(c.screen.data(), c.frame.data(), c.frame.size() * 2); };
        case Op::kKeyed: return [&s] { CopyRows(c, s.spritePositions, 80, 80); };
        case Op::kAdditive: return [&s] { CopyRows(c, s.glowPositions, 20, 20); };
        case Op::kAlpha: return [&s] { CopyRows(c, s.blendPositions, 80, 80); };
        case Op::kRotate: return [] { std::memcpy(c.frame.data(), c.picture.data(), 80 * 80 * 2); };
        case Op::kClipReject: return [&s] { CopyRows(c, s.clipPositions, 42, 42); };
    }
    return nullptr;
}

int main(int argc, char** argv) {
    if (const char* level = std::getenv("TARVO_BLIT_LEVEL")) {
        const BlitLevel wanted = std::strcmp(level, "scalar") == 0 ? BlitLevel::kScalar
                                 : std::strcmp(level, "sse2") == 0 ? BlitLevel::kSse2
                                 : std::strcmp(level, "avx2") == 0 ? BlitLevel::kAvx2
                                                                    : BlitLevel::kAvx512;
        if (!SetBlitLevel(wanted)) std::fprintf(stderr, "TARVO_BLIT_LEVEL=%s not available here\n", level);
    }
    const Op ops[] = {Op::kTiled, Op::kKeyed, Op::kAdditive, Op::kAlpha, Op::kRotate, Op::kClipReject};
    for (Op op : ops) {
        const std::pair<const char*, Work> impls[] = {
            {"tarvo", TarvoWork(op)},          {"sdl2", SdlWork(op, false)},        {"sdl2_rle", SdlWork(op, true)},
            {"pixman", PixmanWork(op)},        {"allegro", AllegroWork(op, false)}, {"allegro_rle", AllegroWork(op, true)},
            {"memcpy", MemcpyWork(op)},
        };
        const int64_t pixels = TheScene().PixelsPerRun(op);
        const int64_t calls = op == Op::kClipReject ? static_cast<int64_t>(TheScene().clipPositions.size()) : 0;
        for (const auto& [name, work] : impls) {
            if (!work) continue;
            const std::string title = std::string(OpName(op)) + "/" + name;
            const bool engine = std::strcmp(name, "tarvo") == 0;
            benchmark::RegisterBenchmark(title.c_str(), [work = work, pixels, calls, engine](benchmark::State& state) {
                if (engine && ClaimEngine(EngineUser::kDrawing)) BindScreen(Engine());
                for (auto _ : state) {
                    work();
                    benchmark::ClobberMemory();
                }
                state.SetItemsProcessed(state.iterations() * pixels);
                if (calls > 0)
                    state.counters["calls_per_second"] =
                        benchmark::Counter(static_cast<double>(state.iterations() * calls), benchmark::Counter::kIsRate);
            });
        }
    }
    RegisterFrameBenchmarks();
    RegisterStartupBenchmarks();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
