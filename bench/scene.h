// The pictures and positions every implementation draws in the benchmark, so
// that each figure is for the same pixels. Pictures are kept as 8-bit RGB
// plus raw alpha (0 transparent); each implementation converts them into its
// own form before timing starts.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

enum class Op { kTiled, kKeyed, kAdditive, kAlpha, kRotate, kClipReject };

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;    // 3 bytes a pixel
    std::vector<uint8_t> alpha;  // raw: 0 transparent, 255 opaque
};

struct Point {
    int x;
    int y;
};

struct Scene {
    static constexpr int kScreenWidth = 756;
    static constexpr int kScreenHeight = 512;

    Picture tile;    // 64 x 64, opaque
    Picture sprite;  // 80 x 80, about 60 % opaque, keyed
    Picture glow;    // 20 x 20, additive, alpha mode 3
    Picture blend;   // 80 x 80, varying alpha, alpha mode 2
    Picture small;   // 42 x 42, keyed
    std::vector<Point> tilePositions;     // the 12 x 9 tiles of a frame at view (0, 0)
    std::vector<Point> spritePositions;   // 50
    std::vector<Point> glowPositions;     // 200
    std::vector<Point> blendPositions;    // 50
    std::vector<Point> clipPositions;     // 1200, about 60 on screen
    float rotateDegrees = 37.0f;

    // Destination pixels one run of the operation covers.
    int64_t PixelsPerRun(Op op) const;
};

const Scene& TheScene();

// One run of an operation by one implementation; null when it has none.
using Work = std::function<void()>;

// The 16-bit 5-6-5 words of a picture after the engine's conversion and
// alpha preparation (alphaMode as PrepareForScreen takes it), and the alpha
// bytes in the engine's premultiplied form when the mode keeps them.
std::vector<uint16_t> EngineWords(const Picture& picture, int alphaMode, std::vector<uint8_t>* premultipliedAlpha = nullptr);

// The engine object is global and several benchmarks set it up for their own
// use: the drawing operations point it at their screen, Frame/tarvo and the
// start-up benchmark start the real engine on the scripted backend.
enum class EngineUser { kNone, kDrawing, kGame, kStartup };
// Makes `user` the engine's user. True when another user set it up last, so
// that the caller has to set it up again.
bool ClaimEngine(EngineUser user);

Work TarvoWork(Op op);
Work MemcpyWork(Op op);
Work SdlWork(Op op, bool rle);
Work PixmanWork(Op op);
Work AllegroWork(Op op, bool rle);
