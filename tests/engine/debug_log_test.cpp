#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "engine/debug_log.h"
#include "tests/support/engine_fixture.h"

namespace {

std::string Read(const char* name) {
    std::ifstream in(name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(DebugLog, HeaderThenMessagesEachFollowedByTwoSpaces) {
    {
        DebugLog log;
        log.Write("one\n", debugTail);
        log.Write("two\n", debugTail);
    }
    EXPECT_EQ(Read("debug.txt"), "* Debugging Output *\none\n  two\n  ");
}

TEST(DebugLog, ReopenTruncatesAndWritesAfterCloseAreSkipped) {
    DebugLog log;
    log.Write("old\n", debugTail);
    log.Open("debug.txt");
    log.Write("new\n", "tail");
    log.Close();
    log.Write("lost\n", debugTail);
    EXPECT_EQ(Read("debug.txt"), "new\n  tail");
}

TEST(DebugLog, UnopenableFileSaysSoOnStandardOutputAndStaysClosed) {
    ASSERT_EQ(mkdir("locked", 0500), 0);
    DebugLog log;
    testing::internal::CaptureStdout();
    log.Open("locked/sub/debug.txt");
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "DEBUGGER ERROR: Unable to open debug log file.\n");
    EXPECT_FALSE(log.IsOpen());
    log.Write("skipped\n", debugTail);
}

}  // namespace
