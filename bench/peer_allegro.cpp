// Allegro 4 on the benchmark's pictures, headless (SYSTEM_NONE), 16-bit
// memory bitmaps: blit, draw_sprite and RLE sprites (key = Allegro's mask
// colour, so the key word 0 becomes MASK_COLOR_16), draw_trans_sprite with the
// add and alpha blenders, rotate_sprite.
#define ALLEGRO_NO_MAGIC_MAIN
#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "bench/frame_scene.h"
#include "bench/scene.h"

namespace {

void Start() {
    static bool started = false;
    if (started) return;
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
        std::fprintf(stderr, "Allegro: %s\n", allegro_error);
        std::exit(1);
    }
    set_color_depth(16);
    started = true;
}

BITMAP* Bitmap16(const std::vector<uint16_t>& words, int w, int h, bool keyed) {
    BITMAP* b = create_bitmap_ex(16, w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint16_t v = words[static_cast<size_t>(y * w + x)];
            if (keyed) v = v == 0 ? MASK_COLOR_16 : (v == MASK_COLOR_16 ? v - 1 : v);
            reinterpret_cast<uint16_t*>(b->line[y])[x] = v;
        }
    return b;
}

BITMAP* Bitmap32(const Picture& p) {
    BITMAP* b = create_bitmap_ex(32, p.width, p.height);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const size_t i = static_cast<size_t>(y * p.width + x);
            const uint8_t* c = &p.rgb[i * 3];
            reinterpret_cast<uint32_t*>(b->line[y])[x] = makeacol32(c[0], c[1], c[2], p.alpha[i]);
        }
    return b;
}

BITMAP* Screen() {
    static BITMAP* screen = Bitmap16(std::vector<uint16_t>(Scene::kScreenWidth * Scene::kScreenHeight, 0x4208),
                                     Scene::kScreenWidth, Scene::kScreenHeight, false);
    return screen;
}

}  // namespace

Work AllegroWork(Op op, bool rle) {
    Start();
    const Scene& s = TheScene();
    BITMAP* screen = Screen();
    switch (op) {
        case Op::kTiled: {
            if (rle) return nullptr;
            BITMAP* tile = Bitmap16(EngineWords(s.tile, 0), 64, 64, false);
            return [=, &s] {
                for (const Point& p : s.tilePositions) blit(tile, screen, 0, 0, p.x, p.y, 64, 64);
            };
        }
        case Op::kKeyed:
        case Op::kClipReject: {
            const bool clip = op == Op::kClipReject;
            const Picture& picture = clip ? s.small : s.sprite;
            const std::vector<Point>& at = clip ? s.clipPositions : s.spritePositions;
            BITMAP* sprite = Bitmap16(EngineWords(picture, 1), picture.width, picture.height, true);
            if (rle) {
                // Encoded here, outside the timed runs.
                RLE_SPRITE* encoded = get_rle_sprite(sprite);
                return [=, &at] {
                    for (const Point& p : at) draw_rle_sprite(screen, encoded, p.x, p.y);
                };
            }
            return [=, &at] {
                for (const Point& p : at) draw_sprite(screen, sprite, p.x, p.y);
            };
        }
        case Op::kAdditive: {
            if (rle) return nullptr;
            BITMAP* glow = Bitmap16(EngineWords(s.glow, 3), 20, 20, true);
            return [=, &s] {
                set_add_blender(0, 0, 0, 255);
                for (const Point& p : s.glowPositions) draw_trans_sprite(screen, glow, p.x, p.y);
            };
        }
        case Op::kAlpha: {
            if (rle) return nullptr;
            BITMAP* blend = Bitmap32(s.blend);
            return [=, &s] {
                set_alpha_blender();
                for (const Point& p : s.blendPositions) draw_trans_sprite(screen, blend, p.x, p.y);
            };
        }
        case Op::kRotate: {
            if (rle) return nullptr;
            BITMAP* sprite = Bitmap16(EngineWords(s.sprite, 1), 80, 80, true);
            BITMAP* target = create_bitmap_ex(16, 80, 80);
            const fixed angle = ftofix(s.rotateDegrees * 256.0 / 360.0);
            return [=] { rotate_sprite(target, sprite, 0, 0, angle); };
        }
    }
    return nullptr;
}

