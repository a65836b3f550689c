#include "platform/web/page_game.h"

#include <cstdio>

#include "engine/key_script.h"
#include "platform/platform.h"

namespace platform {

namespace {

const char* Face(const TarvoAction& action) {
    if (action.label != nullptr && *action.label != '\0') return action.label;
    switch (action.key) {
        case VK_LEFT:
            return "\u25C0";
        case VK_RIGHT:
            return "\u25B6";
        case VK_UP:
            return "\u25B2";
        case VK_DOWN:
            return "\u25BC";
        default:
            return action.name;
    }
}

const char* OrEmpty(const char* text) { return text != nullptr ? text : ""; }

}  // namespace

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (byte < 0x20 || byte == 0x7F || c == '<') {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string PageGameJson(const TarvoGameInfo& game, std::string_view problem) {
    std::string out =
        "{\"name\":" + JsonString(OrEmpty(game.name)) + ",\"title\":" + JsonString(OrEmpty(game.title)) +
        ",\"help\":" + JsonString(OrEmpty(game.help)) + ",\"version\":" + JsonString(OrEmpty(game.version)) +
        ",\"width\":" + std::to_string(game.width) + ",\"height\":" + std::to_string(game.height) +
        ",\"muteKey\":" + (game.muteKey ? "true" : "false") + ",\"problem\":" + JsonString(problem) + ",\"actions\":[";
    bool first = true;
    for (const TarvoAction& action : game.actions) {
        const char* key = KeyScriptName(action.key);
        if (!first) out += ',';
        first = false;
        out += "{\"name\":" + JsonString(OrEmpty(action.name)) + ",\"key\":" + JsonString(OrEmpty(key)) +
               ",\"vk\":" + std::to_string(action.key) + ",\"label\":" + JsonString(OrEmpty(Face(action))) + "}";
    }
    return out + "]}";
}

}  // namespace platform
