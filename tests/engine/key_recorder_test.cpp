#include "engine/key_recorder.h"

#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/key_script.h"
#include "tests/support/engine_fixture.h"

namespace {

using namespace platform;

class KeyRecorderTest : public EngineTest {
protected:
    void TearDown() override {
        keyRecorder.Stop();
        EngineTest::TearDown();
    }
    static Message Key(uint32_t message, int vk) { return {nullptr, message, static_cast<uintptr_t>(vk), 0}; }
    static std::string Read(const char* path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
};

TEST_F(KeyRecorderTest, TheMessageLoopRecordsWhatEachRunCallWillRead) {
    // The game here reads nothing itself: the entry point samples the keys.
    machine.Schedule(0, Key(WM_KEYDOWN, VK_SPACE));
    machine.Schedule(2, Key(WM_KEYUP, VK_SPACE));
    machine.Schedule(3, Key(WM_KEYDOWN, VK_UP));
    machine.Schedule(4, Key(WM_KEYDOWN, VK_UP));  // repeat
    machine.Schedule(5, Key(WM_KEYDOWN, 'P'));
    machine.Schedule(5, Key(WM_KEYDOWN, VK_LEFT));
    machine.Schedule(7, Key(WM_KEYUP, VK_UP));
    int runs = 0;
    test_game::onInitialize = [] { Tarvo.Initialize(false, 756, 512); };
    test_game::onRun = [&] {
        if (++runs == 9) machine.PostQuitMessage(0);
    };
    std::string error;
    ASSERT_TRUE(keyRecorder.Start("session.keys", error)) << error;
    EXPECT_EQ(WinMain(nullptr, nullptr, "", 1), 0);
    keyRecorder.Stop();
    EXPECT_FALSE(keyRecorder.Failed());
    EXPECT_EQ(Read("session.keys"),
              "# a key script: FRAME down|up KEY, one key a line\n"
              "0 down SPACE\n2 up SPACE\n3 down UP\n5 down LEFT\n5 down P\n7 up UP\n");
}

TEST_F(KeyRecorderTest, RecordsEveryKeyInCodeOrderUnderTheLineNamingTheGame) {
    // Keys the shooter never reads; within a frame they come out of code order
    // and are written in it.
    machine.Schedule(0, Key(WM_KEYDOWN, 'D'));
    machine.Schedule(0, Key(WM_KEYDOWN, VK_RETURN));
    machine.Schedule(0, Key(WM_KEYDOWN, 'A'));
    machine.Schedule(1, Key(WM_KEYDOWN, VK_OEM_1));
    machine.Schedule(1, Key(WM_KEYUP, 'A'));
    machine.Schedule(2, Key(WM_KEYDOWN, 0x5B));  // a key without a name
    machine.Schedule(3, Key(WM_KEYUP, VK_RETURN));
    machine.Schedule(3, Key(WM_KEYUP, 0x5B));
    machine.Schedule(3, Key(WM_KEYUP, VK_OEM_1));
    int runs = 0;
    test_game::onInitialize = [] { Tarvo.Initialize(false, 756, 512); };
    test_game::onRun = [&] {
        if (++runs == 5) machine.PostQuitMessage(0);
    };
    std::string error;
    ASSERT_TRUE(keyRecorder.Start("made.keys", error, "Starfield 2.1")) << error;
    EXPECT_EQ(WinMain(nullptr, nullptr, "", 1), 0);
    keyRecorder.Stop();
    EXPECT_FALSE(keyRecorder.Failed());
    const std::string recording = Read("made.keys");
    EXPECT_EQ(recording,
              "# recorded by Starfield 2.1\n"
              "# a key script: FRAME down|up KEY, one key a line\n"
              "0 down ENTER\n0 down A\n0 down D\n1 up A\n1 down ;\n2 down 0x5B\n3 up ENTER\n3 up 0x5B\n3 up ;\n");

    // The reader takes it back, the header as comments.
    std::istringstream in(recording);
    std::vector<KeyEvent> events;
    EXPECT_TRUE(ParseKeyScript(in, events, error)) << error;
    EXPECT_EQ(events.size(), 9u);
}

TEST_F(KeyRecorderTest, RefusesBeforeStartAndCreatesNothingUntilTheFirstFrame) {
    std::ofstream("taken.keys") << "precious\n";
    std::ofstream("plain-file") << "x\n";
    struct Case {
        std::string path, madeBy, message;
    } cases[] = {
        {"", "", "a recording needs a file name, not an empty one"},
        {"taken.keys", "", "taken.keys already exists; a recording never replaces a file (choose another name)"},
        {"no-such-folder/x.keys", "", "no-such-folder/x.keys: no folder no-such-folder (No such file or directory)"},
        {"plain-file/x.keys", "", "plain-file/x.keys: plain-file is not a folder"},
        // The game's name goes on one comment line: a line break would start
        // a line of keys, and a line too long for the reader would lose all.
        {"x.keys", "Game\n0 down SPACE", "the game's name for a recording has a control character"},
        {"x.keys", "Game\x7f", "the game's name for a recording has a control character"},
        {"x.keys", std::string(987, 'g'), "the game's name for a recording is longer than 986 characters"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(keyRecorder.Start(c.path, error, c.madeBy)) << c.path;
        EXPECT_EQ(error, c.message);
        EXPECT_FALSE(keyRecorder.IsRecording());
    }
    EXPECT_FALSE(std::filesystem::exists("x.keys"));
    EXPECT_EQ(Read("taken.keys"), "precious\n");

    // A start that fails (here: the game never starts the engine) runs no
    // frame, so it leaves no file to refuse the same name next time.
    std::string error;
    ASSERT_TRUE(keyRecorder.Start("first.keys", error)) << error;
    EXPECT_FALSE(std::filesystem::exists("first.keys"));
    EXPECT_EQ(WinMain(nullptr, nullptr, "", 1), -1);
    keyRecorder.Stop();
    EXPECT_FALSE(std::filesystem::exists("first.keys"));
    EXPECT_FALSE(keyRecorder.Failed());
    EXPECT_TRUE(keyRecorder.Start("first.keys", error)) << error;
}

TEST_F(KeyRecorderTest, TheLongestNameOfAGameStillMakesAScriptTheReaderTakes) {
    std::string error;
    ASSERT_TRUE(keyRecorder.Start("long.keys", error, std::string(986, 'g'))) << error;
    keyRecorder.Sample();
    keyRecorder.Stop();
    std::istringstream in(Read("long.keys"));
    std::vector<KeyEvent> events;
    EXPECT_TRUE(ParseKeyScript(in, events, error)) << error;
    EXPECT_EQ(Read("long.keys").find('\n'), 1000u);
}

// A real write failure, for a child process: files may not grow past 300
// bytes (SIGXFSZ ignored, so the write returns EFBIG instead). Exit status 3
// when the recorder saw the failure and stopped.
[[noreturn]] void RecordIntoAFileLimitedTo300Bytes() {
    const rlimit limit = {300, 300};
    std::signal(SIGXFSZ, SIG_IGN);
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) std::_Exit(10);
    std::string error;
    if (!keyRecorder.Start("full.keys", error)) std::_Exit(11);
    for (int frame = 0; frame < 100; ++frame) {
        Tarvo.keyState[VK_SPACE] = frame % 2 == 0;
        keyRecorder.Sample();
    }
    keyRecorder.Stop();
    std::_Exit(keyRecorder.Failed() && !keyRecorder.IsRecording() ? 3 : 12);
}

TEST_F(KeyRecorderTest, AWriteThatFailsIsSaidAndStopsTheRecording) {
    EXPECT_EXIT(RecordIntoAFileLimitedTo300Bytes(), testing::ExitedWithCode(3),
                "tarvo: could not write the recording full.keys: File too large; recording stopped");
    // Everything up to the failure was kept, and the debug log says it too.
    const std::string kept = Read("full.keys");
    EXPECT_EQ(kept.size(), 300u);
    EXPECT_EQ(kept.rfind("# a key script: FRAME down|up KEY, one key a line\n0 down SPACE\n1 up SPACE\n", 0), 0u);
    EXPECT_NE(ReadLog().find("tarvo: could not write the recording full.keys: File too large; recording stopped\n"),
              std::string::npos)
        << ReadLog();
}

}  // namespace
