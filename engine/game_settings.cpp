#include "engine/game_settings.h"

#include "base/debug_log.h"
#include "base/game_info.h"
#include "base/quoted.h"
#include "platform/platform.h"

std::string GameSetting(const char* name, const std::string& fallback) {
    std::string value;
    if (name == nullptr || !platform::Current().ReadGameSetting(name, value)) return fallback;
    return value;
}

bool SetGameSetting(const char* name, const std::string& value) {
    if (name == nullptr || !ValidGameSetting(name, value)) {
        const std::string line = "Game setting" + Quoted(name != nullptr ? name : "") +
                                 ": refused (a name of letters, digits, '.', '-' and '_'; a value of one line of "
                                 "at most 1000 bytes).\n";
        debugLog.Write(line.c_str(), debugTail);
        return false;
    }
    std::string why;
    return platform::Current().WriteGameSetting(name, value, why);
}
