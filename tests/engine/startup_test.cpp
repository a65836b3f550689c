#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/audio.h"
#include "tests/support/engine_fixture.h"

using platform::Op;

namespace {

const std::string kTextW =
    "Are you using Windows 98/2000/NT? Tarvo requires one of these. Still having trouble? Please report error and "
    "system configuration.";
const std::string kTextD =
    "Are you using DirectX SDK 3.1 or 8.1? Tarvo requires one of these. Still having trouble? Please report error "
    "and system configuration.";
const std::string kTextR =
    "The requested game size must be smaller than the current screen settings. Reduce requested size to less than "
    "the screen size or use fullscreen mode.\n\nIf you are unsure of screen size initialize Tarvo as "
    "follows:\n\nTarvo.Initialize (false, 700, 500);";
const std::string kTextB =
    "Tarvo supports 16-bit screen depths ONLY!\n\nPlease adjust your screen depth to 16-bit as follows:\n- Right "
    "click on desktop\n- Select Properties\n- Goto Settings Tab\n- Select High Color (16-bit)";

struct FailureCase {
    const char* name;
    int fullscreen;
    int width, height;
    int screenDepth;
    std::vector<std::pair<Op, int>> faults;  // op, call number
    int status;
    std::string first;
    std::string second;
    Op notReached;  // an operation that must not have run after the failure
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class StartupFailure : public EngineTest, public testing::WithParamInterface<FailureCase> {};

TEST_P(StartupFailure, StopsAtItsStepAndReports) {
    const FailureCase& c = GetParam();
    machine.screenDepth = c.screenDepth;
    for (auto [op, call] : c.faults) machine.Fail(op, call);
    bool ran = false;
    test_game::onInitialize = [&] { EXPECT_FALSE(Tarvo.Initialize(c.fullscreen, c.width, c.height)); };
    test_game::onRun = [&] { ran = true; };

    EXPECT_EQ(WinMain(nullptr, nullptr, "", 1), -1);

    EXPECT_EQ(Tarvo.status, c.status);
    EXPECT_FALSE(ran);
    EXPECT_EQ(machine.CallCount(c.notReached), 0);
    ASSERT_EQ(machine.messageBoxes.size(), 1u);
    EXPECT_EQ(machine.messageBoxes[0].text, "Unable to start Tarvo.\n\n" + c.first + "\n\n" + c.second);
    EXPECT_EQ(machine.messageBoxes[0].caption, "Tarvo");
    EXPECT_EQ(machine.messageBoxes[0].owner, nullptr);
    EXPECT_EQ(machine.messageBoxes[0].flags, platform::MB_OK);
    // Nothing created is released on this path.
    for (const std::string& call : machine.calls) EXPECT_EQ(call.find("Release"), std::string::npos) << call;
    const std::string log = ReadLog();
    EXPECT_EQ(log.rfind("WindowsDX: Initialization started.\n", 0), 0u) << log;
    const std::string tail = "  Tarvo " + c.first + "\n  ";
    ASSERT_GE(log.size(), tail.size());
    EXPECT_EQ(log.substr(log.size() - tail.size()), tail);
}

INSTANTIATE_TEST_SUITE_P(
    Engine, StartupFailure,
    testing::Values(
        FailureCase{"RegisterClass", 0, 756, 512, 16, {{Op::RegisterClass, 1}}, 1,
                    "Error: INITCLASS_FAILED (Cannot Initialize Window Class)", kTextW, Op::CreateWindow},
        FailureCase{"TemporaryWindow", 0, 756, 512, 16, {{Op::CreateWindow, 1}}, 3,
                    "Error: INITWINTEMP_FAILED (Cannot Initialize Temp Window)", kTextW, Op::UpdateWindow},
        FailureCase{"MainWindow", 0, 756, 512, 16, {{Op::CreateWindow, 2}}, 5,
                    "Error: INITWINREAL_FAILED (Cannot Initialize Main Window)", kTextW, Op::UpdateWindow},
        FailureCase{"UpdateWindow", 0, 756, 512, 16, {{Op::UpdateWindow, 1}}, 7,
                    "Error: SHOWWIN_FAILED (Unable to show Main Window)", kTextW, Op::DirectDrawCreate},
        FailureCase{"DirectDrawCreate", 0, 756, 512, 16, {{Op::DirectDrawCreate, 1}}, 9,
                    "Error: DDSTART_FAILED (Unable to start DirectX)", kTextD, Op::SetCooperativeLevel},
        FailureCase{"CooperativeLevel", 0, 756, 512, 16, {{Op::SetCooperativeLevel, 1}}, 11,
                    "Error: DDSETLEVEL_FAILED (Unable to set DirectX Cooperative Level)", kTextD, Op::CreateSurface},
        FailureCase{"DisplayMode", 1, 640, 480, 16, {{Op::SetDisplayMode, 1}}, 13,
                    "Error: SETMODE_FAILED (Unable to set screen mode)", kTextD, Op::CreateSurface},
        FailureCase{"PrimaryTwice", 0, 756, 512, 16, {{Op::CreateSurface, 1}, {Op::CreateSurface, 2}}, 15,
                    "Error: FRONTSURFACE_FAILED (Unable to create primary surface)", kTextD, Op::Lock},
        FailureCase{"FullscreenPrimaryTwice", 1, 640, 480, 16, {{Op::CreateSurface, 1}, {Op::CreateSurface, 2}}, 15,
                    "Error: FRONTSURFACE_FAILED (Unable to create primary surface)", kTextD, Op::GetAttachedSurface},
        FailureCase{"BackTwice", 0, 756, 512, 16, {{Op::CreateSurface, 2}, {Op::CreateSurface, 3}}, 17,
                    "Error: BACKSURFACE_FAILED (Unable to create secondary surface)", kTextD, Op::Lock},
        FailureCase{"AttachedBack", 1, 640, 480, 16, {{Op::GetAttachedSurface, 1}}, 17,
                    "Error: BACKSURFACE_FAILED (Unable to create secondary surface)", kTextD, Op::Lock},
        FailureCase{"TooLarge", 0, 1025, 512, 16, {}, 21, "Error: REQSIZE_FAILED (Requested size too large)", kTextR,
                    Op::CreateWindow},
        FailureCase{"DepthBeforeSize", 0, 5000, 5000, 32, {}, 22, "Error: BPP_FAILED (Screen depth not supported)",
                    kTextB, Op::CreateWindow},
        FailureCase{"DepthFullscreen", 1, 640, 480, 24, {}, 22, "Error: BPP_FAILED (Screen depth not supported)",
                    kTextB, Op::CreateWindow}),
    [](const testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

TEST_F(EngineTest, NoInitializeReportsNoInitUnderTheHeader) {
    EXPECT_EQ(WinMain(nullptr, nullptr, "", 1), -1);
    ASSERT_EQ(machine.messageBoxes.size(), 1u);
    EXPECT_EQ(machine.messageBoxes[0].text,
              "Unable to start Tarvo.\n\nError: NO_INIT (User did not initialize Tarvo)\n\nYou must start Tarvo by "
              "calling:\n  Tarvo.Initialize (fullscreen, xres, yres)\n\nfrom the initialize() function. See "
              "documentation for starting Tarvo.");
    EXPECT_EQ(ReadLog(), "* Debugging Output *\nTarvo Error: NO_INIT (User did not initialize Tarvo)\n  ");
}

TEST_F(EngineTest, SuccessfulStartLogsSurfacesAndEndsReady) {
    machine.backInVideoMemory = false;
    test_game::onInitialize = [] { EXPECT_TRUE(Tarvo.Initialize(false, 756, 512)); };
    test_game::onRun = [this] { machine.PostQuitMessage(0); };
    EXPECT_EQ(WinMain(nullptr, nullptr, "", 1), 0);
    EXPECT_EQ(ReadLog(),
              "WindowsDX: Initialization started.\n"
              "  WinDX:: Front Buffer is in video memory.\n"
              "  WinDX:: Back Buffer NOT IN VIDEO MEMORY.\n"
              "  WinDX:: Back Buffer NOT A FLIP (BACK) BUFFER.\n"
              "  WindowsDX: Initialization finished OK.\n"
              "  ");
    EXPECT_TRUE(machine.messageBoxes.empty());
}

TEST_F(EngineTest, OnlyOneMeansFullscreen) {
    StartWindowed(640, 480);
    EXPECT_EQ(machine.cooperativeLevel, platform::DDSCL_NORMAL);
    ResetEngine();
    ASSERT_TRUE(Tarvo.Initialize(2, 640, 480));
    EXPECT_EQ(Tarvo.fullscreen, 2);
    EXPECT_EQ(machine.cooperativeLevel, platform::DDSCL_NORMAL);
    EXPECT_EQ(machine.WindowInfo(Tarvo.windowHandle).style, platform::WS_SYSMENU);
    EXPECT_EQ(machine.CallCount(Op::SetDisplayMode), 0);
}

TEST_F(EngineTest, LoopDrainsEveryWaitingMessageBeforeEachFrame) {
    std::vector<int> keyCountsSeen;
    test_game::onInitialize = [this] {
        Tarvo.Initialize(false, 756, 512);
        machine.QueueKeyDown('A');
        machine.QueueChar('x');
        machine.QueueChar('y');
        machine.Schedule(1, {Tarvo.windowHandle, platform::WM_CHAR, 'z', 0});
    };
    test_game::onRun = [&] {
        keyCountsSeen.push_back(Tarvo.keyCount);
        EXPECT_EQ(Tarvo.IsKeyDown('A'), 1);
        if (keyCountsSeen.size() == 2) {
            // A quit ends the loop at once: the character behind it is never dispatched.
            machine.PostQuitMessage(0);
            machine.QueueChar('w');
        }
    };
    EXPECT_EQ(WinMain(nullptr, nullptr, "", 1), 0);
    EXPECT_EQ(keyCountsSeen, (std::vector<int>{2, 3}));
    EXPECT_EQ(Tarvo.keyCount, 3);
    // CleanUp releases back surface, primary, then the video object.
    std::vector<std::string> releases;
    for (const std::string& call : machine.calls)
        if (call.rfind("Release", 0) == 0) releases.push_back(call);
    EXPECT_EQ(releases, (std::vector<std::string>{"ReleaseSurface back", "ReleaseSurface primary", "ReleaseDirectDraw"}));
    EXPECT_EQ(Tarvo.backSurface, nullptr);
    EXPECT_EQ(Tarvo.primarySurface, nullptr);
    EXPECT_EQ(Tarvo.directDraw, nullptr);
}

TEST_F(EngineTest, EscapeAndClosingTheWindowBothExitWithZero) {
    for (int way = 0; way < 2; ++way) {
        SCOPED_TRACE(way == 0 ? "Escape" : "close");
        ResetEngine();
        int frames = 0;
        test_game::onInitialize = [] { Tarvo.Initialize(false, 756, 512); };
        test_game::onRun = [&] {
            if (++frames == 1) {
                if (way == 0)
                    machine.QueueChar(27);
                else
                    machine.QueueClose();
            }
            ASSERT_LT(frames, 5);
        };
        EXPECT_EQ(WinMain(nullptr, nullptr, "", 1), 0);
        EXPECT_EQ(frames, 1);
    }
    EXPECT_TRUE(machine.WindowInfo(machine.windows[3]).destroyed);
    // The temporary window is never shown or destroyed.
    EXPECT_FALSE(machine.WindowInfo(machine.windows[2]).shown);
    EXPECT_FALSE(machine.WindowInfo(machine.windows[2]).destroyed);
}

TEST_F(EngineTest, AGameFillingOnePixelTooFarStillEndsWithZero) {
    int frames = 0;
    test_game::onInitialize = [] { Tarvo.Initialize(false, 400, 300); };
    test_game::onRun = [&] {
        if (!Tarvo.BeginDraw()) return;
        // Inclusive corners: the screen's size itself is one past the edge.
        Tarvo.FillRect(0, 0, 400, 300, 255, 0, 0);
        Tarvo.DrawPixel(400, 300, 31, 31, 31);
        Tarvo.EndDraw();
        Tarvo.ViewUpdate();
        if (++frames == 3) machine.PostQuitMessage(0);
    };
    EXPECT_EQ(WinMain(nullptr, nullptr, "", 1), 0);
    ASSERT_EQ(machine.frames.size(), 3u);
}

TEST_F(EngineTest, TheNextRunStartsWithNoKeyHeldAndAudioClosed) {
    test_game::onInitialize = [this] {
        Tarvo.Initialize(false, 400, 300);
        audio.Open();
        machine.QueueKeyDown(platform::VK_RIGHT);
    };
    test_game::onRun = [this] {
        EXPECT_EQ(Tarvo.IsKeyDown(platform::VK_RIGHT), 1);
        machine.PostQuitMessage(0);
    };
    EXPECT_EQ(WinMain(nullptr, nullptr, "", 1), 0);
    EXPECT_FALSE(audio.IsOpen());

    // A second run in the same process, on a new platform, as a game's tests do.
    platform::ScriptedPlatform second;
    platform::SetCurrent(&second);
    bool ran = false;
    test_game::onInitialize = [] { Tarvo.Initialize(false, 400, 300); };
    test_game::onRun = [&] {
        ran = true;
        EXPECT_EQ(Tarvo.IsKeyDown(platform::VK_RIGHT), 0);
        second.PostQuitMessage(0);
    };
    EXPECT_EQ(WinMain(nullptr, nullptr, "", 1), 0);
    platform::SetCurrent(&machine);
    EXPECT_TRUE(ran);
    EXPECT_FALSE(audio.IsOpen());
}

TEST_F(EngineTest, CharactersTypedDuringStartUpAreDropped) {
    Tarvo.WindowProc(nullptr, platform::WM_CHAR, 'q', 0);
    ASSERT_EQ(Tarvo.keyCount, 1);
    StartWindowed();
    EXPECT_EQ(Tarvo.GetKey(), 0);
}

TEST_F(EngineTest, CleanUpReleasesOnlyWhatExists) {
    EXPECT_TRUE(Tarvo.CleanUp());
    EXPECT_TRUE(machine.calls.empty());
}

}  // namespace
