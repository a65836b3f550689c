// tarvo-replay: runs the real game from a key script, with no display and no
// clock, and prints the game's state after every frame as one line of JSON.
//
//   tarvo-replay SCRIPT FRAMES [--shots N,N,... [--out DIR]] [--sounds FILE] [--silent]
//
// SCRIPT holds lines `FRAME down|up KEY` (see engine/key_script.h); "-" reads
// standard input. --shots writes the finished picture of each named frame to
// DIR/frame_NNNNN.tif (DIR defaults to the working folder; one that does not
// exist is made, or refused with status 2 if it cannot be). The pictures are
// found as the game finds them, from any working folder.
//
// The game plays on a machine with sound; --sounds writes to FILE one line
// for each sound the game asked for, `FRAME ACTION EFFECT VOLUME PAN`
// (ACTION play, loop, stop or stopall). --silent runs it as on a machine
// without an audio device. Neither changes a single state line.
//
// Exit status: 0 after FRAMES frames, 2 for wrong usage, a --out folder that
// cannot be made or a script that cannot be read (the message names the line).
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <string>

#include "tools/replay/replay_runner.h"
#include "tools/replay/state_report.h"

namespace {

int Usage(const char* problem) {
    if (problem != nullptr) std::fprintf(stderr, "tarvo-replay: %s\n", problem);
    std::fprintf(stderr,
                 "usage: tarvo-replay SCRIPT FRAMES [--shots N,N,... [--out DIR]] [--sounds FILE] [--silent]\n");
    return 2;
}

bool ParseCount(const char* text, int& out) {
    if (text == nullptr || *text == '\0') return false;
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || value < 0 || value > INT_MAX) return false;
    out = static_cast<int>(value);
    return true;
}

bool ParseShots(const std::string& list, std::set<int>& shots) {
    std::stringstream items(list);
    std::string item;
    while (std::getline(items, item, ',')) {
        int frame;
        if (!ParseCount(item.c_str(), frame)) return false;
        shots.insert(frame);
    }
    return !shots.empty();
}

// One line a sound: frame, action, effect, volume and pan.
bool WriteSounds(const platform::ScriptedPlatform& machine, const std::string& path) {
    std::FILE* out = std::fopen(path.c_str(), "w");
    if (out == nullptr) return false;
    for (const auto& sound : machine.sounds)
        std::fprintf(out, "%d %s %s %.9g %.9g\n", sound.frame, sound.action.c_str(),
                     sound.effect.empty() ? "-" : sound.effect.c_str(), sound.volume, sound.pan);
    return std::fclose(out) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return Usage(nullptr);
    const std::string scriptPath = argv[1];
    int frames = 0;
    if (!ParseCount(argv[2], frames)) return Usage("FRAMES must be a whole number, 0 or more");
    std::set<int> shots;
    std::string outDir = ".";
    std::string soundsPath;
    bool silent = false;
    for (int i = 3; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--shots" && i + 1 < argc) {
            if (!ParseShots(argv[++i], shots)) return Usage("--shots takes frame numbers separated by commas");
        } else if (option == "--out" && i + 1 < argc) {
            outDir = argv[++i];
        } else if (option == "--sounds" && i + 1 < argc) {
            soundsPath = argv[++i];
        } else if (option == "--silent") {
            silent = true;
        } else {
            return Usage(("unknown or incomplete option '" + option + "'").c_str());
        }
    }

    std::vector<KeyEvent> events;
    std::string error;
    bool parsed;
    if (scriptPath == "-") {
        parsed = ParseKeyScript(std::cin, events, error);
    } else {
        std::ifstream script(scriptPath);
        if (!script) {
            std::fprintf(stderr, "tarvo-replay: cannot read %s: %s\n", scriptPath.c_str(), std::strerror(errno));
            return 2;
        }
        parsed = ParseKeyScript(script, events, error);
    }
    if (!parsed) {
        std::fprintf(stderr, "tarvo-replay: %s: %s\n", scriptPath.c_str(), error.c_str());
        return 2;
    }

    // The pictures' folder is made now, folders above it too, so that a name
    // that cannot be used is refused before the first frame.
    if (!shots.empty()) {
        std::error_code failure;
        std::filesystem::create_directories(outDir, failure);
        if (failure || !std::filesystem::is_directory(outDir)) {
            std::fprintf(stderr, "tarvo-replay: cannot make the folder %s: %s\n", outDir.c_str(),
                         (failure ? failure : std::make_error_code(std::errc::not_a_directory)).message().c_str());
            return 2;
        }
    }

    platform::ScriptedPlatform machine;
    machine.screenWidth = 1920;
    machine.screenHeight = 1080;
    machine.audioAvailable = !silent;
    int failedWrites = 0;
    const ReplayResult result = RunReplay(machine, events, frames, [&](int frame) {
        const std::string line = GameStateJson(frame);
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fputc('\n', stdout);
        if (shots.count(frame) != 0) {
            char name[32];
            std::snprintf(name, sizeof name, "/frame_%05d.tif", frame);
            if (!SaveBackBuffer(machine, outDir + name)) {
                std::fprintf(stderr, "tarvo-replay: could not write %s%s\n", outDir.c_str(), name);
                ++failedWrites;
            }
        }
    });
    std::fflush(stdout);
    if (!soundsPath.empty() && !WriteSounds(machine, soundsPath)) {
        std::fprintf(stderr, "tarvo-replay: could not write %s\n", soundsPath.c_str());
        ++failedWrites;
    }
    for (const auto& box : machine.messageBoxes)
        std::fprintf(stderr, "tarvo-replay: message box \"%s\": %s\n", box.caption.c_str(), box.text.c_str());
    if (result.exitCode != 0) return result.exitCode == -1 ? 255 : result.exitCode;
    return failedWrites == 0 ? 0 : 1;
}
