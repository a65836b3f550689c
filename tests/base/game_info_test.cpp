#include "base/game_info.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "engine/audio.h"
#include "engine/game_settings.h"
#include "platform/key_map.h"
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
        EXPECT_EQ(GameDeclarationProblem().empty(), c.fine) << c.name;
    }
    TarvoGame longName({.name = "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"});
    EXPECT_NE(GameDeclarationProblem(), "");
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

// With no actions declared every key is the game's own: W is 'W', M is 'M'
// and mutes nothing, and the settings file has no [keys].
TEST_F(GameInfoTest, WithoutActionsEveryKeyArrivesAsItself) {
    TarvoGame declared({.name = "catch", .title = "Catch"});
    const platform::KeyMap keys;
    for (const auto& [name, code] : {std::pair{"W", 'W'}, {"A", 'A'}, {"Space", platform::VK_SPACE}, {"M", 'M'}})
        EXPECT_EQ(keys.VirtualKeyFor(name, name, code), code) << name;
    EXPECT_FALSE(platform::KeyMap::Reserved("M"));
    EXPECT_TRUE(platform::KeyMap::Reserved("F11"));
    const std::string text = platform::FormatSettings(platform::Settings{});
    EXPECT_EQ(text.rfind("# Catch's settings. The game writes this file when a setting is changed while\n"
                         "# playing (F11 or Alt+Enter, resizing the window); it may be edited by hand.\n",
                         0),
              0u)
        << text;
    EXPECT_EQ(text.find("[keys]"), std::string::npos);

    StartWindowed(480, 360);
    Tarvo.WindowProc(Tarvo.windowHandle, platform::WM_KEYDOWN, 'M', 0);
    EXPECT_FALSE(audio.Muted());
    EXPECT_EQ(Tarvo.IsKeyDown('M'), 1);
}

// A game's own actions: its keys play them, the action's own key alone does
// not, and the player's file binds them by the declared names.
TEST_F(GameInfoTest, DeclaredActionsAreBoundByName) {
    static const TarvoAction actions[] = {{"jump", platform::VK_SPACE, "J, Up"}, {"duck", 'S', "Down"}};
    TarvoGame declared({.name = "hop", .actions = actions});
    const platform::KeyMap keys;
    EXPECT_EQ(keys.VirtualKeyFor("J", "J", 'J'), platform::VK_SPACE);
    EXPECT_EQ(keys.VirtualKeyFor("Up", "Up", platform::VK_UP), platform::VK_SPACE);
    EXPECT_EQ(keys.VirtualKeyFor("Space", "Space", platform::VK_SPACE), 0);
    EXPECT_EQ(keys.VirtualKeyFor("Down", "Down", platform::VK_DOWN), 'S');
    EXPECT_EQ(keys.VirtualKeyFor("A", "A", 'A'), 'A');

    std::vector<std::string> problems;
    const auto name = [](std::string_view n) { return std::string(n); };
    const platform::Settings read =
        platform::ParseSettings("[keys]\njump = K\nthrust = W\n", "hop.ini", name, problems);
    EXPECT_EQ(read.keys.Keys(0), (std::vector<std::string>{"K"}));
    EXPECT_EQ(read.keys.Keys(1), (std::vector<std::string>{"Down"}));
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0], "Settings: hop.ini line 3: unknown setting 'thrust' in [keys]; ignored");
    EXPECT_EQ(platform::FormatSettings(read).substr(platform::FormatSettings(read).find("[keys]")),
              "[keys]\n# SDL key names, comma-separated; Escape (quit), F11 cannot be bound\njump = K\nduck = Down\n");
}

TEST_F(GameInfoTest, ADeclarationThatCannotBePlayedIsRefused) {
    struct Case {
        TarvoAction actions[2];
        const char* problem;
    };
    for (const Case& c : {
             Case{{{"jump", 'J', "J"}, {"duck", 'D', ""}}, "the action duck has no key at all"},
             Case{{{"jump", 'J', "J"}, {"duck", 'D', " , "}}, "the action duck has no key at all"},
             Case{{{"jump", 'J', "J"}, {"duck", 'D', "\t,"}}, "the action duck has no key at all"},
             Case{{{"jump", 'J', "J"}, {"duck", 'D', nullptr}}, "the action duck has no key at all"},
             Case{{{"jump", 'J', "J"}, {"", 'D', "D"}}, "action 2 has no name"},
             Case{{{"jump", 'J', "J"}, {"jump", 'D', "D"}}, "two actions are called 'jump'"},
             Case{{{"jump", 0, "J"}, {"duck", 'D', "D"}}, "the action jump reads no virtual key (1 to 254)"},
             Case{{{"jump", 255, "J"}, {"duck", 'D', "D"}}, "the action jump reads no virtual key (1 to 254)"},
             Case{{{"jump", 'J', "J", TarvoPad::A}, {"duck", 'D', "D", TarvoPad::A}},
                  "the actions jump and duck are both on the controller's A button"},
             Case{{{"jump", 'J', "J", static_cast<TarvoPad>(6)}, {"duck", 'D', "D"}},
                  "the action jump names no controller button"},
             Case{{{"jump", 'J', "J", TarvoPad::Start}, {"duck", 'D', "D", TarvoPad::Y}}, ""},
             Case{{{"jump", 'J', "J"}, {"duck", 'D', "D"}}, ""},
         }) {
        TarvoGame declared({.name = "hop", .actions = c.actions});
        EXPECT_EQ(GameDeclarationProblem(), c.problem);
    }
}

// The game's own settings through the engine: kept by the backend, what
// the file could not read back refused before it gets there.
TEST_F(GameInfoTest, GameSettingsAreKeptAndOddOnesRefused) {
    EXPECT_EQ(GameSetting("best", "0"), "0");
    EXPECT_TRUE(SetGameSetting("best", "120"));
    EXPECT_EQ(GameSetting("best", "0"), "120");
    EXPECT_TRUE(SetGameSetting("motto", "caf\xC3\xA9 = fine, #1"));
    for (const auto& [name, value] : {std::pair<const char*, std::string>{"best", "1\n2"},
                                      {"best", " 1"},
                                      {"best", std::string(1001, '1')},
                                      {"", "1"},
                                      {"a b", "1"},
                                      {"[x]", "1"}}) {
        EXPECT_FALSE(SetGameSetting(name, value)) << name;
        EXPECT_EQ(GameSetting("best"), "120");
    }
    EXPECT_TRUE(SetGameSetting("best", std::string(1000, '9')));
    EXPECT_NE(ReadLog().find("Game setting 'a b': refused"), std::string::npos) << ReadLog();
}

}  // namespace
