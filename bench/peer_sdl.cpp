// SDL2's software blitter on the benchmark's pictures: 5-6-5 surfaces, a
// colour key of 0 for keyed pictures (with and without RLE acceleration),
// ADD and BLEND modes for the blended ones. SDL2 has no rotation.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bench/frame_scene.h"
#include "bench/scene.h"

namespace {

SDL_Surface* Surface565(const std::vector<uint16_t>& words, int w, int h) {
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 16, SDL_PIXELFORMAT_RGB565);
    if (s == nullptr) {
        std::fprintf(stderr, "SDL: %s\n", SDL_GetError());
        std::exit(1);
    }
    for (int y = 0; y < h; ++y)
        std::memcpy(static_cast<uint8_t*>(s->pixels) + y * s->pitch, &words[static_cast<size_t>(y * w)],
                    static_cast<size_t>(w) * 2);
    return s;
}

SDL_Surface* Keyed(const Picture& p, bool rle) {
    SDL_Surface* s = Surface565(EngineWords(p, 1), p.width, p.height);
    SDL_SetColorKey(s, SDL_TRUE, 0);
    if (rle) SDL_SetSurfaceRLE(s, 1);
    return s;
}

// Straight (not premultiplied) ARGB, as SDL's BLEND mode expects.
SDL_Surface* Argb(const Picture& p) {
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, p.width, p.height, 32, SDL_PIXELFORMAT_ARGB8888);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const size_t i = static_cast<size_t>(y * p.width + x);
            const uint8_t* c = &p.rgb[i * 3];
            reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(s->pixels) + y * s->pitch)[x] =
                static_cast<uint32_t>(p.alpha[i]) << 24 | c[0] << 16 | c[1] << 8 | c[2];
        }
    SDL_SetSurfaceBlendMode(s, SDL_BLENDMODE_BLEND);
    return s;
}

SDL_Surface* Screen() {
    static SDL_Surface* screen = Surface565(
        std::vector<uint16_t>(Scene::kScreenWidth * Scene::kScreenHeight, 0x4208), Scene::kScreenWidth,
        Scene::kScreenHeight);
    return screen;
}

void BlitAll(SDL_Surface* picture, const std::vector<Point>& at) {
    SDL_Surface* screen = Screen();
    for (const Point& p : at) {
        SDL_Rect to{p.x, p.y, 0, 0};
        SDL_BlitSurface(picture, nullptr, screen, &to);
    }
}

// A run before timing: RLE encoding and blit mapping happen on the first blit.
Work Warm(SDL_Surface* picture, const std::vector<Point>& at) {
    BlitAll(picture, at);
    return [picture, &at] { BlitAll(picture, at); };
}

}  // namespace

Work SdlWork(Op op, bool rle) {
    const Scene& s = TheScene();
    switch (op) {
        case Op::kTiled:
            if (rle) return nullptr;
            return Warm(Surface565(EngineWords(s.tile, 0), 64, 64), s.tilePositions);
        case Op::kKeyed: return Warm(Keyed(s.sprite, rle), s.spritePositions);
        case Op::kAdditive: {
            if (rle) return nullptr;
            std::vector<uint8_t> alpha;
            SDL_Surface* glow = Surface565(EngineWords(s.glow, 3, &alpha), 20, 20);
            SDL_SetSurfaceBlendMode(glow, SDL_BLENDMODE_ADD);
            return Warm(glow, s.glowPositions);
        }
        case Op::kAlpha:
            if (rle) return nullptr;
            return Warm(Argb(s.blend), s.blendPositions);
        case Op::kRotate: return nullptr;
        case Op::kClipReject: return Warm(Keyed(s.small, rle), s.clipPositions);
    }
    return nullptr;
}

// ---- Frame/sdl2: the game's frame composed with SDL2 -------------------------
//
// Blits for everything SDL2's surface blitter can do: the tile and the bar
// pieces opaque, walls and pick-up keyed with RLE, photons with
// SDL_BLENDMODE_ADD. The surface blitter cannot turn a picture, so the ships
// go through a software renderer on the same screen surface: SDL_RenderCopyEx
// of a texture made from the keyed ship picture, then SDL_RenderFlush so the
// ships land before the photons are blitted over them.

namespace {

struct SdlFrame {
    SDL_Surface* screen = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Surface *tile = nullptr, *wall = nullptr, *pickup = nullptr, *photon = nullptr;
    std::vector<SDL_Surface*> bars;
    std::vector<SDL_Texture*> ships;
};

SDL_Surface* FrameSurface(const FramePicture& p) { return Surface565(p.words, p.width, p.height); }

SDL_Surface* FrameKeyed(const FramePicture& p) {
    SDL_Surface* s = FrameSurface(p);
    SDL_SetColorKey(s, SDL_TRUE, 0);
    SDL_SetSurfaceRLE(s, 1);
    return s;
}

void Blit(SDL_Surface* picture, SDL_Surface* screen, Point at) {
    SDL_Rect to{at.x, at.y, 0, 0};
    SDL_BlitSurface(picture, nullptr, screen, &to);
}

void DrawSdlFrame(const SdlFrame& f, const FrameScene& s) {
    for (const Point& p : s.tiles) Blit(f.tile, f.screen, p);
    for (const Point& p : s.walls) Blit(f.wall, f.screen, p);
    for (const Point& p : s.pickups) Blit(f.pickup, f.screen, p);
    for (const FrameShip& ship : s.turned) {
        const SDL_Rect to{ship.box.x, ship.box.y, 80, 80};
        // SDL turns clockwise on the screen, the engine counterclockwise.
        SDL_RenderCopyEx(f.renderer, f.ships[static_cast<size_t>(ship.picture)], nullptr, &to, -ship.degrees, nullptr,
                         SDL_FLIP_NONE);
    }
    SDL_RenderFlush(f.renderer);
    for (const Point& p : s.photons) Blit(f.photon, f.screen, p);
    for (const FrameBar& bar : s.barPieces) Blit(f.bars[static_cast<size_t>(bar.picture)], f.screen, bar.at);
}

}  // namespace

FrameWork SdlFrameWork() {
    static SdlFrame f;
    const FrameScene& s = TheFrameScene();
    if (f.screen == nullptr) {
        f.screen = Surface565(std::vector<uint16_t>(Scene::kScreenWidth * Scene::kScreenHeight, 0),
                              Scene::kScreenWidth, Scene::kScreenHeight);
        f.renderer = SDL_CreateSoftwareRenderer(f.screen);
        if (f.renderer == nullptr) {
            std::fprintf(stderr, "SDL: %s\n", SDL_GetError());
            std::exit(1);
        }
        f.tile = FrameSurface(s.tile);
        f.wall = FrameKeyed(s.wall);
        f.pickup = FrameKeyed(s.pickup);
        f.photon = FrameSurface(s.photon);
        SDL_SetSurfaceBlendMode(f.photon, SDL_BLENDMODE_ADD);
        for (const FramePicture& bar : s.bars) f.bars.push_back(FrameSurface(bar));
        for (const FramePicture& ship : s.ships) {
            SDL_Surface* keyed = FrameSurface(ship);
            SDL_SetColorKey(keyed, SDL_TRUE, 0);
            f.ships.push_back(SDL_CreateTextureFromSurface(f.renderer, keyed));
            SDL_FreeSurface(keyed);
        }
        // A frame before timing: RLE encoding and blit mapping happen on first use.
        DrawSdlFrame(f, s);
    }
    FrameWork w;
    w.draw = [&s] { DrawSdlFrame(f, s); };
    w.pixels = [] { return static_cast<const uint16_t*>(f.screen->pixels); };
    return w;
}
