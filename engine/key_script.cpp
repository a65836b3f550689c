#include "engine/key_script.h"

#include <array>
#include <cctype>
#include <climits>
#include <iterator>
#include <sstream>
#include <string_view>
#include <utility>

#include "base/quoted.h"
#include "platform/platform.h"

namespace {

// A key's name, zero-terminated: room for the longest (BACKSPACE) and more.
using KeyText = std::array<char, 12>;

struct KeyName {
    KeyText text{};
    int code = 0;
};

constexpr KeyName Named(std::string_view text, int code) {
    KeyName key;
    for (size_t i = 0; i < text.size(); ++i) key.text[i] = text[i];
    key.code = code;
    return key;
}

constexpr KeyName Numbered(std::string_view prefix, int number, int code) {
    KeyName key = Named(prefix, code);
    size_t at = prefix.size();
    if (number >= 10) key.text[at++] = static_cast<char>('0' + number / 10);
    key.text[at] = static_cast<char>('0' + number % 10);
    return key;
}

// The names besides letters, digits, F1-F24 and NUMPAD0-9. Where a code has
// two, the first is the one written (ENTER, not RETURN).
constexpr std::pair<std::string_view, int> kOtherKeys[] = {
    {"BACKSPACE", platform::VK_BACK},
    {"TAB", platform::VK_TAB},
    {"ENTER", platform::VK_RETURN},
    {"RETURN", platform::VK_RETURN},
    {"SHIFT", platform::VK_SHIFT},
    {"CONTROL", platform::VK_CONTROL},
    {"ALT", platform::VK_MENU},
    {"PAUSE", platform::VK_PAUSE},
    {"CAPSLOCK", platform::VK_CAPITAL},
    {"ESCAPE", platform::VK_ESCAPE},
    {"SPACE", platform::VK_SPACE},
    {"PAGEUP", platform::VK_PRIOR},
    {"PAGEDOWN", platform::VK_NEXT},
    {"END", platform::VK_END},
    {"HOME", platform::VK_HOME},
    {"LEFT", platform::VK_LEFT},
    {"UP", platform::VK_UP},
    {"RIGHT", platform::VK_RIGHT},
    {"DOWN", platform::VK_DOWN},
    {"INSERT", platform::VK_INSERT},
    {"DELETE", platform::VK_DELETE},
    {"MULTIPLY", platform::VK_MULTIPLY},
    {"ADD", platform::VK_ADD},
    {"SUBTRACT", platform::VK_SUBTRACT},
    {"DECIMAL", platform::VK_DECIMAL},
    {"DIVIDE", platform::VK_DIVIDE},
    {"LSHIFT", platform::VK_LSHIFT},
    {"RSHIFT", platform::VK_RSHIFT},
    {"LCONTROL", platform::VK_LCONTROL},
    {"RCONTROL", platform::VK_RCONTROL},
    {"LALT", platform::VK_LMENU},
    {"RALT", platform::VK_RMENU},
    // The punctuation keys by what they type unshifted on a US keyboard.
    {";", platform::VK_OEM_1},
    {"=", platform::VK_OEM_PLUS},
    {",", platform::VK_OEM_COMMA},
    {"-", platform::VK_OEM_MINUS},
    {".", platform::VK_OEM_PERIOD},
    {"/", platform::VK_OEM_2},
    {"`", platform::VK_OEM_3},
    {"[", platform::VK_OEM_4},
    {"\\", platform::VK_OEM_5},
    {"]", platform::VK_OEM_6},
    {"'", platform::VK_OEM_7},
};

constexpr int kFunctionKeys = 24;
constexpr int kFirstCode = 1, kLastCode = 254;

// Every key name, in upper case, with its code.
constexpr auto kKeyNames = [] {
    std::array<KeyName, 26 + 10 + kFunctionKeys + 10 + std::size(kOtherKeys)> names{};
    size_t n = 0;
    for (char c = 'A'; c <= 'Z'; ++c) names[n++] = Named(std::string_view(&c, 1), c);
    for (char c = '0'; c <= '9'; ++c) names[n++] = Named(std::string_view(&c, 1), c);
    for (int i = 1; i <= kFunctionKeys; ++i) names[n++] = Numbered("F", i, platform::VK_F1 + i - 1);
    for (int i = 0; i <= 9; ++i) names[n++] = Numbered("NUMPAD", i, platform::VK_NUMPAD0 + i);
    for (const auto& [text, code] : kOtherKeys) names[n++] = Named(text, code);
    return names;
}();

// What each code is written as: its first name, else 0xNN.
constexpr auto kWrittenNames = [] {
    constexpr char kHex[] = "0123456789ABCDEF";
    std::array<KeyText, kLastCode + 1> written{};
    for (int code = kFirstCode; code <= kLastCode; ++code)
        written[code] = KeyText{'0', 'x', kHex[code >> 4], kHex[code & 15]};
    // Backwards, so that a code's first name is the last one set.
    for (size_t i = std::size(kKeyNames); i-- > 0;) written[kKeyNames[i].code] = kKeyNames[i].text;
    return written;
}();

constexpr bool NamesAreSound() {
    for (size_t i = 0; i < std::size(kKeyNames); ++i) {
        const KeyName& key = kKeyNames[i];
        if (key.code < kFirstCode || key.code > kLastCode || key.text[0] == '\0' || key.text.back() != '\0')
            return false;
        // No name twice, and none that could be taken for a number (0x..).
        if (key.text[0] == '0' && key.text[1] != '\0') return false;
        for (size_t k = 0; k < i; ++k)
            if (kKeyNames[k].text == key.text) return false;
    }
    return true;
}
static_assert(NamesAreSound(), "every key name is unique, not numeric, fits its text and names a code 1 to 254");

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

enum class LineRead { Line, End, TooLong };

// One line without its newline; the last line may lack the newline. A script
// line is a few words; one far longer is not a script, and reading it whole
// could take all memory (a device that never ends a line).
LineRead ReadLine(std::istream& in, std::string& line) {
    line.clear();
    char c;
    while (in.get(c)) {
        if (c == '\n') return LineRead::Line;
        if (line.size() == kKeyScriptMaxLineChars) return LineRead::TooLong;
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
    if (virtualKey < kFirstCode || virtualKey > kLastCode) return nullptr;
    return kWrittenNames[virtualKey].data();
}

int KeyScriptCode(const std::string& name) {
    const std::string upper = Upper(name);
    // 0x and two hex digits: any code, named or not.
    if (upper.size() == 4 && upper[0] == '0' && upper[1] == 'X' &&
        std::isxdigit(static_cast<unsigned char>(upper[2])) && std::isxdigit(static_cast<unsigned char>(upper[3]))) {
        const int code = std::stoi(upper.substr(2), nullptr, 16);
        return code >= kFirstCode && code <= kLastCode ? code : 0;
    }
    if (upper.size() >= sizeof(KeyText)) return 0;
    for (const KeyName& key : kKeyNames)
        if (upper == key.text.data()) return key.code;
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
            error = "line " + std::to_string(number) + ": longer than " + std::to_string(kKeyScriptMaxLineChars) +
                    " characters";
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
            error = where + "the key" + Quoted(keyWord) +
                    " is neither a key name (A, 7, ENTER, LEFT, F1, ...) nor a code from 0x01 to 0xFE";
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
