#include "tools/pictures/drawings.h"

#include <initializer_list>

#include "tools/pictures/text.h"

namespace pictures {

namespace {

void Panel(Canvas& c, Rgba border) {
    const float w = static_cast<float>(c.Width());
    const float h = static_cast<float>(c.Height());
    const float r = 16.0f;
    auto roundedRect = [&](float inset, Rgba colour) {
        float ri = r - inset;
        FillPolygon(c, {{inset, r}, {w - inset, r}, {w - inset, h - r}, {inset, h - r}}, colour);
        FillPolygon(c, {{r, inset}, {w - r, inset}, {w - r, h - inset}, {r, h - inset}}, colour);
        for (float cx : {r, w - r})
            for (float cy : {r, h - r}) FillEllipse(c, cx, cy, ri, ri, colour);
    };
    roundedRect(0.0f, Opaque(10, 12, 20));
    roundedRect(1.0f, border);
    roundedRect(4.0f, Opaque(10, 12, 20));
    Shader fill = [h](float, float y) { return Mix(Opaque(22, 28, 52), Opaque(12, 14, 28), y / h); };
    float inset = 5.0f;
    float ri = r - inset;
    FillPolygon(c, {{inset, r}, {w - inset, r}, {w - inset, h - r}, {inset, h - r}}, fill);
    FillPolygon(c, {{r, inset}, {w - r, inset}, {w - r, h - inset}, {r, h - inset}}, fill);
    for (float cx : {r, w - r})
        for (float cy : {r, h - r}) FillEllipse(c, cx, cy, ri, ri, fill);
}

const Rgba GOLD = Opaque(255, 204, 64);
const Rgba TEXT = Opaque(220, 226, 238);
const Rgba KEY = Opaque(130, 210, 255);
const Rgba DIM = Opaque(150, 160, 184);

}  // namespace

namespace {

struct IntroLine {
    const char* keys;
    const char* action;
};

// The intro panel: what to do, how to play (`lines`), and how to start.
void Intro(Canvas& c, std::initializer_list<IntroLine> lines, const char* start) {
    Panel(c, Opaque(70, 120, 210));
    const int mid = c.Width() / 2;
    DrawTextCentred(c, Face::Bold, 46, "TARVO", GOLD, mid, 14);
    DrawTextCentred(c, Face::Regular, 15, "Destroy the blue, green and yellow ships.", DIM, mid, 74);
    int y = 104;
    for (const IntroLine& line : lines) {
        DrawText(c, Face::Bold, 16, line.keys, KEY, mid - 20 - TextWidth(Face::Bold, 16, line.keys), y);
        DrawText(c, Face::Regular, 16, line.action, TEXT, mid + 4, y);
        y += 23;
    }
    DrawTextCentred(c, Face::Bold, 21, start, Opaque(255, 255, 255), mid, 250);
}

}  // namespace

void DrawIntro(Canvas& c) {
    Intro(c,
          {{"Left / Right arrows", "turn"},
           {"Up / Down arrows", "thrust forward / back"},
           {"Space", "fire"},
           {"P", "pause and resume"},
           {"M", "sound off and on"},
           {"Escape", "quit"}},
          "Press Space to start");
}

// The same panel naming the page's touch controls by the signs they carry,
// and its Quit button.
void DrawIntroTouch(Canvas& c) {
    Intro(c,
          {{"\u25C0  \u25B6", "turn"},
           {"\u25B2  \u25BC", "thrust forward / back"},
           {"\u25CF", "fire"},
           {"\u275A\u275A", "pause and resume"},
           {"Quit", "quit"}},
          "Touch \u25CF to start");
}

namespace {

// The end panel: the three enemies burnt out, and how to finish.
void End(Canvas& c, const char* finish) {
    Panel(c, Opaque(210, 170, 60));
    const int mid = c.Width() / 2;
    DrawTextCentred(c, Face::Bold, 34, "ENEMIES DESTROYED", GOLD, mid, 30);
    const ShipKind enemies[] = {ShipKind::Blue, ShipKind::Green, ShipKind::Yellow};
    for (int i = 0; i < 3; ++i) {
        Canvas ship = ShipPicture(enemies[i]);
        Tint(ship, Opaque(52, 54, 64), 0.6f);
        c.Stamp(ship, mid - 40 + (i - 1) * 100, 84);
    }
    DrawTextCentred(c, Face::Regular, 17, "All three enemy ships are gone. Well flown, pilot!", TEXT, mid, 180);
    DrawTextCentred(c, Face::Bold, 21, finish, Opaque(255, 255, 255), mid, 236);
}

}  // namespace

void DrawEnd(Canvas& c) { End(c, "Press Escape to quit"); }

void DrawEndTouch(Canvas& c) { End(c, "Touch Quit to finish"); }

}  // namespace pictures
