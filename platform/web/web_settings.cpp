// The game's own settings in the browser: the page keeps them in its storage
// under the game's name, hands them to the program at start, and stores each
// one the game sets. What the storage holds is checked as the settings file
// is: an item no game could have written is left out.
#include <cstdlib>
#include <sstream>

#include "base/game_info.h"
#include "platform/web/web_backend.h"

namespace platform {

void BrowserPlatform::LoadGameSettings() {
    if (settingsLoaded) return;
    settingsLoaded = true;
    char* text = PageGameSettings();
    std::istringstream in(text != nullptr ? text : "");
    std::free(text);
    std::string name, value;
    while (std::getline(in, name) && std::getline(in, value)) {
        if (ValidGameSetting(name, value)) gameSettings[name] = value;
    }
}

bool BrowserPlatform::ReadGameSetting(const std::string& name, std::string& value) {
    LoadGameSettings();
    return WebPlatform::ReadGameSetting(name, value);
}

bool BrowserPlatform::WriteGameSetting(const std::string& name, const std::string& value, std::string& why) {
    LoadGameSettings();
    WebPlatform::WriteGameSetting(name, value, why);
    // Kept by the page; a browser that keeps nothing (private browsing, the
    // storage full) keeps it for the run only, and the page's console says so.
    PageStoreSetting(name.c_str(), value.c_str());
    return true;
}

}  // namespace platform
