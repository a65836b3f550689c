#include "engine/key_script.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace {

TEST(KeyScript, ReadsEventsSkippingCommentsBlanksAndCarriageReturns) {
    // The last line has no newline; a comment may be as long as any line.
    std::istringstream in("# a session\r\n\n  0 down space\r\n" + std::string(1000, '#') +
                          "\n3 down return\n5 up 0xba\n12 UP Left");
    std::vector<KeyEvent> events;
    std::string error;
    ASSERT_TRUE(ParseKeyScript(in, events, error)) << error;
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(FormatKeyEvent(events[0]), "0 down SPACE");
    EXPECT_EQ(events[0].key, platform::VK_SPACE);
    EXPECT_EQ(FormatKeyEvent(events[1]), "3 down ENTER");
    EXPECT_EQ(FormatKeyEvent(events[2]), "5 up ;");
    EXPECT_EQ(FormatKeyEvent(events[3]), "12 up LEFT");
}

TEST(KeyScript, NamesEveryKeyInAnyCaseAndWritesItsOwnName) {
    // The codes are the desktop's virtual keys, written out here rather than
    // taken from platform.h, so that a wrong constant shows too.
    const struct Case {
        const char* read;
        int code;
        const char* written;
    } cases[] = {
        // The names scripts used before every key had one.
        {"SPACE", 0x20, "SPACE"},
        {"p", 'P', "P"},
        {"Left", 0x25, "LEFT"},
        {"UP", 0x26, "UP"},
        {"right", 0x27, "RIGHT"},
        {"DOWN", 0x28, "DOWN"},
        // Letters and digits are themselves.
        {"a", 'A', "A"},
        {"D", 'D', "D"},
        {"z", 'Z', "Z"},
        {"0", '0', "0"},
        {"9", '9', "9"},
        {"ENTER", 0x0D, "ENTER"},
        {"Return", 0x0D, "ENTER"},
        {"escape", 0x1B, "ESCAPE"},
        {"TAB", 0x09, "TAB"},
        {"BackSpace", 0x08, "BACKSPACE"},
        {"f1", 0x70, "F1"},
        {"F12", 0x7B, "F12"},
        {"F24", 0x87, "F24"},
        {"INSERT", 0x2D, "INSERT"},
        {"DELETE", 0x2E, "DELETE"},
        {"HOME", 0x24, "HOME"},
        {"END", 0x23, "END"},
        {"PageUp", 0x21, "PAGEUP"},
        {"PAGEDOWN", 0x22, "PAGEDOWN"},
        {"SHIFT", 0x10, "SHIFT"},
        {"CONTROL", 0x11, "CONTROL"},
        {"ALT", 0x12, "ALT"},
        {"RALT", 0xA5, "RALT"},
        {"CAPSLOCK", 0x14, "CAPSLOCK"},
        {"NUMPAD0", 0x60, "NUMPAD0"},
        {"numpad9", 0x69, "NUMPAD9"},
        {"DIVIDE", 0x6F, "DIVIDE"},
        // Punctuation by what it types unshifted on a US keyboard.
        {";", 0xBA, ";"},
        {"=", 0xBB, "="},
        {",", 0xBC, ","},
        {"-", 0xBD, "-"},
        {".", 0xBE, "."},
        {"/", 0xBF, "/"},
        {"`", 0xC0, "`"},
        {"[", 0xDB, "["},
        {"\\", 0xDC, "\\"},
        {"]", 0xDD, "]"},
        {"'", 0xDE, "'"},
        // Any code as 0x and two hex digits; one with a name is written by it.
        {"0x5B", 0x5B, "0x5B"},
        {"0X5b", 0x5B, "0x5B"},
        {"0x01", 0x01, "0x01"},
        {"0xfe", 0xFE, "0xFE"},
        {"0x41", 'A', "A"},
        {"0xBA", 0xBA, ";"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.read);
        EXPECT_EQ(KeyScriptCode(c.read), c.code);
        EXPECT_STREQ(KeyScriptName(c.code), c.written);
    }
}

TEST(KeyScript, EveryCodeFrom1To254IsWrittenAsANameThatReadsBack) {
    for (int code = 1; code <= 254; ++code) {
        const char* name = KeyScriptName(code);
        ASSERT_NE(name, nullptr) << code;
        EXPECT_EQ(KeyScriptCode(name), code) << name;
    }
    for (int code : {-1, 0, 255, 256}) EXPECT_EQ(KeyScriptName(code), nullptr) << code;
}

TEST(KeyScript, RefusesWordsThatNameNoKeyAndSaysWhatIsAccepted) {
    for (const char* word : {"0x00", "0xFF", "0x1G", "0x", "0x5", "0x05B", "x41", "F0", "F25", "NUMPAD10", "JUMP",
                             "ENTE", "SPACEBAR", "LEFT!", "PLUS"}) {
        SCOPED_TRACE(word);
        EXPECT_EQ(KeyScriptCode(word), 0);
        std::istringstream in(std::string("0 down ") + word + "\n");
        std::vector<KeyEvent> events;
        std::string error;
        EXPECT_FALSE(ParseKeyScript(in, events, error));
        EXPECT_EQ(error, "line 1: the key '" + std::string(word) +
                             "' is neither a key name (A, 7, ENTER, LEFT, F1, ...) nor a code from 0x01 to 0xFE");
    }
}

TEST(KeyScript, RefusesNamingTheLineAndQuotingOnlyShortPrintableText) {
    const std::string longWord(41, 'K');
    const std::string notAKey = " is neither a key name (A, 7, ENTER, LEFT, F1, ...) nor a code from 0x01 to 0xFE";
    const struct Case {
        std::string script, error;
    } cases[] = {
        {"0 down UP\n1 sideways UP\n", "line 2: the action 'sideways' is neither down nor up"},
        {"# c\n\n1 down JUMP\n", "line 3: the key 'JUMP'" + notAKey},
        {"-1 down UP\n", "line 1: the frame '-1' is not a number from 0 to 2147483647"},
        {"2147483648 down UP\n", "line 1: the frame '2147483648' is not a number from 0 to 2147483647"},
        {"1 down\n", "line 1: expected FRAME down|up KEY"},
        {"1 up UP extra\n", "line 1: unexpected text 'extra' after the key"},
        // Words that could drive a terminal, or flood it, are not repeated.
        {"\x1b[2J\x1b]0;owned\x07 down UP\n", "line 1: the frame is not a number from 0 to 2147483647"},
        {"1 down \x1b[31mUP\n", "line 1: the key" + notAKey},
        {"1 down UP \x7f\n", "line 1: unexpected text after the key"},
        {"1 down " + longWord + "\n", "line 1: the key" + notAKey},
        {"1 down " + longWord.substr(1) + "\n", "line 1: the key '" + longWord.substr(1) + "'" + notAKey},
        // A line is at most 1000 characters, its newline not counted.
        {"0 down UP\n#" + std::string(1000, ' ') + "\n", "line 2: longer than 1000 characters"},
        // A device that never ends a line (/dev/zero) is refused after the
        // limit, not read until memory runs out.
        {std::string(4096, '\0'), "line 1: longer than 1000 characters"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error);
        std::istringstream in(c.script);
        std::vector<KeyEvent> events;
        std::string error;
        EXPECT_FALSE(ParseKeyScript(in, events, error));
        EXPECT_EQ(error, c.error);
    }
}

}  // namespace
