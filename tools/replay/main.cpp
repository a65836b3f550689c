// tarvo-replay: runs the real game from a key script, with no display and no
// clock, and prints the game's state after every frame as one line of JSON.
//
//   tarvo-replay SCRIPT FRAMES [--shots N,N,... [--out DIR]] [--sounds FILE] [--silent]
//                [--frame-work [--paced]]
//
// SCRIPT holds lines `FRAME down|up KEY` (see engine/key_script.h); "-" reads
// standard input. --shots writes the finished picture of each named frame to
// DIR/frame_NNNNN.tif (DIR defaults to the working folder; one that does not
// exist is made, and one that cannot be made or written into is refused with
// status 2 before the first frame). The pictures are found as the game finds
// them, from any working folder.
//
// Standard output carries nothing but the state lines: what the engine says
// on standard output (a picture it could not save, say) goes to standard error.
//
// The game plays on a machine with sound; --sounds writes to FILE one line
// for each sound the game asked for, `FRAME ACTION EFFECT VOLUME PAN`
// (ACTION play, loop, stop or stopall). --silent runs it as on a machine
// without an audio device. Neither changes a single state line.
//
// --frame-work says on standard error how long the frames took, timed as the
// browser's page times them (tools/replay/frame_timer.h), for comparing the
// page with a native run of the same frames (tools/web_speed.py):
// `frame work: W us a frame, P us of it handing the picture over (median of
// 60-frame means, N frames)`, the hand-over being Flip and BltFast. With
// --paced the frames start 1/60 s apart, as on the page, where each starts
// with what the idle wait left in the caches. A measurement: time it in a
// release build.
//
// Exit status: 0 after FRAMES frames; 1 when the state lines (the run then
// stops), a picture or the sounds could not be written; 2 for wrong usage, a
// --out folder that cannot be made or written into, or a script that cannot
// be read (the message names the line); 255 when the game itself failed.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <string>

#include "tools/replay/frame_timer.h"
#include "tools/replay/replay_runner.h"
#include "tools/replay/state_report.h"

namespace {

int Usage(const char* problem) {
    if (problem != nullptr) std::fprintf(stderr, "tarvo-replay: %s\n", problem);
    std::fprintf(stderr,
                 "usage: tarvo-replay SCRIPT FRAMES [--shots N,N,... [--out DIR]] [--sounds FILE] [--silent] "
                 "[--frame-work [--paced]]\n");
    return 2;
}

// The state lines' own stream, on what was standard output; standard output
// itself then goes to standard error. Made before any global of the engine is
// constructed (engine/init_order.h), since the debug log may already speak on
// standard output when it opens. Null when there was no standard output.
struct StateOutput {
    std::FILE* stream = nullptr;
    int openError = 0;

