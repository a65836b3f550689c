// The settings file: read from good and damaged text, written and read back,
// and where it lives. Key names are checked against SDL's, which needs no
// display.
#include "platform/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

#include "platform/sdl/sdl_platform.h"
#include "tests/support/test_game.h"

namespace platform {
namespace {

using Lines = std::vector<std::string>;

Settings Parse(const std::string& text, Lines& problems) { return ParseSettings(text, "s.ini", SdlKeyName, problems); }

Settings Defaults() { return Settings{}; }

TEST(Settings, GoodFilesAreReadWhole) {
    Lines problems;
    const Settings read = Parse(
        "# mine\n"
        "\n"
        "[window]\r\n"
        "  fullscreen=YES\n"
        "scale = 3\n"
        "; another comment\n"
        "[sound]\n"
        "mute = on\n"
        "[ keys ]\n"
        "fire = return,  Right Ctrl\n"
        "thrust = I",
        problems);
    EXPECT_EQ(problems, Lines{});
    Settings expected;
    expected.fullscreen = true;
    expected.scale = 3;
    expected.mute = true;
    expected.keys.Bind(ShooterKey::Fire, {"Return", "Right Ctrl"});
    expected.keys.Bind(ShooterKey::Thrust, {"I"});
    EXPECT_EQ(read, expected);
    EXPECT_EQ(read.keys.Keys(ShooterKey::Fire), (Lines{"Return", "Right Ctrl"})) << "names spelt as SDL spells them";
    EXPECT_EQ(read.keys.Keys(ShooterKey::TurnLeft), (Lines{"Left", "A"}));

    EXPECT_EQ(Parse("", problems), Defaults());
    EXPECT_EQ(problems, Lines{});
}

// The game's own items read back as written; one the file cannot hold is named.
TEST(Settings, TheGamesOwnItemsRoundTrip) {
    Lines problems;
    const Settings read =
        Parse("[game]\nbest =  120 \nmotto = a = b, #1\nbad name = 1\n[sound]\nmute = yes\n", problems);
    EXPECT_EQ(problems, (Lines{"Settings: s.ini line 4: the game's setting 'bad name' cannot be read; ignored"}));
    EXPECT_EQ(read.game, (std::map<std::string, std::string>{{"best", "120"}, {"motto", "a = b, #1"}}));
    const std::string written = FormatSettings(read);
    EXPECT_NE(written.find("\n[game]\nbest = 120\nmotto = a = b, #1\n"), std::string::npos) << written;
    EXPECT_EQ(Parse(written, problems), read);
    Settings changed = read;
    changed.game["best"] = "130";
    changed.game.erase("motto");
    EXPECT_EQ(UpdateSettingsText("[game]\nmotto = x\nbest = 1\n# end\n", changed, 0, {"best", "motto", "level"}),
              "[game]\nbest = 130\n# end\n");
}

TEST(Settings, EachDamagedLineKeepsItsDefaultAndIsNamed) {
    struct Case {
        std::string text;
        Lines problems;
    };
    const Case cases[] = {
        {"fullscreen = yes\n", {"Settings: s.ini line 1: a setting before any [section]; ignored"}},
        {"[window]\nfullscreen yes\n", {"Settings: s.ini line 2: not a 'name = value' line; ignored"}},
        {"[window]\nfullscreen = maybe\n", {"Settings: s.ini line 2: fullscreen takes yes or no; no is kept"}},
        {"[window]\nscale = 9\nscale = 2\n",
         {"Settings: s.ini line 2: scale takes a whole number from 1 to 8; the desktop's is kept",
          "Settings: s.ini line 3: scale is given again (first on line 2); this one is ignored"}},
        {"[sound]\nmute = \n", {"Settings: s.ini line 2: mute takes yes or no; no is kept"}},
        {"[video]\nfullscreen = yes\n[window\n",
         {"Settings: s.ini line 1: unknown section '[video]'; its lines are ignored",
          "Settings: s.ini line 3: unknown section '[window'; its lines are ignored"}},
        {"[window]\ncolour = red\n", {"Settings: s.ini line 2: unknown setting 'colour' in [window]; ignored"}},
        {"[keys]\nthrust = Bogus\n",
         {"Settings: s.ini line 2: no key is called 'Bogus'; skipped",
          "Settings: s.ini line 2: thrust has no key that can be used; its default is kept"}},
        {"[keys]\nthrust = Escape,\n",
         {"Settings: s.ini line 2: Escape keeps its own job (Escape quits, F11 full screen, M mute); skipped",
          "Settings: s.ini line 2: an empty key name; skipped",
          "Settings: s.ini line 2: thrust has no key that can be used; its default is kept"}},
        {"[keys]\nfly = Up\n", {"Settings: s.ini line 2: unknown setting 'fly' in [keys]; ignored"}},
    };
    for (const Case& c : cases) {
        Lines problems;
        EXPECT_EQ(Parse(c.text, problems), Defaults()) << c.text;
        EXPECT_EQ(problems, c.problems) << c.text;
    }
}

TEST(Settings, AKeyPlaysOneGameKeyOnly) {
    Lines problems;
    // W leaves thrust's defaults for fire; Up, bound twice, stays where the
    // file put it first.
    const Settings read = Parse("[keys]\nfire = W, w\nturn_left = Up\nback = Up, S\nthrust = I\n", problems);
    EXPECT_EQ(problems, (Lines{"Settings: s.ini line 2: W is already bound to fire; skipped",
                               "Settings: s.ini line 4: Up is already bound to turn_left; skipped"}));
    EXPECT_EQ(read.keys.Keys(ShooterKey::Fire), Lines{"W"});
    EXPECT_EQ(read.keys.Keys(ShooterKey::TurnLeft), Lines{"Up"});
    EXPECT_EQ(read.keys.Keys(ShooterKey::Back), Lines{"S"});
    EXPECT_EQ(read.keys.Keys(ShooterKey::Thrust), Lines{"I"});
}

// Judged on the whole file: a later line may give the game key another key.
TEST(Settings, ALineThatLeavesAGameKeyWithNoKeyIsSkipped) {
    struct Case {
        std::string text;
        std::vector<std::pair<GameKey, Lines>> keys;  // beside them, the defaults
        Lines problems;
    };
    const Case cases[] = {
        {"[keys]\nthrust = Space\n",
         {},
         {"Settings: s.ini line 2: thrust would leave fire with no key; skipped, its default is kept"}},
        {"[keys]\nthrust = Space\nfire = Return\n",
         {{ShooterKey::Thrust, {"Space"}}, {ShooterKey::Fire, {"Return"}}},
         {}},
        // The later of the two lines that took thrust's keys goes.
        {"[keys]\nfire = W\nturn_left = Up\n",
         {{ShooterKey::Fire, {"W"}}, {ShooterKey::Thrust, {"Up"}}},
         {"Settings: s.ini line 3: turn_left would leave thrust with no key; skipped, its default is kept"}},
        // Pause, back on its default, would find P taken in turn.
        {"[keys]\npause = Space\nthrust = P\n",
         {},
         {"Settings: s.ini line 2: pause would leave fire with no key; skipped, its default is kept",
          "Settings: s.ini line 3: thrust would leave pause with no key; skipped, its default is kept"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Lines problems;
        Settings expected;
        for (const auto& [key, names] : c.keys) expected.keys.Bind(key, names);
        EXPECT_EQ(Parse(c.text, problems), expected);
        EXPECT_EQ(problems, c.problems);
    }
}

TEST(Settings, AByteOrderMarkAtTheStartIsSkipped) {
    Lines problems;
    Settings expected;
    expected.fullscreen = true;
    EXPECT_EQ(Parse("\xEF\xBB\xBF[window]\r\nfullscreen = yes\r\n", problems), expected);
    EXPECT_EQ(problems, Lines{});
}

TEST(Settings, NoiseGivesTheDefaultsAndAFewLinesOnly) {
    Lines problems;
    EXPECT_EQ(Parse("[window]\n" + std::string("x\n", 2) + "x\nx\nx\nx\nx\nx\nx\n", problems), Defaults());
    ASSERT_EQ(problems.size(), 6u);
    EXPECT_EQ(problems[4], "Settings: s.ini line 6: not a 'name = value' line; ignored");
    EXPECT_EQ(problems[5], "Settings: s.ini: 3 more lines could not be read; defaults for them.");

    std::mt19937 random(17);
    std::string noise(4096, '\0');
    for (char& c : noise) c = static_cast<char>(random());
    problems.clear();
    EXPECT_EQ(Parse(noise, problems), Defaults());
    EXPECT_LE(problems.size(), 6u);
    for (const std::string& line : problems) EXPECT_EQ(line.rfind("Settings: s.ini", 0), 0u) << line;
}

TEST(Settings, WrittenTextReadsBackTheSame) {
    Settings changed;
    changed.fullscreen = true;
    changed.scale = 2;
    changed.mute = true;
    changed.keys.Bind(ShooterKey::Pause, {"Pause", "Keypad 5"});
    // Thrust's W went to fire.
    changed.keys.Bind(ShooterKey::Fire, {"W", "Return"});
    changed.keys.Bind(ShooterKey::Thrust, {"Up"});
    for (const Settings& settings : {Defaults(), changed}) {
        Lines problems;
        EXPECT_EQ(Parse(FormatSettings(settings), problems), settings) << FormatSettings(settings);
        EXPECT_EQ(problems, Lines{});
    }
}

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

Lines Names(const std::string& folder) {
    Lines names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(Settings, SavedAtomicallyIntoFoldersMadeForIt) {
    Settings settings;
    settings.scale = 4;
    std::string why;
    ASSERT_TRUE(SaveSettings("config/tarvo/settings.ini", settings, kSettingScale, why)) << why;
    EXPECT_EQ(Read("config/tarvo/settings.ini"), FormatSettings(settings)) << "a new file is written whole";
    settings.mute = true;
    ASSERT_TRUE(SaveSettings("config/tarvo/settings.ini", settings, kSettingScale | kSettingMute, why)) << why;
    EXPECT_EQ(Read("config/tarvo/settings.ini"), FormatSettings(settings));
    EXPECT_EQ(Names("config/tarvo"), Lines{"settings.ini"});
    Lines problems;
    bool mayWrite = false;
    EXPECT_EQ(LoadSettings("config/tarvo/settings.ini", SdlKeyName, problems, mayWrite), settings);
    EXPECT_EQ(problems, Lines{});
    EXPECT_TRUE(mayWrite);

    // A file where the folder should be.
    std::ofstream("blocker") << "x";
    EXPECT_FALSE(SaveSettings("blocker/tarvo/settings.ini", settings, kSettingMute, why));
    EXPECT_EQ(why.rfind("cannot make the folder blocker/tarvo: ", 0), 0u) << why;
}

// The player's file, through a link into a dotfiles folder, with a mode of
// its own: a save changes the one line and nothing else.
TEST(Settings, ASaveKeepsThePlayersFileItsLinkAndItsMode) {
    const std::string players =
        "# my settings\n"
        "[window]\n"
        "fullscreen = no\n"
        "\n"
        "[video]\n"
        "gamma = 2\n"
        "[keys]\n"
        "fire = Spcae, Return\n";
    std::filesystem::create_directories("dotfiles/tarvo");
    std::filesystem::create_directories("config/tarvo");
    std::ofstream("dotfiles/tarvo/settings.ini") << players;
    ASSERT_EQ(chmod("dotfiles/tarvo/settings.ini", 0640), 0);
    std::filesystem::create_symlink("../../dotfiles/tarvo/settings.ini", "config/tarvo/settings.ini");
    // Where the game once wrote its temporary file, a link to another file.
    std::ofstream("other") << "not the settings";
    std::filesystem::create_symlink("../../other", "config/tarvo/settings.ini.new");

    Lines problems;
    bool mayWrite = false;
    Settings settings = LoadSettings("config/tarvo/settings.ini", SdlKeyName, problems, mayWrite);
    ASSERT_TRUE(mayWrite);
    EXPECT_EQ(settings.keys.Keys(ShooterKey::Fire), Lines{"Return"});
    settings.fullscreen = true;
    std::string why;
    ASSERT_TRUE(SaveSettings("config/tarvo/settings.ini", settings, kSettingFullscreen, why)) << why;

    std::string expected = players;
    expected.replace(expected.find("fullscreen = no"), 15, "fullscreen = yes");
    EXPECT_EQ(Read("dotfiles/tarvo/settings.ini"), expected);
    EXPECT_TRUE(std::filesystem::is_symlink("config/tarvo/settings.ini"));
    struct stat info {};
    ASSERT_EQ(stat("dotfiles/tarvo/settings.ini", &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(Read("other"), "not the settings");
    EXPECT_EQ(Names("dotfiles/tarvo"), Lines{"settings.ini"});
}

TEST(Settings, AFileThatCannotBeReadWholeOrIsReadOnlyIsLeftAlone) {
    std::ofstream("big.ini") << "[keys]\nfire = Return\n" << std::string(70000, '#');
    std::ofstream("locked.ini") << "[keys]\nfire = Return\n";
    ASSERT_EQ(chmod("locked.ini", 0444), 0);
    std::filesystem::create_directories("folder.ini");
    struct Case {
        const char* path;
        std::string why;
    };
    const Case cases[] = {
        {"big.ini", "big.ini: larger than 64 KiB, not a settings file; it is left as it is"},
        {"locked.ini", "locked.ini is read-only; it is left as it is"},
        {"folder.ini", "folder.ini: cannot be read (Is a directory); it is left as it is"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const std::string before = Read(c.path);
        Settings settings;
        settings.fullscreen = true;
        std::string why;
        EXPECT_FALSE(SaveSettings(c.path, settings, kSettingFullscreen, why));
        EXPECT_EQ(why, c.why);
        EXPECT_EQ(Read(c.path), before);
    }
    EXPECT_EQ(Names("."), (Lines{"big.ini", "folder.ini", "locked.ini"}));
}

TEST(Settings, ASaveRewritesOnlyTheChangedItems) {
    struct Case {
        const char* name;
        std::string text;
        SettingItems changed;
        std::string expected;
        int scale = 3;
    };
    Settings settings;
    settings.fullscreen = true;
    settings.scale = 3;
    settings.mute = true;
    settings.keys.Bind(ShooterKey::Fire, {"Return", "Space"});
    const Case cases[] = {
        {"in place, the rest as it stood",
         "# mine\n[window]\n  fullscreen=no\n[video]\nscale = 1\n[keys]\nfire = Spcae, Return\nfire = X\n",
         kSettingFullscreen | SettingItemOf(ShooterKey::Fire),
         "# mine\n[window]\n  fullscreen=yes\n[video]\nscale = 1\n[keys]\nfire = Return, Space\nfire = X\n"},
        {"at the end of its section, before the next one's comment",
         "[window]\nfullscreen = no\n# the window's scale\n# scale = 2\n\n# sound\n[sound]\nmute = no\n", kSettingScale,
         "[window]\nfullscreen = no\n# the window's scale\n# scale = 2\nscale = 3\n\n# sound\n[sound]\nmute = no\n"},
        {"a section added", "[window]\nfullscreen = no", kSettingMute,
         "[window]\nfullscreen = no\n\n[sound]\nmute = yes\n"},
        {"never into a section the reader ignores", "[window\nscale = 2\n", kSettingScale,
         "[window\nscale = 2\n\n[window]\nscale = 3\n"},
        {"a byte-order mark and CR LF kept", "\xEF\xBB\xBF[sound]\r\nmute=no\r\n", kSettingMute | kSettingFullscreen,
         "\xEF\xBB\xBF[sound]\r\nmute=yes\r\n\r\n[window]\r\nfullscreen = yes\r\n"},
        {"the desktop's scale leaves no line", "[window]\nscale = 2\nfullscreen = yes\n", kSettingScale,
         "[window]\nfullscreen = yes\n", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Settings wanted = settings;
        wanted.scale = c.scale;
        EXPECT_EQ(UpdateSettingsText(c.text, wanted, c.changed), c.expected);
    }
}

// A file that exists but was not read whole must not be written this run.
TEST(Settings, FilesThatCannotBeReadGiveTheDefaults) {
    std::filesystem::create_directories("folder.ini");
    std::ofstream("big.ini") << "[window]\nfullscreen = yes\n" << std::string(70000, '#');
    struct Case {
        const char* path;
        std::string problem;
        bool mayWrite;
    };
    const Case cases[] = {
        {"missing.ini", "Settings: missing.ini: no such file; defaults.", true},
        {"folder.ini",
         "Settings: folder.ini: cannot be read (Is a directory); defaults, and the file is not written this run.",
         false},
        {"big.ini",
         "Settings: big.ini: larger than 64 KiB, not a settings file; defaults, and the file is not written this run.",
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        Lines problems;
        bool mayWrite = !c.mayWrite;
        EXPECT_EQ(LoadSettings(c.path, SdlKeyName, problems, mayWrite), Defaults());
        EXPECT_EQ(problems, Lines{c.problem});
        EXPECT_EQ(mayWrite, c.mayWrite);
    }
}

TEST(Settings, TheReadmesExampleReadsWithoutAProblem) {
    // The indented block under "## Settings".
    const std::string readme = Read(std::string(TARVO_SOURCE_DIR) + "/README.md");
    const size_t section = readme.find("\n## Settings\n");
    ASSERT_NE(section, std::string::npos);
    std::istringstream lines(readme.substr(section, readme.find("\n## ", section + 1) - section));
    std::string line, example;
    bool inBlock = false;
    while (std::getline(lines, line)) {
        if (line.rfind("    ", 0) == 0) {
            inBlock = true;
            example += line.substr(4) + "\n";
        } else if (inBlock && !line.empty()) {
            break;
        } else if (inBlock) {
            example += "\n";
        }
    }
    Lines problems;
    const Settings read = ParseSettings(example, "README", SdlKeyName, problems);
    EXPECT_EQ(problems, Lines{}) << example;
    EXPECT_EQ(read.scale, 2);
    EXPECT_EQ(read.keys.Keys(ShooterKey::Fire), (Lines{"Space", "Return"}));
}

class SettingsPath : public testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"XDG_CONFIG_HOME", "HOME"})
            if (const char* value = std::getenv(name)) saved.emplace_back(name, value);
    }
    void TearDown() override {
        unsetenv("XDG_CONFIG_HOME");
        unsetenv("HOME");
        for (const auto& [name, value] : saved) setenv(name.c_str(), value.c_str(), 1);
    }
    std::vector<std::pair<std::string, std::string>> saved;
};

TEST_F(SettingsPath, XdgConfigHomeThenHome) {
    setenv("HOME", "/home/pilot", 1);
    setenv("XDG_CONFIG_HOME", "/cfg", 1);
    EXPECT_EQ(DefaultSettingsPath(), "/cfg/tarvo/settings.ini");
    setenv("XDG_CONFIG_HOME", "relative", 1);  // only an absolute path counts
    EXPECT_EQ(DefaultSettingsPath(), "/home/pilot/.config/tarvo/settings.ini");
    setenv("XDG_CONFIG_HOME", "", 1);
    EXPECT_EQ(DefaultSettingsPath(), "/home/pilot/.config/tarvo/settings.ini");
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(DefaultSettingsPath(), "/home/pilot/.config/tarvo/settings.ini");
    unsetenv("HOME");
    EXPECT_EQ(DefaultSettingsPath(), "");
}

}  // namespace
}  // namespace platform
