#include "engine/key_script.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace {

TEST(KeyScript, ReadsEventsSkippingCommentsBlanksAndCarriageReturns) {
    // The last line has no newline; a comment may be as long as any line.
    std::istringstream in("# a session\r\n\n  0 down space\r\n" + std::string(1000, '#') + "\n12 UP Left");
    std::vector<KeyEvent> events;
    std::string error;
    ASSERT_TRUE(ParseKeyScript(in, events, error)) << error;
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(FormatKeyEvent(events[0]), "0 down SPACE");
    EXPECT_EQ(events[0].key, platform::VK_SPACE);
    EXPECT_EQ(FormatKeyEvent(events[1]), "12 up LEFT");
}

TEST(KeyScript, RefusesNamingTheLineAndQuotingOnlyShortPrintableText) {
    const std::string longWord(41, 'K');
    const struct Case {
        std::string script, error;
    } cases[] = {
        {"0 down UP\n1 sideways UP\n", "line 2: the action 'sideways' is neither down nor up"},
        {"# c\n\n1 down JUMP\n", "line 3: the key 'JUMP' is not one of SPACE, P, LEFT, UP, RIGHT, DOWN"},
        {"-1 down UP\n", "line 1: the frame '-1' is not a number from 0 to 2147483647"},
        {"2147483648 down UP\n", "line 1: the frame '2147483648' is not a number from 0 to 2147483647"},
        {"1 down\n", "line 1: expected FRAME down|up KEY"},
        {"1 up UP extra\n", "line 1: unexpected text 'extra' after the key"},
        // Words that could drive a terminal, or flood it, are not repeated.
        {"\x1b[2J\x1b]0;owned\x07 down UP\n", "line 1: the frame is not a number from 0 to 2147483647"},
        {"1 down \x1b[31mUP\n", "line 1: the key is not one of SPACE, P, LEFT, UP, RIGHT, DOWN"},
        {"1 down UP \x7f\n", "line 1: unexpected text after the key"},
        {"1 down " + longWord + "\n", "line 1: the key is not one of SPACE, P, LEFT, UP, RIGHT, DOWN"},
        {"1 down " + longWord.substr(1) + "\n",
         "line 1: the key '" + longWord.substr(1) + "' is not one of SPACE, P, LEFT, UP, RIGHT, DOWN"},
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
