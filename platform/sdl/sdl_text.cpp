// Text on a surface: SDL2_ttf renders the glyphs in DejaVu Sans, blended
// straight onto the surface's memory. The font opens on the first GetDC.
#include <string>

#include "platform/sdl/sdl_backend.h"

namespace platform {

namespace {

const char* const kFontPaths[] = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "/usr/share/fonts/dejavu/DejaVuSans.ttf",
};
constexpr int kFontPointSize = 13;

}  // namespace

HResult SdlPlatform::GetDC(SurfaceHandle handle) {
    MemorySurface* s = static_cast<MemorySurface*>(handle);
    if (s->primary || s->lost) return DDERR_CANTCREATEDC;
    if (font == nullptr) {
        if (!TTF_WasInit() && TTF_Init() != 0) return DDERR_CANTCREATEDC;
        for (const char* path : kFontPaths) {
            font = TTF_OpenFont(path, kFontPointSize);
            if (font != nullptr) break;
        }
        if (font == nullptr) return DDERR_CANTCREATEDC;
    }
    return DD_OK;
}

void SdlPlatform::TextOut(SurfaceHandle handle, int x, int y, const char* text, int length, uint32_t color) {
    MemorySurface* s = static_cast<MemorySurface*>(handle);
    if (font == nullptr || length <= 0) return;
    const std::string line(text, static_cast<size_t>(length));
    const SDL_Color fg{static_cast<Uint8>(color & 0xFF), static_cast<Uint8>((color >> 8) & 0xFF),
                       static_cast<Uint8>((color >> 16) & 0xFF), 255};
    // Latin-1, like the single-byte text the engine hands over.
    SDL_Surface* glyphs = TTF_RenderText_Blended(font, line.c_str(), fg);
    if (glyphs == nullptr) return;
    SDL_Surface* target =
        SDL_CreateRGBSurfaceWithFormatFrom(s->pixels.data(), s->width, s->height, 16, s->pitchBytes, PixelFormat());
    if (target != nullptr) {
        SDL_SetSurfaceBlendMode(glyphs, SDL_BLENDMODE_BLEND);
        SDL_Rect at{x, y, glyphs->w, glyphs->h};
        SDL_BlitSurface(glyphs, nullptr, target, &at);
        SDL_FreeSurface(target);
    }
    SDL_FreeSurface(glyphs);
}

}  // namespace platform
