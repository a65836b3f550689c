#include <fstream>
#include <string>
#include <vector>

#include "engine/key_recorder.h"
#include "tests/game/game_fixture.h"
#include "tools/replay/replay_runner.h"
#include "tools/replay/state_report.h"

namespace {

using namespace platform;

class RecordedSessionTest : public GameTest {
protected:
    void TearDown() override {
        keyRecorder.Stop();
        GameTest::TearDown();
    }
    static Message Key(uint32_t message, int vk) { return {nullptr, message, static_cast<uintptr_t>(vk), 0}; }
};

TEST_F(RecordedSessionTest, ARecordedSessionReplaysToTheSameStates) {
    // A session as a window system delivers it: key repeat, a key the shooter
    // ignores (recorded all the same), typed characters, and a focus loss in
    // the middle of a hold.
    machine.Schedule(0, Key(WM_KEYDOWN, VK_SPACE));
    machine.Schedule(2, Key(WM_KEYUP, VK_SPACE));
    machine.Schedule(3, Key(WM_KEYDOWN, VK_UP));
    for (int f = 4; f < 30; f += 2) machine.Schedule(f, Key(WM_KEYDOWN, VK_UP));  // repeat
    machine.Schedule(5, Key(WM_KEYDOWN, 'A'));
    machine.Schedule(6, Key(WM_CHAR, 'a'));
    machine.Schedule(8, Key(WM_KEYDOWN, VK_LEFT));
    machine.Schedule(9, Key(WM_KEYDOWN, VK_SPACE));
    machine.Schedule(20, {nullptr, WM_KILLFOCUS, 0, 0});
    machine.Schedule(20, {nullptr, WM_ACTIVATEAPP, 0, 0});
    machine.Schedule(24, {nullptr, WM_ACTIVATEAPP, 1, 0});
    machine.Schedule(24, {nullptr, WM_SETFOCUS, 0, 0});
    machine.Schedule(31, Key(WM_KEYUP, VK_UP));
    machine.Schedule(33, Key(WM_KEYUP, VK_LEFT));
    machine.Schedule(40, Key(WM_KEYDOWN, 'P'));
    machine.Schedule(41, Key(WM_KEYUP, 'P'));
    machine.Schedule(45, Key(WM_KEYDOWN, 'P'));
    machine.Schedule(47, Key(WM_KEYUP, 'P'));
    machine.Schedule(50, Key(WM_KEYDOWN, VK_DOWN));

    std::string error;
    ASSERT_TRUE(keyRecorder.Start("session.keys", error)) << error;
    std::vector<std::string> played;
    RunReplay(machine, {}, 60, [&](int f) { played.push_back(GameStateJson(f)); });
    keyRecorder.Stop();

    std::ifstream file("session.keys");
    std::vector<KeyEvent> events;
    ASSERT_TRUE(ParseKeyScript(file, events, error)) << error;
    // Only changes of held keys, at the frame that first saw them.
    std::vector<std::string> lines;
    for (const KeyEvent& event : events) lines.push_back(FormatKeyEvent(event));
    EXPECT_EQ(lines, (std::vector<std::string>{"0 down SPACE", "2 up SPACE", "3 down UP", "5 down A", "8 down LEFT",
                                               "9 down SPACE", "31 up UP", "33 up LEFT", "40 down P", "41 up P",
                                               "45 down P", "47 up P", "50 down DOWN"}));

    platform::ScriptedPlatform again;
    std::vector<std::string> replayed;
    RunReplay(again, events, 60, [&](int f) { replayed.push_back(GameStateJson(f)); });
    platform::SetCurrent(&machine);
    ASSERT_EQ(replayed.size(), played.size());
    for (size_t f = 0; f < played.size(); ++f) ASSERT_EQ(replayed[f], played[f]) << "frame " << f;
}

}  // namespace
