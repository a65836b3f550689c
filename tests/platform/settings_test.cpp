// The settings file: read from good and damaged text, written and read back,
// and where it lives. Key names are checked against SDL's, which needs no
// display.
#include "platform/settings.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "platform/sdl/sdl_platform.h"

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
    expected.keys.Bind(GameKey::Fire, {"Return", "Right Ctrl"});
    expected.keys.Bind(GameKey::Thrust, {"I"});
    EXPECT_EQ(read, expected);
    EXPECT_EQ(read.keys.Keys(GameKey::Fire), (Lines{"Return", "Right Ctrl"})) << "names spelt as SDL spells them";
    EXPECT_EQ(read.keys.Keys(GameKey::TurnLeft), (Lines{"Left", "A"}));

    EXPECT_EQ(Parse("", problems), Defaults());
    EXPECT_EQ(problems, Lines{});
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
    const Settings read = Parse("[keys]\nfire = W, w\nturn_left = Up\nback = Up, S\n", problems);
    EXPECT_EQ(problems, (Lines{"Settings: s.ini line 2: W is already bound to fire; skipped",
                               "Settings: s.ini line 4: Up is already bound to turn_left; skipped"}));
    EXPECT_EQ(read.keys.Keys(GameKey::Fire), Lines{"W"});
    EXPECT_EQ(read.keys.Keys(GameKey::TurnLeft), Lines{"Up"});
    EXPECT_EQ(read.keys.Keys(GameKey::Back), Lines{"S"});
    EXPECT_EQ(read.keys.Keys(GameKey::Thrust), Lines{}) << "both its keys went elsewhere";
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
    changed.keys.Bind(GameKey::Pause, {"Pause", "Keypad 5"});
    // Thrust's keys both went to fire.
    changed.keys.Bind(GameKey::Fire, {"W", "Up"});
    changed.keys.Bind(GameKey::Thrust, {});
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

TEST(Settings, SavedAtomicallyIntoFoldersMadeForIt) {
    Settings settings;
    settings.scale = 4;
    std::string why;
    ASSERT_TRUE(SaveSettings("config/tarvo/settings.ini", settings, why)) << why;
    settings.mute = true;
    ASSERT_TRUE(SaveSettings("config/tarvo/settings.ini", settings, why)) << why;
    EXPECT_EQ(Read("config/tarvo/settings.ini"), FormatSettings(settings));
    EXPECT_FALSE(std::filesystem::exists("config/tarvo/settings.ini.new"));
    Lines problems;
    EXPECT_EQ(LoadSettings("config/tarvo/settings.ini", SdlKeyName, problems), settings);
    EXPECT_EQ(problems, Lines{});

    // A file where the folder should be.
    std::ofstream("blocker") << "x";
    EXPECT_FALSE(SaveSettings("blocker/tarvo/settings.ini", settings, why));
    EXPECT_EQ(why.rfind("cannot make the folder blocker/tarvo: ", 0), 0u) << why;
    // A folder where the file should be: the old one stays.
    std::filesystem::create_directories("taken/settings.ini");
    EXPECT_FALSE(SaveSettings("taken/settings.ini", settings, why));
    EXPECT_EQ(why, "cannot write taken/settings.ini: Is a directory");
    EXPECT_FALSE(std::filesystem::exists("taken/settings.ini.new"));
}

TEST(Settings, FilesThatCannotBeReadGiveTheDefaults) {
    std::filesystem::create_directories("folder.ini");
    std::ofstream("big.ini") << "[window]\nfullscreen = yes\n" << std::string(70000, '#');
    struct Case {
        const char* path;
        std::string problem;
    };
    const Case cases[] = {
        {"missing.ini", "Settings: missing.ini: no such file; defaults."},
        {"folder.ini", "Settings: folder.ini: cannot be read; defaults."},
        {"big.ini", "Settings: big.ini: larger than 64 KiB, not a settings file; defaults."},
    };
    for (const Case& c : cases) {
        Lines problems;
        EXPECT_EQ(LoadSettings(c.path, SdlKeyName, problems), Defaults()) << c.path;
        EXPECT_EQ(problems, Lines{c.problem});
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
    EXPECT_EQ(read.keys.Keys(GameKey::Fire), (Lines{"Space", "Return"}));
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
