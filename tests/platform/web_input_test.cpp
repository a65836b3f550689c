#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/web/web_input.h"

namespace {

using namespace platform;

TEST(WebInput, BrowserKeyCodesBecomeVirtualKeys) {
    struct Case {
        unsigned long keyCode;
        int vk;
    };
    const Case cases[] = {
        {37, VK_LEFT}, {38, VK_UP}, {39, VK_RIGHT}, {40, VK_DOWN}, {32, VK_SPACE}, {27, VK_ESCAPE},
        {13, VK_RETURN}, {8, VK_BACK}, {9, VK_TAB}, {16, VK_SHIFT}, {17, VK_CONTROL}, {18, VK_MENU},
        {'A', 'A'}, {'P', 'P'}, {'Z', 'Z'}, {'0', '0'}, {'9', '9'}, {112, VK_F1}, {123, VK_F1 + 11},
        {96, VK_NUMPAD0}, {111, VK_DIVIDE}, {186, VK_OEM_1}, {222, VK_OEM_7},
        // Firefox's own numbers for ';', '=' and '-'.
        {59, VK_OEM_1}, {61, VK_OEM_PLUS}, {173, VK_OEM_MINUS},
        // No code in the engine: Meta, the context-menu key, F13, numpad separator, nothing.
        {91, 0}, {93, 0}, {124, 0}, {0x6C, 0}, {0, 0}, {255, 0}, {256, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(VirtualKeyFromBrowser(c.keyCode), c.vk) << "keyCode " << c.keyCode;
}

TEST(WebInput, TypedCharactersAreSingleLatin1Characters) {
    struct Case {
        const char* key;
        bool ctrl, alt, meta;
        int expected;
    };
    const Case cases[] = {
        {"p", false, false, false, 'p'},
        {"P", false, false, false, 'P'},
        {" ", false, false, false, ' '},
        {"~", false, false, false, '~'},
        {"\xC3\xA9", false, false, false, 0xE9},  // é
        {"\xC2\xA0", false, false, false, 0xA0},  // no-break space
        {"\xC2\x85", false, false, false, 0},     // a C1 control
        {"\xE2\x82\xAC", false, false, false, 0},  // the euro sign lies past Latin-1
        {"ArrowUp", false, false, false, 0},
        {"Escape", false, false, false, 0},  // named keys type through ControlCharacterOfKey
        {"", false, false, false, 0},
        {"c", true, false, false, 0},
        {"c", false, true, false, 0},
        {"c", false, false, true, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TypedCharacter(c.key, c.ctrl, c.alt, c.meta), c.expected) << "key '" << c.key << "'";
    EXPECT_EQ(ControlCharacterOfKey(VK_ESCAPE), 27);
    EXPECT_EQ(ControlCharacterOfKey(VK_RETURN), 13);
    EXPECT_EQ(ControlCharacterOfKey(VK_BACK), 8);
    EXPECT_EQ(ControlCharacterOfKey(VK_TAB), 9);
    EXPECT_EQ(ControlCharacterOfKey(VK_SPACE), 0);
}

TEST(WebInput, BrowserShortcutsAndFunctionKeysStayTheBrowsers) {
    EXPECT_TRUE(KeyIsTheGames(VK_SPACE, false, false, false));  // would scroll the page
    EXPECT_TRUE(KeyIsTheGames(VK_DOWN, false, false, false));
    EXPECT_TRUE(KeyIsTheGames('P', false, false, false));
    EXPECT_FALSE(KeyIsTheGames('R', true, false, false));  // reload
    EXPECT_FALSE(KeyIsTheGames(VK_LEFT, false, true, false));  // back
    EXPECT_FALSE(KeyIsTheGames('W', false, false, true));
    EXPECT_FALSE(KeyIsTheGames(VK_F1 + 4, false, false, false));  // F5
    EXPECT_FALSE(KeyIsTheGames(VK_F1 + 11, false, false, false));  // F12
    EXPECT_FALSE(KeyIsTheGames(0, false, false, false));
}

TEST(WebInput, HeldKeysAreLetGoOnceInTheOrderPressed) {
    HeldKeys held;
    held.Down(VK_UP);
    held.Down(VK_SPACE);
    held.Down(VK_UP);  // a key's repeats are one held key
    held.Down(VK_LEFT);
    held.Up(VK_SPACE);
    EXPECT_TRUE(held.IsHeld(VK_UP));
    EXPECT_FALSE(held.IsHeld(VK_SPACE));
    EXPECT_EQ(held.ReleaseAll(), (std::vector<int>{VK_UP, VK_LEFT}));
    EXPECT_FALSE(held.IsHeld(VK_UP));
    EXPECT_TRUE(held.ReleaseAll().empty());
    held.Up(VK_DOWN);  // a key-up never seen down
    EXPECT_TRUE(held.ReleaseAll().empty());
}

TEST(WebInput, APageAlwaysHasRoomForTheGamesWindow) {
    struct Case {
        int width, height, reportedWidth, reportedHeight;
    };
    const Case cases[] = {
        {390, 844, 756, 844},      // a phone upright
        {844, 390, 844, 512},      // and on its side
        {640, 480, 756, 512},      // a small screen
        {756, 512, 756, 512},      // just room
        {1920, 1080, 1920, 1080},  // a desktop's screen as it is
        {0, 0, 756, 512},          // none reported
    };
    for (const Case& c : cases) {
        const ScreenSize s = ScreenForPage(c.width, c.height);
        EXPECT_EQ(s.width, c.reportedWidth) << c.width << " x " << c.height;
        EXPECT_EQ(s.height, c.reportedHeight) << c.width << " x " << c.height;
    }
}

TEST(WebInput, PictureTakesAWholeScaleOrFillsTheLimitingSide) {
    struct Case {
        double pageWidth, pageHeight, ratio;
        bool whole;
        int factor, deviceWidth, deviceHeight;
        double cssWidth, cssHeight;
    };
    const Case cases[] = {
        {1510, 1022, 1, true, 2, 1510, 1022, 1510, 1022},    // exactly twice
        {1600, 1100, 1, true, 2, 1510, 1022, 1510, 1022},    // 5.6 % of the width left over
        {1677, 2000, 1, true, 2, 1510, 1022, 1510, 1022},    // 9.96 %: still whole
        {1678, 2000, 1, false, 3, 1678, 1135, 1678, 1135},   // 10.01 %: filled
        {1509, 1022, 1, false, 2, 1509, 1021, 1509, 1021},   // a pixel short of twice
        {1280, 1000, 1, false, 2, 1280, 866, 1280, 866},     // 1x would leave 41 % empty
        {2560, 1200, 1, false, 3, 1772, 1200, 1772, 1200},   // the height decides
        {1920, 950, 1, false, 2, 1403, 950, 1403, 950},      // a browser on a 1920 x 1080 monitor
        {800, 600, 2, true, 2, 1510, 1022, 755, 511},        // a 2x display: sharp at the same CSS size
        {390, 800, 3, false, 2, 1170, 791, 390, 791.0 / 3},  // a phone upright
        {700, 390, 3, false, 3, 1728, 1170, 576, 390},       // and on its side, beside its controls
        {400, 300, 1, true, 1, 755, 511, 755, 511},          // too small: 1, and the page scrolls
        {0, 0, 0, true, 1, 755, 511, 755, 511},              // no layout yet, no ratio reported
    };
    for (const Case& c : cases) {
        const PageScale s = ChoosePageScale(c.pageWidth, c.pageHeight, c.ratio, 755, 511);
        SCOPED_TRACE(testing::Message() << c.pageWidth << " x " << c.pageHeight << " at " << c.ratio);
        EXPECT_EQ(s.whole, c.whole);
        EXPECT_EQ(s.factor, c.factor);
        EXPECT_EQ(s.deviceWidth, c.deviceWidth);
        EXPECT_EQ(s.deviceHeight, c.deviceHeight);
        EXPECT_DOUBLE_EQ(s.cssWidth, c.cssWidth);
        EXPECT_DOUBLE_EQ(s.cssHeight, c.cssHeight);
    }
}

TEST(WebInput, StandardGamepadButtonsAndSticks) {
    EXPECT_EQ(StandardPadButton(0), PadButton::A);
    EXPECT_EQ(StandardPadButton(1), PadButton::B);
    EXPECT_EQ(StandardPadButton(2), PadButton::X);
    EXPECT_EQ(StandardPadButton(3), PadButton::Y);
    EXPECT_EQ(StandardPadButton(8), PadButton::Back);
    EXPECT_EQ(StandardPadButton(9), PadButton::Start);
    EXPECT_EQ(StandardPadButton(12), PadButton::DpadUp);
    EXPECT_EQ(StandardPadButton(13), PadButton::DpadDown);
    EXPECT_EQ(StandardPadButton(14), PadButton::DpadLeft);
    EXPECT_EQ(StandardPadButton(15), PadButton::DpadRight);
    for (int other : {4, 7, 10, 16, -1}) EXPECT_EQ(StandardPadButton(other), PadButton::Other) << other;
    EXPECT_EQ(PadAxisValue(0), 0);
    EXPECT_EQ(PadAxisValue(1), 32767);
    EXPECT_EQ(PadAxisValue(-1), -32767);
    EXPECT_EQ(PadAxisValue(0.5), 16384);
    EXPECT_EQ(PadAxisValue(-2), -32767);
    EXPECT_EQ(PadAxisValue(__builtin_nan("")), 0);
}

TEST(WebInput, MousePositionsInLogicalPixels) {
    EXPECT_EQ(LogicalFromCss(0, 755, 1510), 0);
    EXPECT_EQ(LogicalFromCss(1.9, 755, 1510), 0);
    EXPECT_EQ(LogicalFromCss(2, 755, 1510), 1);
    EXPECT_EQ(LogicalFromCss(1509, 755, 1510), 754);
    EXPECT_EQ(LogicalFromCss(1510, 755, 1510), 754);  // the right edge itself
    EXPECT_EQ(LogicalFromCss(-3, 755, 1510), 0);
    EXPECT_EQ(LogicalFromCss(100, 755, 0), 0);
    EXPECT_EQ(LogicalFromCss(377.5, 755, 377.5), 754);  // shown at half size on a 2x display
}

TEST(WebInput, AnAddressPlaysAKeyScriptOnlyForAGivenNumberOfFrames) {
    struct Case {
        bool script;
        const char* frames;
        bool taken;
        bool scripted;
        int runFrames;
        const char* error;
    };
    const Case cases[] = {
        {false, nullptr, true, false, -1, ""},  // play from the keyboard
        {true, "6700", true, true, 6700, ""},
        {true, "1", true, true, 1, ""},
        {true, "1000000", true, true, 1000000, ""},
        {true, "0001000", true, true, 1000, ""},
        {true, nullptr, false, false, -1, "a key script needs frames=N, the number of frames to play (1 to 1000000)"},
        {true, "1000001", false, false, -1, "frames must be a whole number from 1 to 1000000 (got \"1000001\")"},
        {true, "0", false, false, -1, "frames must be a whole number from 1 to 1000000 (got \"0\")"},
        {true, "", false, false, -1, "frames must be a whole number from 1 to 1000000 (got \"\")"},
        {true, "-5", false, false, -1, "frames must be a whole number from 1 to 1000000 (got \"-5\")"},
        {true, "12x", false, false, -1, "frames must be a whole number from 1 to 1000000 (got \"12x\")"},
        {true, "99999999999999999999999", false, false, -1,
         "frames must be a whole number from 1 to 1000000 (got \"99999999999999999999...\")"},
        {false, "0", false, false, -1, "frames is taken only with a key script (script=...)"},
        {false, "100", false, false, -1, "frames is taken only with a key script (script=...)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "script " << c.script << ", frames " << (c.frames ? c.frames : "absent"));
        PageRun run{true, 7};
        std::string error;
        EXPECT_EQ(ReadPageAddress(c.script, c.frames, run, error), c.taken);
        EXPECT_EQ(run.scripted, c.scripted);
        EXPECT_EQ(run.frames, c.runFrames);
        EXPECT_EQ(error, c.error);
    }
}

TEST(WebInput, PacedScriptsAreAScriptsOnly) {
    struct Case {
        bool script;
        const char* paced;
        bool taken;
        bool runPaced;
        const char* error;
    };
    const Case cases[] = {
        {true, nullptr, true, false, ""},
        {true, "1", true, true, ""},
        {true, "0", false, false, "paced takes only 1"},
        {true, "", false, false, "paced takes only 1"},
        {false, "1", false, false, "paced is taken only with a key script (script=...)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "script " << c.script << ", paced " << (c.paced ? c.paced : "absent"));
        PageRun run;
        std::string error;
        EXPECT_EQ(ReadPageAddress(c.script, c.script ? "60" : nullptr, run, error, c.paced), c.taken);
        EXPECT_EQ(run.paced, c.runPaced);
        EXPECT_EQ(error, c.error);
    }
}

}  // namespace
