// The generated pictures against what the game relies on when it loads and draws them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <set>
#include <string>

#include "tools/pictures/art.h"

using pictures::AllPictures;
using pictures::Canvas;
using pictures::PictureSpec;
using pictures::Rgba;

namespace {

struct Expected {
    const char* name;
    int width;
    int height;
    int loadMode;
};

// The files the game loads (names as its code spells them), with the sizes its drawing positions
// assume and the alpha mode it passes to the loader.
const Expected GAME_PICTURES[] = {
    {"tile", 64, 64, 0},
    {"health_bar_r", 40, 4, 0},
    {"health_bar_b", 40, 4, 0},
    {"health_bar_g", 40, 4, 0},
    {"health_bar_y", 40, 4, 0},
    {"intro_text", 500, 300, 1},
    {"end_text", 500, 300, 1},
    {"wall", 42, 42, 1},
    {"player_ship", 80, 80, 1},
    {"player_ship_boost", 80, 80, 1},
    {"player_ship_spawn1", 80, 80, 1},
    {"player_ship_spawn2", 80, 80, 1},
    {"player_ship_spawn3", 80, 80, 1},
    {"player_ship_dest1", 80, 80, 1},
    {"player_ship_dest2", 80, 80, 1},
    {"player_ship_dest3", 80, 80, 1},
    {"player_ship_dest4", 80, 80, 1},
    {"player_ship_dest5", 80, 80, 1},
    {"player_ship_dest6", 80, 80, 1},
    {"ship-blue", 80, 80, 1},
    {"ship-green", 80, 80, 1},
    {"ship-yellow", 80, 80, 1},
    {"blue_spawn1", 80, 80, 1},
    {"blue_spawn2", 80, 80, 1},
    {"blue_spawn3", 80, 80, 1},
    {"green_spawn1", 80, 80, 1},
    {"green_spawn2", 80, 80, 1},
    {"green_spawn3", 80, 80, 1},
    {"yellow_spawn1", 80, 80, 1},
    {"yellow_spawn2", 80, 80, 1},
    {"yellow_spawn3", 80, 80, 1},
    {"photon", 20, 20, 3},
    {"health", 32, 32, 1},
};

// Every picture drawn once for the whole suite: text rendering makes drawing them take a moment.
const std::map<std::string, Canvas>& Drawn() {
    static const std::map<std::string, Canvas> drawn = [] {
        std::map<std::string, Canvas> all;
        for (const PictureSpec& spec : AllPictures()) all.emplace(spec.name, pictures::Draw(spec));
        return all;
    }();
    return drawn;
}

float Luminance(Rgba p) { return 0.299f * p.r + 0.587f * p.g + 0.114f * p.b; }

TEST(Pictures, ListHoldsExactlyTheFilesTheGameLoads) {
    std::map<std::string, const PictureSpec*> byName;
    for (const PictureSpec& spec : AllPictures()) {
        EXPECT_TRUE(byName.emplace(spec.name, &spec).second) << "listed twice: " << spec.name;
    }
    EXPECT_EQ(byName.size(), std::size(GAME_PICTURES));
    for (const Expected& e : GAME_PICTURES) {
        SCOPED_TRACE(e.name);
        auto found = byName.find(e.name);
        ASSERT_NE(found, byName.end());
        EXPECT_EQ(found->second->width, e.width);
        EXPECT_EQ(found->second->height, e.height);
        EXPECT_EQ(found->second->loadMode, e.loadMode);
        EXPECT_EQ(found->second->HasAlpha(), e.loadMode != 0);
        const Canvas& canvas = Drawn().at(e.name);
        EXPECT_EQ(canvas.Width(), e.width);
        EXPECT_EQ(canvas.Height(), e.height);
    }
}

// Mode 1 keeps a pixel only where alpha is not 0 and shows it fully opaque: a soft edge would turn
// into a hard fringe of the edge's colour, so only 0 and 255 may occur, and a sprite without any
// transparent pixel would cover what lies behind its box.
TEST(Pictures, KeyedPicturesUseHardAlphaWithTransparentAndOpaqueParts) {
    for (const PictureSpec& spec : AllPictures()) {
        if (spec.loadMode != 1) continue;
        SCOPED_TRACE(spec.name);
        int transparent = 0;
        int opaque = 0;
        int soft = 0;
        for (const Rgba& p : Drawn().at(spec.name).Pixels()) {
            if (p.a == 0) ++transparent;
            else if (p.a == 255) ++opaque;
            else ++soft;
        }
        EXPECT_EQ(soft, 0);
        EXPECT_GT(transparent, 0);
        EXPECT_GT(opaque, 0);
    }
}

TEST(Pictures, OpaquePicturesHaveNoTransparentPixel) {
    for (const PictureSpec& spec : AllPictures()) {
        if (spec.loadMode != 0) continue;
        SCOPED_TRACE(spec.name);
        for (const Rgba& p : Drawn().at(spec.name).Pixels()) ASSERT_EQ(p.a, 255);
    }
}

// Ships are turned about the centre of their 80 x 80 picture into an 80 x 80 buffer; whatever lies
// outside the circle of diameter 76 would be cut off at some angles.
TEST(Pictures, ShipPicturesStayInsideTheTurnCircle) {
    int ships = 0;
    for (const PictureSpec& spec : AllPictures()) {
        if (spec.width != pictures::SHIP_SIZE || spec.height != pictures::SHIP_SIZE) continue;
        SCOPED_TRACE(spec.name);
        ++ships;
        const Canvas& canvas = Drawn().at(spec.name);
        const float r = pictures::SHIP_CIRCLE_DIAMETER * 0.5f;
        int outside = 0;
        int firstX = -1, firstY = -1;
        for (int y = 0; y < canvas.Height(); ++y)
            for (int x = 0; x < canvas.Width(); ++x) {
                float dx = x + 0.5f - 40.0f;
                float dy = y + 0.5f - 40.0f;
                if (canvas.At(x, y).a != 0 && dx * dx + dy * dy > r * r) {
                    if (outside++ == 0) firstX = x, firstY = y;
                }
            }
        EXPECT_EQ(outside, 0) << "first at " << firstX << ", " << firstY;
    }
    EXPECT_EQ(ships, 23);
}

// The photon is premultiplied and added to the screen: its glow must fall to nothing at the border
// (else its square shows) and be brightest in the middle.
TEST(Pictures, PhotonGlowIsBrightestInTheMiddleAndFadesToNothing) {
    const Canvas& photon = Drawn().at("photon");
    const int n = photon.Width();
    for (int i = 0; i < n; ++i) {
        SCOPED_TRACE(i);
        EXPECT_LE(photon.At(i, 0).a, 8);
        EXPECT_LE(photon.At(i, n - 1).a, 8);
        EXPECT_LE(photon.At(0, i).a, 8);
        EXPECT_LE(photon.At(n - 1, i).a, 8);
    }
    EXPECT_EQ(photon.At(0, 0).a, 0);
    EXPECT_EQ(photon.At(n - 1, 0).a, 0);
    EXPECT_EQ(photon.At(0, n - 1).a, 0);
    EXPECT_EQ(photon.At(n - 1, n - 1).a, 0);
    // From the middle outward along a row the added light (colour times alpha) never grows.
    int before = 1 << 30;
    for (int x = n / 2; x < n; ++x) {
        const Rgba& p = photon.At(x, n / 2);
        int added = (p.r + p.g + p.b) * p.a;
        EXPECT_LE(added, before) << "x = " << x;
        before = added;
    }
    EXPECT_GE(photon.At(n / 2, n / 2).a, 200);
}

// The tile repeats across the screen: the step from its last column to its first (and last row to
// first) must be no rougher than the steps inside it, and it must stay dark behind the sprites.
TEST(Pictures, TileIsSeamlessAndDark) {
    const Canvas& tile = Drawn().at("tile");
    const int n = tile.Width();
    auto step = [&](int x0, int y0, int x1, int y1) {
        Rgba a = tile.At(x0, y0), b = tile.At(x1, y1);
        return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
    };
    double inside = 0, across = 0;
    for (int i = 0; i < n; ++i) {
        for (int k = 0; k + 1 < n; ++k) inside += step(k, i, k + 1, i) + step(i, k, i, k + 1);
        across += step(n - 1, i, 0, i) + step(i, n - 1, i, 0);
    }
    inside /= 2.0 * n * (n - 1);
    across /= 2.0 * n;
    EXPECT_LE(across, 2.0 * inside + 1.0) << "inside " << inside << ", across the seam " << across;
    double sum = 0;
    for (const Rgba& p : tile.Pixels()) sum += Luminance(p);
    EXPECT_LT(sum / (n * n), 24.0);
}

// The build must give the same files every time: drawing again gives the same pixels.
TEST(Pictures, DrawingAgainGivesTheSamePixels) {
    for (const PictureSpec& spec : AllPictures()) {
        SCOPED_TRACE(spec.name);
        Canvas again = pictures::Draw(spec);
        const Canvas& first = Drawn().at(spec.name);
        ASSERT_EQ(again.Pixels().size(), first.Pixels().size());
        size_t differ = 0;
        for (size_t i = 0; i < first.Pixels().size(); ++i) {
            const Rgba &a = first.Pixels()[i], &b = again.Pixels()[i];
            if (a.r != b.r || a.g != b.g || a.b != b.b || a.a != b.a) ++differ;
        }
        EXPECT_EQ(differ, 0u);
    }
}

}  // namespace