// ---- Frame/allegro: the game's frame composed with Allegro 4 ------------------
//
// The tile as Allegro's pattern fill (rectfill in DRAW_MODE_COPY_PATTERN,
// 15 % faster here than blitting each tile copy; it needs a tile whose
// sides are powers of two, else the copies are blitted), blit for the bar
// pieces, RLE sprites for walls and pick-up,
// rotate_sprite straight onto the screen for the ships (Allegro turns and
// draws masked in one pass, so no turn buffer is needed), and for the
// photons draw_trans_rle_sprite with the add blender (it skips the glow's
// transparent corners and beat draw_trans_sprite by 15 to 35 % here).

namespace {

struct AllegroFrame {
    BITMAP* screen = nullptr;
    BITMAP* tile = nullptr;
    RLE_SPRITE *wall = nullptr, *pickup = nullptr, *photon = nullptr;
    std::vector<BITMAP*> bars, ships;
};

BITMAP* FrameBitmap(const FramePicture& p, bool keyed) { return Bitmap16(p.words, p.width, p.height, keyed); }

bool PowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

void DrawAllegroFrame(const AllegroFrame& f, const FrameScene& s) {
    const int tw = f.tile->w, th = f.tile->h;
    if (PowerOfTwo(tw) && PowerOfTwo(th) && !s.tiles.empty()) {
        // The pattern's corner on the screen: where a tile copy starts.
        drawing_mode(DRAW_MODE_COPY_PATTERN, f.tile, (s.tiles[0].x % tw + tw) % tw, (s.tiles[0].y % th + th) % th);
        rectfill(f.screen, 0, 0, Scene::kScreenWidth - 1, Scene::kScreenHeight - 1, 0);
        solid_mode();
    } else {
        for (const Point& p : s.tiles) blit(f.tile, f.screen, 0, 0, p.x, p.y, tw, th);
    }
    for (const Point& p : s.walls) draw_rle_sprite(f.screen, f.wall, p.x, p.y);
    for (const Point& p : s.pickups) draw_rle_sprite(f.screen, f.pickup, p.x, p.y);
    for (const FrameShip& ship : s.turned) {
        BITMAP* picture = f.ships[static_cast<size_t>(ship.picture)];
        // Allegro turns clockwise on the screen, 256 to the circle, about
        // the picture's centre: put that centre on the 80 x 80 box's.
        rotate_sprite(f.screen, picture, ship.box.x + 40 - picture->w / 2, ship.box.y + 40 - picture->h / 2,
                      ftofix(-ship.degrees * 256.0 / 360.0));
    }
    set_add_blender(0, 0, 0, 255);
    for (const Point& p : s.photons) draw_trans_rle_sprite(f.screen, f.photon, p.x, p.y);
    for (const FrameBar& bar : s.barPieces) {
        BITMAP* piece = f.bars[static_cast<size_t>(bar.picture)];
        blit(piece, f.screen, 0, 0, bar.at.x, bar.at.y, piece->w, piece->h);
    }
}

}  // namespace

FrameWork AllegroFrameWork() {
    Start();
    static AllegroFrame f;
    const FrameScene& s = TheFrameScene();
    if (f.screen == nullptr) {
        f.screen = create_bitmap_ex(16, Scene::kScreenWidth, Scene::kScreenHeight);
        f.tile = FrameBitmap(s.tile, false);
        // Encoded here, outside the timed runs.
        f.photon = get_rle_sprite(FrameBitmap(s.photon, true));
        BITMAP* wall = FrameBitmap(s.wall, true);
        f.wall = get_rle_sprite(wall);
        BITMAP* pickup = FrameBitmap(s.pickup, true);
        f.pickup = get_rle_sprite(pickup);
        for (const FramePicture& bar : s.bars) f.bars.push_back(FrameBitmap(bar, false));
        for (const FramePicture& ship : s.ships) f.ships.push_back(FrameBitmap(ship, true));
    }
    FrameWork w;
    w.draw = [&s] { DrawAllegroFrame(f, s); };
    w.pixels = [] { return reinterpret_cast<const uint16_t*>(f.screen->line[0]); };
    return w;
}
