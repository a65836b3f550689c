// What a game's page is built from: the game's declaration as one JSON
// object, which the build reads out of the compiled program (its static
// objects run, its main does not) to write the page's title, its manifest and
// its touch controls before anyone opens it.
//
// Pure, so that it builds and is tested natively. Depends on base/ and the
// key script's key names.
#pragma once

#include <string>
#include <string_view>

#include "base/game_info.h"

namespace platform {

// The declaration as {"name", "title", "help", "version", "width", "height",
// "muteKey", "problem", "actions": [{"name", "key", "vk", "label"}]}: `key`
// is the key script's name for the key the game reads (the touch control's
// data-key), `vk` that key's code, and `label` the touch control's face: the
// action's own, else an arrow for an arrow key, else the action's name. `problem` is what keeps the
// game from starting ("" for nothing).
std::string PageGameJson(const TarvoGameInfo& game, std::string_view problem);

// `text` as a JSON string, quotes included: control characters, quotes and
// backslashes escaped, and '<' too, so that the text can go inside a page's
// <script> element; anything else (UTF-8 included) as it is.
std::string JsonString(std::string_view text);

}  // namespace platform
