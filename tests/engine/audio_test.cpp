// The engine's audio over the scripted machine: opening (and running on
// without a device), loading from the data folders, muting with its loops,
// and the M key.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/audio.h"
#include "file/data_path.h"
#include "tests/support/engine_fixture.h"

using namespace platform;

namespace {

// A file the scripted machine takes for a WAV file (it reads the header only).
void WriteWav(const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    out << "RIFF" << std::string(4, '\0') << "WAVE";
}

// The records as "action effect" words, for comparing whole sequences.
std::vector<std::string> Actions(const ScriptedPlatform& machine) {
    std::vector<std::string> out;
    for (const auto& s : machine.sounds) out.push_back(s.action + (s.effect.empty() ? "" : " " + s.effect));
    return out;
}

class AudioTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        std::filesystem::create_directory("Sounds");
        WriteWav("Sounds/shot.wav");
        WriteWav("Sounds/hum.wav");
    }
    void TearDown() override {
        SetDataFolders(saved);
        EngineTest::TearDown();
    }
    std::vector<std::string> saved = DataFolders();
};

TEST_F(AudioTest, WithoutADeviceOneLogLineAndSilenceAfter) {
    machine.audioAvailable = false;
    EXPECT_FALSE(audio.Open());
    EXPECT_EQ(audio.Load("Sounds\\shot.wav"), 0);
    audio.Play(1, 1, 0);
    audio.StartLoop(1, 1, 0);
    audio.SetMuted(true);
    audio.SetMuted(false);
    EXPECT_TRUE(machine.sounds.empty());
    EXPECT_TRUE(machine.loadedSounds.empty());
    EXPECT_TRUE(machine.messageBoxes.empty());
    EXPECT_EQ(ReadLog(), "* Debugging Output *\n"
                         "Audio: No sound output (no audio device); the game runs silent. (Warning only)\n  ");
}

TEST_F(AudioTest, EffectsAreFoundInTheDataFoldersAndAMissingOneIsLogged) {
    // Started from elsewhere: the effects lie in a data folder, not the working one.
    const std::string data = std::filesystem::current_path().string();
    std::filesystem::create_directory("elsewhere");
    std::filesystem::current_path("elsewhere");
    SetDataFolders({data});
    ASSERT_TRUE(audio.Open());
    EXPECT_EQ(audio.Load("Sounds\\shot.wav"), 1);
    EXPECT_EQ(audio.Load("Sounds\\missing.wav"), 0);
    ASSERT_EQ(machine.loadedSounds.size(), 1u);
    EXPECT_EQ(machine.loadedSounds[0], data + "/Sounds/shot.wav");
    std::filesystem::current_path(data);
    EXPECT_EQ(ReadLog(), "* Debugging Output *\nAudio: Cannot load Sounds\\missing.wav (Warning only)\n  ");
}

TEST_F(AudioTest, MutingSilencesAtOnceAndBringsBackOnlyTheLoopsStillWanted) {
    ASSERT_TRUE(audio.Open());
    const int shot = audio.Load("Sounds\\shot.wav");
    const int hum = audio.Load("Sounds\\hum.wav");
    audio.StartLoop(hum, 0.5f, -0.25f);
    audio.StartLoop(hum, 1, 0);  // already running: no second voice
    audio.Play(shot, 0.75f, 0.5f);
    audio.SetMuted(true);
    audio.SetMuted(true);  // no change, nothing to stop
    audio.Play(shot, 1, 0);
    EXPECT_TRUE(audio.Muted());
    audio.ToggleMute();
    EXPECT_FALSE(audio.Muted());
    audio.StopLoop(hum);
    audio.ToggleMute();
    audio.StartLoop(hum, 1, 0);  // asked for while muted: waits for the sound to return
    audio.StopLoop(hum);         // and is forgotten again
    audio.ToggleMute();
    EXPECT_EQ(Actions(machine), (std::vector<std::string>{"loop hum", "play shot", "stopall", "loop hum", "stop hum",
                                                          "stopall"}));
    // The loop comes back as it was asked for.
    EXPECT_EQ(machine.sounds[3].volume, 0.5f);
    EXPECT_EQ(machine.sounds[3].pan, -0.25f);
    EXPECT_EQ(machine.sounds[1].volume, 0.75f);
    EXPECT_EQ(machine.sounds[1].pan, 0.5f);
}

TEST_F(AudioTest, MKeyTogglesOnEachPressNotOnTheRepeatsOfAHeldKey) {
    StartWindowed();
    auto key = [](uint32_t message) { Tarvo.WindowProc(Tarvo.windowHandle, message, 'M', 0); };
    key(WM_KEYDOWN);
    EXPECT_TRUE(audio.Muted());
    for (int repeat = 0; repeat < 2; ++repeat) {  // held: the keyboard repeats it
        key(WM_KEYDOWN);
        EXPECT_TRUE(audio.Muted()) << repeat;
    }
    EXPECT_EQ(Tarvo.IsKeyDown('M'), 1);
    key(WM_KEYUP);
    EXPECT_TRUE(audio.Muted());
    key(WM_KEYDOWN);
    EXPECT_FALSE(audio.Muted());
    // Other keys leave it alone.
    Tarvo.WindowProc(Tarvo.windowHandle, WM_KEYDOWN, 'N', 0);
    EXPECT_FALSE(audio.Muted());
}

// Whoever remembers mute hears of each change once, and of nothing else.
TEST_F(AudioTest, EachMuteChangeIsReportedOnce) {
    StartWindowed();
    std::vector<bool> heard;
    audio.OnMuteChanged([&heard](bool muted) { heard.push_back(muted); });
    auto press = [](int key) {
        Tarvo.WindowProc(Tarvo.windowHandle, WM_KEYDOWN, static_cast<uintptr_t>(key), 0);
        Tarvo.WindowProc(Tarvo.windowHandle, WM_KEYUP, static_cast<uintptr_t>(key), 0);
    };
    press('M');
    press('N');
    audio.SetMuted(true);  // already muted: no change
    press('M');
    audio.OnMuteChanged(nullptr);
    press('M');
    EXPECT_EQ(heard, (std::vector<bool>{true, false}));
}

}  // namespace
