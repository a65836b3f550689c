#include "engine/key_script.h"

#include <cctype>
#include <climits>
#include <sstream>

#include "base/quoted.h"
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

// A script line is a few words; one far longer is not a script, and reading
// it whole could take all memory (a device that never ends a line).
constexpr size_t kMaxLineChars = 1000;

enum class LineRead { Line, End, TooLong };

// One line without its newline; the last line may lack the newline.
LineRead ReadLine(std::istream& in, std::string& line) {
    line.clear();
    char c;
    while (in.get(c)) {
        if (c == '\n') return LineRead::Line;
        if (line.size() == kMaxLineChars) return LineRead::TooLong;
        line += c;
    }
    return line.empty() ? LineRead::End : LineRead::Line;
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
    for (LineRead read; (read = ReadLine(in, line)) != LineRead::End;) {
        ++number;
        if (read == LineRead::TooLong) {
            error = "line " + std::to_string(number) + ": longer than " + std::to_string(kMaxLineChars) + " characters";
            return false;
        }
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream words(line);
        std::string frameWord, action, keyWord, extra;
        if (!(words >> frameWord) || frameWord[0] == '#') continue;
        const std::string where = "line " + std::to_string(number) + ": ";
        KeyEvent event;
        if (!ParseFrame(frameWord, event.frame)) {
            error = where + "the frame" + Quoted(frameWord) + " is not a number from 0 to 2147483647";
            return false;
        }
        if (!(words >> action) || !(words >> keyWord)) {
            error = where + "expected FRAME down|up KEY";
            return false;
        }
        const std::string upperAction = Upper(action);
        if (upperAction != "DOWN" && upperAction != "UP") {
            error = where + "the action" + Quoted(action) + " is neither down nor up";
            return false;
        }
        event.down = upperAction == "DOWN";
        event.key = KeyScriptCode(keyWord);
        if (event.key == 0) {
            error = where + "the key" + Quoted(keyWord) + " is not one of SPACE, P, LEFT, UP, RIGHT, DOWN";
            return false;
        }
        if (words >> extra) {
            error = where + "unexpected text" + Quoted(extra) + " after the key";
            return false;
        }
        events.push_back(event);
    }
    return true;
}
