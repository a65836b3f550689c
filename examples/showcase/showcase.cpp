// What the engine draws, in one screen: a tiled background that scrolls, a
// ship loaded from a TIFF file, turned and enlarged, additive glows that
// brighten what lies under them, a half-transparent panel, and text.
//
// Left and Right turn the ship, Up and Down grow and shrink it. Escape quits.
// The picture Images/ship.tif is found in the working folder or beside the
// program.
#include <tarvo/tarvo.h>

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr int kTurnSize = 96;  // the turned ship's square, large enough for scale 1.4

Image tile;        // the background, repeated
Image ship;        // from the TIFF file, keyed
Image turnedShip;  // the ship as this frame shows it
Image glow;        // additive light
Image panel;       // alpha-blended
float angle = 0;
float scale = 1.2f;
int frame = 0;

// A 24-bit picture of w x h from a colour function, with alpha when `alpha`
// is given; (r, g, b, a) are 0..255.
template <typename Colour>
void Paint(Image& image, int w, int h, bool alpha, Colour colour) {
    image.Allocate(w, h, alpha ? IMAGE_RGB24 | IMAGE_ALPHA : IMAGE_RGB24);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int r, g, b, a;
            colour(x, y, r, g, b, a);
            uint8_t* p = image.data + 3 * (y * w + x);
            p[0] = static_cast<uint8_t>(r), p[1] = static_cast<uint8_t>(g), p[2] = static_cast<uint8_t>(b);
            if (alpha) image.alpha[y * w + x] = static_cast<uint8_t>(a);
        }
}

}  // namespace

void initialize() {
    Tarvo.Initialize(false, kWidth, kHeight);
    if (Tarvo.status != INIT_OK) return;

    // Alpha mode 1: the file's transparent pixels become the colour key.
    TiffImage reader;
    reader.LoadTiff("Images\\ship.tif", &ship, 1);
    turnedShip.Allocate(kTurnSize, kTurnSize, IMAGE_RGB16 | IMAGE_ALPHA);
    std::memset(turnedShip.data, 0, kTurnSize * kTurnSize * 2);

    // A dark blue grid of 32 x 32 tiles.
    Paint(tile, 32, 32, false, [](int x, int y, int& r, int& g, int& b, int&) {
        const bool line = x == 0 || y == 0;
        r = line ? 40 : 8, g = line ? 60 : 16, b = line ? 120 : 40;
    });
    tile.PrepareForScreen(0);
    // A round orange light fading to nothing at its rim; mode 3 premultiplies
    // it for the additive blit.
    Paint(glow, 48, 48, true, [](int x, int y, int& r, int& g, int& b, int& a) {
        const float d = std::sqrt(float((x - 24) * (x - 24) + (y - 24) * (y - 24))) / 24.0f;
        const float light = d < 1 ? 1 - d : 0;
        r = 255, g = 160, b = 60, a = static_cast<int>(255 * light);
    });
    glow.PrepareForScreen(3);
    // A white panel at half opacity (mode 2: blended).
    Paint(panel, 140, 36, true, [](int, int, int& r, int& g, int& b, int& a) { r = g = b = 255, a = 128; });
    panel.PrepareForScreen(2);
}

void run() {
    if (Tarvo.IsKeyDown(platform::VK_LEFT)) angle += 6;
    if (Tarvo.IsKeyDown(platform::VK_RIGHT)) angle -= 6;
    if (Tarvo.IsKeyDown(platform::VK_UP) && scale < 1.4f) scale += 0.05f;
    if (Tarvo.IsKeyDown(platform::VK_DOWN) && scale > 0.5f) scale -= 0.05f;
    ++frame;

    if (Tarvo.BeginDraw()) {
        // The grid at (frame, frame / 2) shows at the screen's top-left: it
        // drifts up and to the left.
        Tarvo.DrawTiled(frame, frame / 2, &tile);
        Tarvo.DrawSolid(16, 16, &ship);
        ship.Rotate(&turnedShip, angle, scale);
        Tarvo.DrawTransparent(kWidth / 2 - kTurnSize / 2, kHeight / 2 - kTurnSize / 2, &turnedShip);
        Tarvo.DrawAdditive(200, 150, &glow);
        Tarvo.DrawAdditive(224, 160, &glow);
        Tarvo.DrawAlpha(90, 196, &panel);
        Tarvo.EndDraw();
    }
    // Text goes on the finished frame, outside BeginDraw and EndDraw.
    char line[40];
    std::snprintf(line, sizeof line, "angle %d  scale %.2f", static_cast<int>(angle), scale);
    Tarvo.SetTextRGB(255, 255, 0);
    Tarvo.DrawText(96, 204, line);
    Tarvo.GetKey();
    Tarvo.ViewUpdate();
}
