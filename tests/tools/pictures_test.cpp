// The generated pictures against what the game relies on when it loads and draws them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include <unistd.h>

#include "image/image.h"
#include "image/tiff_image.h"
#include "tests/support/screen_fixture.h"
#include "tools/pictures/art.h"
#include "tools/pictures/icon.h"
#include "tools/pictures/output.h"

using pictures::AllPictures;
using pictures::Canvas;
using pictures::PictureEntry;
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
        for (const PictureEntry& picture : AllPictures()) all.emplace(picture.name, pictures::Draw(picture));
        return all;
    }();
    return drawn;
}

// A whole file, or an empty string when it cannot be read.
std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

float Luminance(Rgba p) { return 0.299f * p.r + 0.587f * p.g + 0.114f * p.b; }

TEST(Pictures, ListHoldsExactlyTheFilesTheGameLoads) {
    std::map<std::string, const PictureEntry*> byName;
    for (const PictureEntry& picture : AllPictures()) {
        EXPECT_TRUE(byName.emplace(picture.name, &picture).second) << "listed twice: " << picture.name;
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
    for (const PictureEntry& picture : AllPictures()) {
        if (picture.loadMode != 1) continue;
        SCOPED_TRACE(picture.name);
        int transparent = 0;
        int opaque = 0;
        int soft = 0;
        for (const Rgba& p : Drawn().at(picture.name).Pixels()) {
            if (p.a == 0) ++transparent;
            else if (p.a == 255) ++opaque;
            else ++soft;
        }
        EXPECT_EQ(soft, 0);
        EXPECT_GT(transparent, 0);
        EXPECT_GT(opaque, 0);
    }
}

// The web page loads them under the game's own names on a touch device: the same sizes and load
// mode, keyed the same way, and not the keyboard's pictures.
TEST(Pictures, TouchPicturesTakeThePlacesOfTheirNamesakes) {
    ASSERT_EQ(pictures::TouchPictures().size(), 2u);
    for (const PictureEntry& touch : pictures::TouchPictures()) {
        SCOPED_TRACE(touch.name);
        const Expected* same = nullptr;
        for (const Expected& e : GAME_PICTURES)
            if (touch.name == e.name) same = &e;
        ASSERT_NE(same, nullptr);
        EXPECT_EQ(touch.width, same->width);
        EXPECT_EQ(touch.height, same->height);
        EXPECT_EQ(touch.loadMode, same->loadMode);
        const Canvas canvas = pictures::Draw(touch);
        int transparent = 0;
        int soft = 0;
        int differ = 0;
        const std::vector<Rgba>& keyboard = Drawn().at(touch.name).Pixels();
        for (size_t i = 0; i < canvas.Pixels().size(); ++i) {
            const Rgba& p = canvas.Pixels()[i];
            if (p.a == 0)
                ++transparent;
            else if (p.a != 255)
                ++soft;
            if (p.r != keyboard[i].r || p.g != keyboard[i].g || p.b != keyboard[i].b || p.a != keyboard[i].a)
                ++differ;
        }
        EXPECT_GT(transparent, 0);
        EXPECT_EQ(soft, 0);
        EXPECT_GT(differ, 1000);
    }
}

// The icons' PNG files, decoded by ImageMagick: the same bytes as the canvas, and compressed. A
// small canvas of noise and runs tries matches of every length and literals of every value.
TEST(Pictures, IconPngHoldsTheCanvasAsImageMagickDecodesIt) {
    ASSERT_EQ(access("/usr/bin/convert", X_OK), 0) << "ImageMagick (Debian package imagemagick) is needed";
    Canvas noise(61, 37);
    uint32_t seed = 12345;
    for (int y = 0; y < noise.Height(); ++y) {
        for (int x = 0; x < noise.Width(); ++x) {
            seed = seed * 1664525u + 1013904223u;
            const auto byte = [&](int shift) { return static_cast<uint8_t>(seed >> shift); };
            // Runs of a colour in some rows, noise in others; transparent pixels are black, as
            // ImageMagick gives them back.
            if (y % 3 == 0)
                noise.Put(x, y, Rgba{200, 10, static_cast<uint8_t>(y), 255});
            else if (byte(7) < 40)
                noise.Put(x, y, Rgba{0, 0, 0, 0});
            else
                noise.Put(x, y, Rgba{byte(24), byte(16), byte(8), 255});
        }
    }
    const Canvas icon = pictures::Resample(Drawn().at("player_ship"), 192);
    for (const Canvas* canvas : std::initializer_list<const Canvas*>{&noise, &icon}) {
        SCOPED_TRACE(canvas->Width());
        const std::string png = pictures::CanvasToPng(*canvas);
        std::ofstream("picture.png", std::ios::binary) << png;
        ASSERT_EQ(std::system("/usr/bin/convert picture.png -depth 8 rgba:picture.rgba"), 0);
        const std::string decoded = ReadBytes("picture.rgba");
        std::string expected;
        for (const Rgba& p : canvas->Pixels()) {
            const char rgba[] = {static_cast<char>(p.r), static_cast<char>(p.g), static_cast<char>(p.b),
                                 static_cast<char>(p.a)};
            expected.append(rgba, 4);
        }
        EXPECT_TRUE(decoded == expected) << decoded.size() << " bytes decoded, " << expected.size() << " drawn";
        if (canvas == &icon) {
            EXPECT_LT(png.size(), expected.size() / 4);
        }
    }
}

TEST(Pictures, OpaquePicturesHaveNoTransparentPixel) {
    for (const PictureEntry& picture : AllPictures()) {
        if (picture.loadMode != 0) continue;
        SCOPED_TRACE(picture.name);
        for (const Rgba& p : Drawn().at(picture.name).Pixels()) ASSERT_EQ(p.a, 255);
    }
}

// Ships are turned about the centre of their 80 x 80 picture into an 80 x 80 buffer; whatever lies
// outside the circle of diameter 76 would be cut off at some angles.
TEST(Pictures, ShipPicturesStayInsideTheTurnCircle) {
    int ships = 0;
    for (const PictureEntry& picture : AllPictures()) {
        if (picture.width != pictures::SHIP_SIZE || picture.height != pictures::SHIP_SIZE) continue;
        SCOPED_TRACE(picture.name);
        ++ships;
        const Canvas& canvas = Drawn().at(picture.name);
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
    for (const PictureEntry& picture : AllPictures()) {
        SCOPED_TRACE(picture.name);
        Canvas again = pictures::Draw(picture);
        const Canvas& first = Drawn().at(picture.name);
        ASSERT_EQ(again.Pixels().size(), first.Pixels().size());
        size_t differ = 0;
        for (size_t i = 0; i < first.Pixels().size(); ++i) {
            const Rgba &a = first.Pixels()[i], &b = again.Pixels()[i];
            if (a.r != b.r || a.g != b.g || a.b != b.b || a.a != b.a) ++differ;
        }
        EXPECT_EQ(differ, 0u);
    }
}

// ---------------------------------------------------------------------------------------------
// The files, written by the engine's TIFF writer and read back by its reader as the game does.

class PictureFiles : public testing::Test {
protected:
    // Written into each test's own folder (a suite-wide set-up would run
    // before the test's folder exists).
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(pictures::WriteAllPictures("Images", error)) << error;
    }

    static std::string PathOf(const PictureEntry& picture) { return "Images/" + pictures::PictureFileName(picture); }
};

TEST_F(PictureFiles, HoldTheDrawnPixelsWithAnAlphaSampleExactlyWhereTheLoadModeUsesOne) {
    for (const PictureEntry& picture : AllPictures()) {
        SCOPED_TRACE(picture.name);
        Image image;
        TiffImage tiff;
        tiff.Load(PathOf(picture).c_str(), &image);
        ASSERT_NE(image.data, nullptr);
        EXPECT_EQ(image.width, picture.width);
        EXPECT_EQ(image.height, picture.height);
        EXPECT_EQ(image.mode, picture.HasAlpha() ? (IMAGE_RGB24 | IMAGE_ALPHA) : IMAGE_RGB24);
        const Canvas& canvas = Drawn().at(picture.name);
        size_t differ = 0;
        for (size_t i = 0; i < canvas.Pixels().size(); ++i) {
            const Rgba& p = canvas.Pixels()[i];
            bool same = image.data[3 * i] == p.r && image.data[3 * i + 1] == p.g && image.data[3 * i + 2] == p.b;
            if (picture.HasAlpha()) same = same && image.alpha[i] == p.a;
            if (!same) ++differ;
        }
        EXPECT_EQ(differ, 0u);
    }
}

TEST_F(PictureFiles, LoadedTheGamesWayGiveWhatItsDrawingNeeds) {
    ScreenFixture screen(4, 4, ScreenFixture::k565);
    for (const PictureEntry& picture : AllPictures()) {
        SCOPED_TRACE(picture.name);
        Image image;
        TiffImage tiff;
        tiff.LoadTiff(PathOf(picture).c_str(), &image, picture.loadMode);
        ASSERT_NE(image.data, nullptr);
        ASSERT_EQ(image.width, picture.width);
        ASSERT_EQ(image.height, picture.height);
        const uint16_t* words = image.Pixels16();
        const int count = image.width * image.height;
        if (picture.loadMode == 0) {
            EXPECT_EQ(image.mode & ~IMAGE_ALPHA, IMAGE_RGB16);
        } else if (picture.loadMode == 1) {
            // Keyed: transparent pixels are the word 0 that DrawTransparent skips.
            EXPECT_EQ(image.mode, IMAGE_RGB16 | IMAGE_KEYED);
            int keyed = 0;
            int outsideCircle = 0;
            for (int i = 0; i < count; ++i) {
                if (words[i] == 0) {
                    ++keyed;
                    continue;
                }
                if (picture.width == pictures::SHIP_SIZE && picture.height == pictures::SHIP_SIZE) {
                    float dx = i % picture.width + 0.5f - 40.0f;
                    float dy = i / picture.width + 0.5f - 40.0f;
                    float r = pictures::SHIP_CIRCLE_DIAMETER * 0.5f;
                    if (dx * dx + dy * dy > r * r) ++outsideCircle;
                }
            }
            EXPECT_GT(keyed, 0);
            EXPECT_LT(keyed, count);
            EXPECT_EQ(outsideCircle, 0);
        } else {
            // Premultiplied: the alpha byte is 255 minus the opacity, so the corners must read 255.
            ASSERT_EQ(image.mode, IMAGE_RGB16 | IMAGE_ALPHA);
            const int w = image.width;
            const int h = image.height;
            EXPECT_EQ(image.alpha[0], 255);
            EXPECT_EQ(image.alpha[w - 1], 255);
            EXPECT_EQ(image.alpha[(h - 1) * w], 255);
            EXPECT_EQ(image.alpha[h * w - 1], 255);
            EXPECT_LE(image.alpha[(h / 2) * w + w / 2], 55);
            EXPECT_EQ(words[0], 0);
        }
    }
}

// The build ran the generator into its Images/ folder: the files there are the ones the current
// drawing code writes, byte for byte.
TEST_F(PictureFiles, BuildFolderHoldsTheSameFiles) {
    for (const PictureEntry& picture : AllPictures()) {
        SCOPED_TRACE(picture.name);
        std::string built = std::string(TARVO_BINARY_DIR) + "/Images/" + pictures::PictureFileName(picture);
        std::string fromBuild = ReadBytes(built);
        std::string fresh = ReadBytes(PathOf(picture));
        EXPECT_FALSE(fresh.empty());
        EXPECT_TRUE(fromBuild == fresh) << built << ": " << fromBuild.size() << " bytes, freshly written "
                                        << fresh.size();
    }
}

}  // namespace
