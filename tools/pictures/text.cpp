#include "tools/pictures/text.h"

#include <SDL_ttf.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <utility>

namespace pictures {

namespace {

const char* FontPath(Face face) {
    return face == Face::Bold ? "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
                              : "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
}

// Opened fonts, kept for the life of the process and closed at its end (the destructor runs before
// the leak check of sanitised builds).
class FontCache {
public:
    ~FontCache() {
        for (auto& entry : fonts) TTF_CloseFont(entry.second);
        if (TTF_WasInit()) TTF_Quit();
    }

    TTF_Font* Get(Face face, int pointSize) {
        auto key = std::make_pair(face, pointSize);
        auto found = fonts.find(key);
        if (found != fonts.end()) return found->second;
        if (!TTF_WasInit() && TTF_Init() != 0) {
            std::fprintf(stderr, "make_pictures: TTF_Init failed: %s\n", TTF_GetError());
            std::exit(1);
        }
        TTF_Font* font = TTF_OpenFont(FontPath(face), pointSize);
        if (font == nullptr) {
            std::fprintf(stderr, "make_pictures: cannot open font %s: %s\n", FontPath(face), TTF_GetError());
            std::exit(1);
        }
        // Hinting off: the glyph shapes then depend on FreeType's outline renderer only.
        TTF_SetFontHinting(font, TTF_HINTING_NONE);
        fonts[key] = font;
        return font;
    }

private:
    std::map<std::pair<Face, int>, TTF_Font*> fonts;
};

TTF_Font* OpenFont(Face face, int pointSize) {
    static FontCache cache;
    return cache.Get(face, pointSize);
}

}  // namespace

int TextWidth(Face face, int pointSize, const std::string& text) {
    int w = 0;
    int h = 0;
    if (TTF_SizeUTF8(OpenFont(face, pointSize), text.c_str(), &w, &h) != 0) return 0;
    return w;
}

void DrawText(Canvas& canvas, Face face, int pointSize, const std::string& text, Rgba colour, int x, int y) {
    SDL_Color white{255, 255, 255, 255};
    // Rendered white so the surface's alpha is the glyph coverage; the colour is applied here.
    SDL_Surface* rendered = TTF_RenderUTF8_Blended(OpenFont(face, pointSize), text.c_str(), white);
    if (rendered == nullptr) {
        std::fprintf(stderr, "make_pictures: cannot render \"%s\": %s\n", text.c_str(), TTF_GetError());
        std::exit(1);
    }
    SDL_Surface* surface = SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_RGBA32, 0);
    SDL_FreeSurface(rendered);
    if (surface == nullptr) {
        std::fprintf(stderr, "make_pictures: cannot convert text surface: %s\n", SDL_GetError());
        std::exit(1);
    }
    const auto* bytes = static_cast<const uint8_t*>(surface->pixels);
    for (int row = 0; row < surface->h; ++row)
        for (int col = 0; col < surface->w; ++col) {
            uint8_t coverage = bytes[row * surface->pitch + col * 4 + 3];
            if (coverage == 0) continue;
            int px = x + col;
            int py = y + row;
            if (!canvas.Inside(px, py)) continue;
            if (canvas.At(px, py).a == 255)
                canvas.Blend(px, py, colour, coverage / 255.0f);
            else if (coverage >= 128)
                canvas.At(px, py) = Rgba{colour.r, colour.g, colour.b, 255};
        }
    SDL_FreeSurface(surface);
}

void DrawTextCentred(Canvas& canvas, Face face, int pointSize, const std::string& text, Rgba colour,
                     int centreX, int y) {
    DrawText(canvas, face, pointSize, text, colour, centreX - TextWidth(face, pointSize, text) / 2, y);
}

}  // namespace pictures
