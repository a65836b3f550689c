#include "engine/key_script.h"

#include <cctype>
#include <climits>
#include <sstream>

#include "platform/platform.h"

namespace {

struct KeyNameEntry {
    const char* name;
    int code;
};

constexpr KeyNameEntry kKeys[] = {
    {"SPACE", platform::VK_SPACE}, {"P", 'P'},
    {"LEFT", platform::VK_LEFT},   {"UP", platform::VK_UP},
    {"RIGHT", platform::VK_RIGHT}, {"DOWN", platform::VK_DOWN},
};

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

bool ParseFrame(const std::string& word, int& frame) {
    if (word.empty() || word.size() > 10) return false;
    long long value = 0;
    for (char c : word) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    if (value > INT_MAX) return false;
    frame = static_cast<int>(value);
    return true;
}

}  // namespace

const char* KeyScriptName(int virtualKey) {
    for (const KeyNameEntry& entry : kKeys)
        if (entry.code == virtualKey) return entry.name;
    return nullptr;
}

int KeyScriptCode(const std::string& name) {
    const std::string upper = Upper(name);
    for (const KeyNameEntry& entry : kKeys)
        if (upper == entry.name) return entry.code;
    return 0;
}

std::string FormatKeyEvent(const KeyEvent& event) {
    const char* name = KeyScriptName(event.key);
    return std::to_string(event.frame) + (event.down ? " down " : " up ") + (name != nullptr ? name : "?");
}

bool ParseKeyScript(std::istream& in, std::vector<KeyEvent>& events, std::string& error) {
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream words(line);
        std::string frameWord, action, keyWord, extra;
        if (!(words >> frameWord) || frameWord[0] == '#') continue;
        const std::string where = "line " + std::to_string(number) + ": ";
        KeyEvent event;
        if (!ParseFrame(frameWord, event.frame)) {
            error = where + "'" + frameWord + "' is not a frame number (0 or more)";
            return false;
        }
        if (!(words >> action) || !(words >> keyWord)) {
            error = where + "expected FRAME down|up KEY";
            return false;
        }
        const std::string upperAction = Upper(action);
        if (upperAction != "DOWN" && upperAction != "UP") {
            error = where + "'" + action + "' is neither down nor up";
            return false;
        }
        event.down = upperAction == "DOWN";
        event.key = KeyScriptCode(keyWord);
        if (event.key == 0) {
            error = where + "'" + keyWord + "' is not one of SPACE, P, LEFT, UP, RIGHT, DOWN";
            return false;
        }
        if (words >> extra) {
            error = where + "unexpected '" + extra + "' after the key";
            return false;
        }
        events.push_back(event);
    }
    return true;
}
