// Catch: gems fall from a scrolling starfield and a paddle at the bottom
// catches them. One missed gem ends the round; the best score is kept in the
// game's settings between runs.
//
// A and D move the paddle, Enter starts a round, P pauses, Q (or Escape)
// quits. The pictures Images/gem.tif and Images/sky.tif and the sound
// Sounds/catch.wav are found in the working folder or beside the program.
#include <tarvo/tarvo.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int kWidth = 480;
constexpr int kHeight = 360;
// The window shows one column and one row less than the buffer: keep what
// matters inside x <= kWidth - 2, y <= kHeight - 2.
constexpr int kPaddleWidth = 64;
constexpr int kPaddleHeight = 10;
constexpr int kPaddleY = kHeight - 30;
constexpr int kPaddleSpeed = 8;
constexpr int kGemSize = 16;
constexpr int kMaxGems = 8;
constexpr int kTallyMax = 40;  // pips drawn for the score, one a gem

const TarvoGame game({
    .name = "catch",
    .title = "Catch",
    .width = kWidth,
    .height = kHeight,
    .help = "Catch the falling gems before they reach the ground: A and D move the paddle, Enter starts a round, "
            "P pauses, Q quits. One missed gem ends the round; the best score is remembered.",
    .version = "1.0",
});

enum class Screen { Title, Playing, Over };

struct Gem {
    int x = 0, y = 0;
    bool live = false;
};

Image gemPicture;  // keyed: its transparent pixels are the colour key
Image sky;         // the background tile
Image paddle;      // drawn in code
Image bar;         // half-transparent strip behind the score
int catchSound = 0;

Screen screen = Screen::Title;
bool paused = false;
Gem gems[kMaxGems];
int paddleX = (kWidth - kPaddleWidth) / 2;
int score = 0;
int best = 0;
int spawnTimer = 0;
int scroll = 0;
uint8_t wasDown[256] = {};

// The gems' columns: a fixed-seed generator of the game's own, so that every
// run (and the headless test) sees the same gems.
uint32_t seed = 20240611u;
int Random(int below) {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<int>((seed >> 16) % static_cast<uint32_t>(below));
}

// Keys typed since the last frame, by virtual key ('Q' for q and Q, Enter
// as VK_RETURN): a tap that goes down and up between two frames is never
// seen held, only typed.
bool typed[256] = {};

void ReadTyped() {
    for (bool& key : typed) key = false;
    while (const char c = Tarvo.GetKey()) typed[std::toupper(static_cast<unsigned char>(c))] = true;
}

// True once per press: on the frame the key goes down, or was tapped. A held
// key's repeats type too, but it was down already.
bool Pressed(int key) {
    const bool down = Tarvo.IsKeyDown(key) != 0;
    const bool pressed = !wasDown[key] && (down || typed[key]);
    wasDown[key] = down;
    return pressed;
}

// A 24-bit picture of w x h from a colour function, with alpha when asked.
template <typename Colour>
void Paint(Image& image, int w, int h, bool alpha, Colour colour) {
    image.Allocate(w, h, alpha ? IMAGE_RGB24 | IMAGE_ALPHA : IMAGE_RGB24);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int r, g, b, a = 255;
            colour(x, y, r, g, b, a);
            uint8_t* p = image.data + 3 * (y * w + x);
            p[0] = static_cast<uint8_t>(r), p[1] = static_cast<uint8_t>(g), p[2] = static_cast<uint8_t>(b);
            if (alpha) image.alpha[y * w + x] = static_cast<uint8_t>(a);
        }
}

// A filled box in the screen's own colour layout (FillRect packs 5-5-5
// whatever the screen), cut to the screen.
void Box(int x, int y, int w, int h, uint16_t colour) {
    for (int row = std::max(y, 0); row < std::min(y + h, int(Tarvo.screenHeight)); ++row)
        for (int column = std::max(x, 0); column < std::min(x + w, int(Tarvo.screenWidth)); ++column)
            Tarvo.backBuffer[row * Tarvo.pitch + column] = colour;
}

void StartRound() {
    screen = Screen::Playing;
    paused = false;
    score = 0;
    spawnTimer = 0;
    paddleX = (kWidth - kPaddleWidth) / 2;
    for (Gem& gem : gems) gem.live = false;
}

void EndRound() {
    screen = Screen::Over;
    if (score > best) {
        best = score;
        SetGameSetting("best", std::to_string(best));
    }
}

