// The game started where none of its pictures can be found: one box for each
// missing file, however often the game loads it, and one log line naming the
// folders that were searched.
#include <gmock/gmock.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "tests/game/game_fixture.h"

namespace {

const char kBoxEnd[] =
    "\n\nMake sure paths and names of TIF images are correct. If you started the game outside of Visual C++, make "
    "sure the executable is in the correct location to find images.";

std::string ReadText(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class MissingPicturesTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        // The working folder is the test's own, empty one.
        SetDataFolders({"/nowhere/games", "/nowhere/share/tarvo"});
    }
    // Boxes shown so far, by text; every one must be a "Tarvo Error" box.
    std::map<std::string, int> BoxesByText() {
        std::map<std::string, int> count;
        for (const auto& box : machine.messageBoxes) {
            EXPECT_EQ(box.caption, "Tarvo Error");
            ++count[box.text];
        }
        return count;
    }
};

TEST_F(MissingPicturesTest, EachMissingFileGetsOneBoxARun) {
    initialize();
    ASSERT_EQ(Tarvo.status, INIT_OK);
    // 33 files: 7 of the frame, wall, pick-up, photon, 11 of the player's
    // ship, 3 enemy ships with 3 spawn pictures each. The explosion pictures
    // are loaded for all four ships, the photon for four pools.
    std::map<std::string, int> boxes = BoxesByText();
    EXPECT_EQ(machine.messageBoxes.size(), 33u);
    EXPECT_EQ(boxes.size(), 33u);
    EXPECT_EQ(boxes[".TIF File Not Found: Images\\player_ship_dest1.tif" + std::string(kBoxEnd)], 1);
    EXPECT_EQ(boxes[".TIF File Not Found: Images\\photon.tif" + std::string(kBoxEnd)], 1);
    EXPECT_EQ(boxes[".TIF File Not Found: Images\\ship-green.tif" + std::string(kBoxEnd)], 1);

    // One line names where the pictures were looked for.
    const std::string searched =
        "Load:Tiff: (Warning only) Pictures not found were looked for in: " + std::filesystem::current_path().string() +
        " /nowhere/games /nowhere/share/tarvo\n";
    std::string log = ReadText("debug.txt");
    EXPECT_THAT(log, testing::HasSubstr(searched));
    EXPECT_EQ(log.find("looked for in"), log.rfind("looked for in"));

    // Starting again is a new run: the user is told again.
    Tarvo.CleanUp();
    ResetEngine();
    ResetGameState();
    machine.messageBoxes.clear();
    initialize();
    EXPECT_EQ(machine.messageBoxes.size(), 33u);
    log = ReadText("debug.txt");
    EXPECT_THAT(log, testing::HasSubstr(searched));
}

}  // namespace
