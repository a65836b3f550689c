#include "base/game_info.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/settings.h"
#include "tests/support/engine_fixture.h"

namespace {

// Each test declares what it needs; the stand-in game is declared again after.
class GameInfoTest : public EngineTest {
protected:
    void TearDown() override {
        ResetDeclaredGame();
        test_game::Declare();
        EngineTest::TearDown();
    }
};

TEST_F(GameInfoTest, AGameThatDeclaresNothingIsNamedAfterItsProgram) {
    ResetDeclaredGame();
    SetProgramPath("/usr/games/catch.exe");
    const TarvoGameInfo& game = DeclaredGame();
    EXPECT_STREQ(game.name, "catch");
    EXPECT_STREQ(game.title, "catch");
    EXPECT_STREQ(game.windowTitle, "catch");
    EXPECT_EQ(game.width, 0);
    EXPECT_STREQ(game.help, "");
    EXPECT_STREQ(game.version, "");
    ResetDeclaredGame();
    SetProgramPath(nullptr);
    EXPECT_STREQ(DeclaredGame().name, "game");

    // A declaration wins over the program's name; the window takes the title.
    TarvoGame declared({.name = "gems", .title = "Gems", .width = 480, .height = 360});
    EXPECT_STREQ(DeclaredGame().name, "gems");
    EXPECT_STREQ(DeclaredGame().windowTitle, "Gems");
    EXPECT_EQ(DeclaredGame().height, 360);
}

TEST_F(GameInfoTest, ANameMustNameAFolderOfItsOwn) {
    struct Case {
        const char* name;
        bool fine;
    };
    for (const Case c : {Case{"catch", true}, Case{"My-Game_2.0", true}, Case{"7seas", true}, Case{"../tarvo", false},
                         Case{".hidden", false}, Case{"a/b", false}, Case{"a b", false}, Case{"-x", false},
                         Case{"\xC3\xA9t\xC3\xA9", false}}) {
        TarvoGame declared({.name = c.name});
        EXPECT_EQ(GameNameProblem().empty(), c.fine) << c.name;
    }
    TarvoGame longName({.name = "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"});
    EXPECT_NE(GameNameProblem(), "");
}

TEST_F(GameInfoTest, TheGamesOptionsAsGiven) {
    EXPECT_EQ(GameOption("--level"), nullptr);
    SetGameOption("--level", "3");
    SetGameOption("--easy", nullptr);
    EXPECT_STREQ(GameOption("--level"), "3");
    EXPECT_STREQ(GameOption("--easy"), "");
    ResetDeclaredGame();
    EXPECT_EQ(GameOption("--level"), nullptr);
}

// What the engine takes from the declaration: the window's title, the boxes'
// captions, the settings file's folder, and a size Initialize overrides.
TEST_F(GameInfoTest, TheEngineSpeaksAsTheGame) {
    TarvoGame declared({.name = "catch", .title = "Catch", .width = 480, .height = 360});
    test_game::onInitialize = [] { Tarvo.Initialize(false, 500, 360); };
    test_game::onRun = [] { platform::Current().PostQuitMessage(0); };
    EXPECT_EQ(WinMain(nullptr, nullptr, "", 1), 0);
    EXPECT_EQ(machine.WindowInfo(machine.windows.back()).title, "Catch");
    EXPECT_NE(ReadLog().find("Game: declared 480 x 360, Initialize asks 500 x 360; the window takes 500 x 360.\n"),
              std::string::npos)
        << ReadLog();

    machine.Fail(platform::Op::RegisterClass);
    test_game::onInitialize = [] { Tarvo.Initialize(false, 480, 360); };
    ResetEngine();
    EXPECT_EQ(WinMain(nullptr, nullptr, "", 1), -1);
    ASSERT_EQ(machine.messageBoxes.size(), 1u);
    EXPECT_EQ(machine.messageBoxes[0].caption, "Catch");
    EXPECT_EQ(machine.messageBoxes[0].text.rfind("Unable to start Catch.\n\n", 0), 0u);
    EXPECT_EQ(ReadLog().find("Game: declared"), std::string::npos);

    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = config != nullptr ? config : "";
    setenv("XDG_CONFIG_HOME", "/cfg", 1);
    EXPECT_EQ(platform::DefaultSettingsPath(), "/cfg/catch/settings.ini");
    if (config != nullptr)
        setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
