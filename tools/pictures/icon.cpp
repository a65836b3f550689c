#include "tools/pictures/icon.h"

#include <cstdio>
#include <map>
#include <vector>

#include "tools/pictures/art.h"

namespace pictures {

namespace {

// Characters safe inside an XPM string: no quote, no backslash.
const char kCodeCharacters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789+-";
constexpr int kCodeBase = 64;

std::string Code(int index) {
    return {kCodeCharacters[index / kCodeBase % kCodeBase], kCodeCharacters[index % kCodeBase]};
}

}  // namespace

std::string CanvasToXpm(const Canvas& canvas, const std::string& name) {
    // Index 0 is transparency; opaque colours follow in order of first use.
    std::map<uint32_t, int> colours;
    std::vector<uint32_t> order;
    for (const Rgba& p : canvas.Pixels()) {
        if (p.a == 0) continue;
        const uint32_t rgb = static_cast<uint32_t>(p.r) << 16 | static_cast<uint32_t>(p.g) << 8 | p.b;
        if (colours.emplace(rgb, static_cast<int>(order.size()) + 1).second) order.push_back(rgb);
    }
    if (order.size() + 1 > kCodeBase * kCodeBase) return {};
    std::string text = "/* XPM */\nstatic char *" + name + "[] = {\n";
    char line[64];
    std::snprintf(line, sizeof line, "\"%d %d %zu 2\",\n", canvas.Width(), canvas.Height(), order.size() + 1);
    text += line;
    // Appended piece by piece: GCC 12 warns falsely about "literal" + string.
    text += '"';
    text += Code(0);
    text += " c None\",\n";
    for (size_t i = 0; i < order.size(); ++i) {
        std::snprintf(line, sizeof line, " c #%06X\",\n", order[i]);
        text += '"';
        text += Code(static_cast<int>(i) + 1);
        text += line;
    }
    for (int y = 0; y < canvas.Height(); ++y) {
        text += "\"";
        for (int x = 0; x < canvas.Width(); ++x) {
            const Rgba& p = canvas.At(x, y);
            const uint32_t rgb = static_cast<uint32_t>(p.r) << 16 | static_cast<uint32_t>(p.g) << 8 | p.b;
            text += Code(p.a == 0 ? 0 : colours[rgb]);
        }
        text += y + 1 < canvas.Height() ? "\",\n" : "\"\n";
    }
    text += "};\n";
    return text;
}

std::string IconXpm() {
    for (const PictureEntry& picture : AllPictures())
        if (picture.name == "player_ship") return CanvasToXpm(Draw(picture), "tarvo");
    return {};
}

}  // namespace pictures