// One step of a round: the paddle, new gems, falling, catching, missing.
void Play() {
    if (Tarvo.IsKeyDown('A')) paddleX -= kPaddleSpeed;
    if (Tarvo.IsKeyDown('D')) paddleX += kPaddleSpeed;
    paddleX = std::clamp(paddleX, 0, kWidth - 1 - kPaddleWidth);

    // Faster and more often as the score grows, to a limit.
    const int fall = 3 + std::min(score / 5, 4);
    if (--spawnTimer <= 0) {
        spawnTimer = 60 - std::min(score * 2, 30);
        for (Gem& gem : gems)
            if (!gem.live) {
                gem = {Random(kWidth - 1 - kGemSize), -kGemSize, true};
                break;
            }
    }
    for (Gem& gem : gems) {
        if (!gem.live) continue;
        gem.y += fall;
        const bool overPaddle = gem.x + kGemSize > paddleX && gem.x < paddleX + kPaddleWidth;
        if (overPaddle && gem.y + kGemSize >= kPaddleY && gem.y < kPaddleY + kPaddleHeight) {
            gem.live = false;
            ++score;
            // Heard from where it was caught.
            const float pan = (gem.x + kGemSize / 2 - kWidth / 2) / float(kWidth);
            audio.Play(catchSound, 0.8f, pan);
        } else if (gem.y >= kHeight - 1) {
            EndRound();
            return;
        }
    }
}

void DrawFrame() {
    Tarvo.DrawTiled(0, -scroll, &sky);  // a falling grid position: the stars drift down
    if (screen != Screen::Title) {
        for (const Gem& gem : gems)
            if (gem.live) Tarvo.DrawTransparent(gem.x, gem.y, &gemPicture);
        Tarvo.DrawSolid(paddleX, kPaddleY, &paddle);
    }
    Tarvo.DrawAlpha(0, 0, &bar);
    // The score as pips too, under the text.
    const uint16_t pip = Tarvo.ScreenColor(120, 230, 255);
    for (int i = 0; i < std::min(score, kTallyMax); ++i) Box(8 + i * 8, 26, 5, 5, pip);
}

void DrawWords() {
    char line[80];
    Tarvo.SetTextRGB(255, 255, 255);
    std::snprintf(line, sizeof line, "Score %d", score);
    Tarvo.DrawText(8, 4, line);
    std::snprintf(line, sizeof line, "Best %d", best);
    Tarvo.DrawText(kWidth - 90, 4, line);
    Tarvo.SetTextRGB(255, 220, 90);
    switch (screen) {
        case Screen::Title:
            Tarvo.DrawText(kWidth / 2 - 22, 130, "CATCH");
            Tarvo.DrawText(kWidth / 2 - 120, 160, "A and D move the paddle, P pauses");
            Tarvo.DrawText(kWidth / 2 - 80, 185, "Press Enter to start");
            break;
        case Screen::Over:
            std::snprintf(line, sizeof line, "Missed! You caught %d.", score);
            Tarvo.DrawText(kWidth / 2 - 75, 150, line);
            Tarvo.DrawText(kWidth / 2 - 95, 175, "Enter plays again, Q quits");
            break;
        case Screen::Playing:
            if (paused) Tarvo.DrawText(kWidth / 2 - 70, 160, "Paused: P goes on");
            break;
    }
}

}  // namespace

void initialize() {
    Tarvo.Initialize(false, kWidth, kHeight);
    if (Tarvo.status != INIT_OK) return;  // the entry point reports why

    TiffImage reader;
    reader.LoadTiff("Images\\gem.tif", &gemPicture, 1);  // alpha becomes the colour key
    reader.LoadTiff("Images\\sky.tif", &sky, 0);
    if (audio.Open()) catchSound = audio.Load("Sounds\\catch.wav");

    // A gold bar, lighter along its top edge.
    Paint(paddle, kPaddleWidth, kPaddleHeight, false,
          [](int, int y, int& r, int& g, int& b, int&) { r = 255, g = y < 3 ? 230 : 170, b = y < 3 ? 120 : 30; });
    paddle.PrepareForScreen(0);
    Paint(bar, kWidth, 36, true, [](int, int, int& r, int& g, int& b, int& a) { r = g = 0, b = 20, a = 150; });
    bar.PrepareForScreen(2);

    best = std::atoi(GameSetting("best", "0").c_str());
}

void run() {
    // Read every edge each frame, so a press is never seen late.
    ReadTyped();
    const bool enter = Pressed(platform::VK_RETURN);
    const bool pause = Pressed('P');
    if (Pressed('Q')) platform::Current().PostQuitMessage(0);

    if (screen != Screen::Playing && enter) StartRound();
    if (screen == Screen::Playing && pause) paused = !paused;
    if (screen == Screen::Playing && !paused) Play();
    if (!paused) ++scroll;

    if (Tarvo.BeginDraw()) {
        DrawFrame();
        Tarvo.EndDraw();
    }
    DrawWords();  // text on the finished frame, outside BeginDraw and EndDraw
    Tarvo.ViewUpdate();
}
