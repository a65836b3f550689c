// Golden replays: a short key script whose states were worked out by hand
// from the rules, and a picture of one of its frames kept as 16-bit words.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/replay/state_report.h"
#include "tests/game/game_fixture.h"
#include "tools/replay/replay_runner.h"

namespace {

const std::string kGoldenDir = std::string(TARVO_SOURCE_DIR) + "/tests/game/golden/";

// A crop of a frame: 16-bit screen words, written as a binary PGM with
// maxval 65535 (two bytes a sample, most significant first).
struct Crop {
    int width = 0, height = 0;
    std::vector<uint16_t> words;
};

bool ReadPgm16(const std::string& path, Crop& crop) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxval = 0;
    in >> magic >> crop.width >> crop.height >> maxval;
    in.get();
    if (!in || magic != "P5" || maxval != 65535 || crop.width <= 0 || crop.height <= 0) return false;
    crop.words.resize(static_cast<size_t>(crop.width) * crop.height);
    for (uint16_t& word : crop.words) {
        const int high = in.get(), low = in.get();
        word = static_cast<uint16_t>(high << 8 | low);
    }
    return static_cast<bool>(in);
}

void WritePgm16(const std::string& path, const Crop& crop) {
    std::ofstream out(path, std::ios::binary);
    out << "P5\n" << crop.width << " " << crop.height << "\n65535\n";
    for (uint16_t word : crop.words) out.put(static_cast<char>(word >> 8)).put(static_cast<char>(word & 0xFF));
}

class GoldenReplayTest : public GameTest {
protected:
    std::vector<KeyEvent> FightScript() {
        std::ifstream in(kGoldenDir + "fight.keys");
        std::vector<KeyEvent> events;
        std::string error;
        EXPECT_TRUE(ParseKeyScript(in, events, error)) << error;
        return events;
    }
    Crop CropFrame(int x0, int y0, int width, int height) {
        const auto* surface = machine.AsSurface(Tarvo.backSurface);
        Crop crop{width, height, {}};
        for (int y = y0; y < y0 + height; ++y)
            for (int x = x0; x < x0 + width; ++x)
                crop.words.push_back(surface->pixels[static_cast<size_t>(y) * (surface->pitchBytes / 2) + x]);
        return crop;
    }
};

TEST_F(GoldenReplayTest, StatesMatchTheRulesWorkedByHand) {
    std::vector<std::string> lines;
    RunReplay(machine, FightScript(), 13, [&](int f) { lines.push_back(GameStateJson(f)); });
    ASSERT_EQ(lines.size(), 13u);
    // Frame 0: Space leaves the intro; nothing else moves.
    EXPECT_EQ(lines[0].substr(0, 85),
              R"({"frame":0,"paused":false,"showIntro":false,"allEnemiesDead":false,"endCounter":0,"vi)");
    // Frame 1, the first update: Left turns by 3, Down thrusts backward at 4
    // from angle 90 (4 cos(90 * 3.141592 / 180) = 1.307e-6), Space counts 1;
    // every enemy starts a leg: rand() 41, 18467, 6334 give 200 + 0, 160 + 28
    // and 120 + 9 frames, and blue sets off up at 2; the pick-up leaves (0, 0).
    EXPECT_EQ(lines[1],
              R"({"frame":1,"paused":false,"showIntro":false,"allEnemiesDead":false,"endCounter":0,)"
              R"("viewX":-442,"viewY":-358,"player":{"x":840,"y":634,"vx":-1.30717956e-06,"vy":4,"angle":93,)"
              R"("turnRate":3,"health":100,"state":0,"frame":0,"visible":true,"fireCounter":1,"waitCounter":0},)"
              R"("enemies":[{"colour":1,"x":150,"y":198,"vx":6.5358978e-07,"vy":-2,"angle":90,"health":80,"step":0,)"
              R"("legLength":200,"fireCounter":0,"hit":false,"dying":false,"visible":true,"frame":0},)"
              R"({"colour":2,"x":1530,"y":200,"vx":0,"vy":0,"angle":90,"health":100,"step":0,"legLength":188,)"
              R"("fireCounter":0,"hit":false,"dying":false,"visible":true,"frame":0},)"
              R"({"colour":3,"x":840,"y":1110,"vx":0,"vy":0,"angle":90,"health":120,"step":0,"legLength":129,)"
              R"("fireCounter":0,"hit":false,"dying":false,"visible":true,"frame":0}],)"
              R"("photons":{"player":[],"blue":[],"green":[],"yellow":[]},)"
              R"("pickup":{"x":-1500,"y":-1500,"active":false,"counter":1}})");
    // Frame 12: the first shot, from the position before this frame's move,
    // at 20 along angle 123 plus the ship's velocity, moved once already.
    // Worked with float rounding at every store: twelve backward thrusts from
    // angles 90, 93, ..., 123.
    const std::string& f12 = lines[12];
    EXPECT_NE(f12.find(R"("viewX":-455.411102,"viewY":-399.275177,)"), std::string::npos) << f12;
    EXPECT_NE(f12.find(R"("player":{"x":853.411133,"y":675.275146,"vx":2.17855453,"vy":3.35468316,"angle":126,)"
                       R"("turnRate":3,"health":100,"state":0,"frame":0,"visible":true,"fireCounter":0,)"),
              std::string::npos)
        << f12;
    EXPECT_NE(f12.find(R"("photons":{"player":[[842.518372,658.501709,-8.71421909,-13.4187326,1]],)"),
              std::string::npos)
        << f12;
    // Yellow has the player above and to its right: no shot before frame 43.
    EXPECT_NE(f12.find(R"("yellow":[]})"), std::string::npos) << f12;
}

TEST_F(GoldenReplayTest, FrameHundredMatchesItsPicture) {
    // Frame 100: the ship turned to 147 degrees, its photons, the inner wall,
    // yellow entering at the bottom left.
    constexpr int kX = 60, kY = 180, kWidth = 390, kHeight = 331;
    Crop actual;
    RunReplay(machine, FightScript(), 101, [&](int f) {
        if (f == 100) actual = CropFrame(kX, kY, kWidth, kHeight);
    });
    const std::string goldenPath = kGoldenDir + "fight_frame100.pgm";
    if (std::getenv("TARVO_UPDATE_GOLDEN") != nullptr) WritePgm16(goldenPath, actual);
    Crop expected;
    ASSERT_TRUE(ReadPgm16(goldenPath, expected)) << goldenPath;
    ASSERT_EQ(expected.width, kWidth);
    ASSERT_EQ(expected.height, kHeight);
    int differing = 0, firstX = -1, firstY = -1;
    Crop difference{kWidth, kHeight, std::vector<uint16_t>(actual.words.size())};
    for (size_t i = 0; i < actual.words.size(); ++i) {
        if (actual.words[i] == expected.words[i]) continue;
        difference.words[i] = 0xFFFF;
        if (differing++ == 0) {
            firstX = kX + static_cast<int>(i % kWidth);
            firstY = kY + static_cast<int>(i / kWidth);
        }
    }
    if (differing != 0) {
        WritePgm16("actual.pgm", actual);
        WritePgm16("expected.pgm", expected);
        WritePgm16("difference.pgm", difference);
    }
    EXPECT_EQ(differing, 0) << "first at (" << firstX << ", " << firstY
                            << "); actual.pgm, expected.pgm and difference.pgm written to "
                            << std::filesystem::current_path().string();
}

}  // namespace