    StateOutput() {
        const int fd = fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
        if (fd >= 0) stream = fdopen(fd, "w");
        if (stream == nullptr) {
            openError = errno;
            if (fd >= 0) close(fd);
            return;
        }
        std::fflush(stdout);
        // With standard error closed the engine's words go nowhere, never into a file opened later as fd 1.
        if (dup2(STDERR_FILENO, STDOUT_FILENO) < 0) {
            const int nowhere = open("/dev/null", O_WRONLY | O_CLOEXEC);
            if (nowhere >= 0 && nowhere != STDOUT_FILENO) {
                dup2(nowhere, STDOUT_FILENO);
                close(nowhere);
            }
        }
        // Unbuffered like standard error, so that the two keep their order.
        std::setvbuf(stdout, nullptr, _IONBF, 0);
    }
};
StateOutput stateOutput __attribute__((init_priority(500)));

// Digits only: strtol would also take blanks, a sign and "0x".
bool ParseCount(const std::string& text, int& out) {
    if (text.empty() || text.size() > 10) return false;
    long long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    if (value > INT_MAX) return false;
    out = static_cast<int>(value);
    return true;
}

// Frame numbers separated by single commas, none empty.
bool ParseShots(const std::string& list, std::set<int>& shots) {
    for (size_t start = 0;;) {
        const size_t comma = list.find(',', start);
        int frame;
        if (!ParseCount(list.substr(start, comma == std::string::npos ? comma : comma - start), frame)) return false;
        shots.insert(frame);
        if (comma == std::string::npos) return true;
        start = comma + 1;
    }
}

// Makes a file in `folder` and removes it again: access() answers only for
// permissions, which root passes where no file can be made (in /proc, say).
bool CanCreateIn(const std::string& folder, int& reason) {
    if (access(folder.c_str(), W_OK | X_OK) != 0) {
        reason = errno;
        return false;
    }
    std::string probe = folder + "/.tarvo-replay-XXXXXX";
    const int fd = mkstemp(probe.data());
    if (fd < 0) {
        reason = errno;
        return false;
    }
    close(fd);
    unlink(probe.c_str());
    return true;
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
    if (!ParseCount(argv[2], frames)) return Usage("FRAMES must be a whole number, 0 or more, in digits");
    std::set<int> shots;
    std::string outDir = ".";
    std::string soundsPath;
    bool silent = false;
    bool frameWork = false;
    bool paced = false;
    for (int i = 3; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--shots" && i + 1 < argc) {
            if (!ParseShots(argv[++i], shots))
                return Usage("--shots takes frame numbers in digits, separated by single commas");
        } else if (option == "--out" && i + 1 < argc) {
            outDir = argv[++i];
        } else if (option == "--sounds" && i + 1 < argc) {
            soundsPath = argv[++i];
        } else if (option == "--silent") {
            silent = true;
        } else if (option == "--frame-work") {
            frameWork = true;
        } else if (option == "--paced") {
            paced = true;
        } else {
            return Usage(("unknown or incomplete option '" + option + "'").c_str());
        }
    }
    if (!shots.empty() && *shots.rbegin() >= frames) {
        const std::string last = frames == 0 ? "no frame is run" : "the last frame is " + std::to_string(frames - 1);
        return Usage(("--shots names frame " + std::to_string(*shots.rbegin()) + ", but " + last).c_str());
    }
    if (stateOutput.stream == nullptr) {
        std::fprintf(stderr, "tarvo-replay: no standard output for the state lines: %s\n",
                     std::strerror(stateOutput.openError));
        return 2;
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
        int reason = 0;
        if (!CanCreateIn(outDir, reason)) {
            std::fprintf(stderr, "tarvo-replay: cannot write into the folder %s: %s\n", outDir.c_str(),
                         std::strerror(reason));
            return 2;
        }
    }

    TimedMachine machine(paced);
    machine.screenWidth = 1920;
    machine.screenHeight = 1080;
    machine.audioAvailable = !silent;
    int failedWrites = 0;
    // Lines that cannot be written make the run pointless: it stops there.
    int statesError = 0;
    int statesStoppedAfter = -1;
    const ReplayResult result = RunReplay(machine, events, frames, [&](int frame) {
        if (statesError != 0) return;
        const std::string line = GameStateJson(frame) + '\n';
        errno = 0;
        if (std::fwrite(line.data(), 1, line.size(), stateOutput.stream) != line.size()) {
            statesError = errno != 0 ? errno : EIO;
            statesStoppedAfter = frame;
            machine.PostQuitMessage(0);
            return;
        }
        if (shots.count(frame) != 0) {
            char name[32];
            std::snprintf(name, sizeof name, "/frame_%05d.tif", frame);
            if (!SaveBackBuffer(machine, outDir + name)) {
                std::fprintf(stderr, "tarvo-replay: could not write %s%s\n", outDir.c_str(), name);
                ++failedWrites;
            }
        }
    });
    if (statesError == 0 && std::fflush(stateOutput.stream) != 0) statesError = errno;
    if (statesError != 0) {
        std::fprintf(stderr, "tarvo-replay: could not write the state lines: %s", std::strerror(statesError));
        if (statesStoppedAfter >= 0) std::fprintf(stderr, "; stopped after frame %d", statesStoppedAfter);
        std::fputc('\n', stderr);
        ++failedWrites;
    }
    if (!soundsPath.empty() && !WriteSounds(machine, soundsPath)) {
        std::fprintf(stderr, "tarvo-replay: could not write %s\n", soundsPath.c_str());
        ++failedWrites;
    }
    if (frameWork)
        std::fprintf(
            stderr,
            "frame work: %.1f us a frame, %.1f us of it handing the picture over (median of 60-frame means, %d "
            "frames)\n",
            machine.MedianWorkMicros(), machine.MedianPresentMicros(), machine.FramesTimed());
    for (const auto& box : machine.messageBoxes)
        std::fprintf(stderr, "tarvo-replay: message box \"%s\": %s\n", box.caption.c_str(), box.text.c_str());
    if (result.exitCode != 0) return result.exitCode == -1 ? 255 : result.exitCode;
    return failedWrites == 0 ? 0 : 1;
}
