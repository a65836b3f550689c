#include "engine/key_recorder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "base/debug_log.h"
#include "base/init_order.h"
#include "engine/key_script.h"
#include "engine/windows_dx.h"

KeyRecorder keyRecorder TARVO_INIT_ENGINE;

namespace {

// Every code a script can name; 0 and 255 are no keys.
constexpr int kFirstKey = 1, kLastKey = 254;

constexpr char kMadeByPrefix[] = "# recorded by ";
// The maker's line within what a script reader takes.
constexpr size_t kMaxMadeByChars = kKeyScriptMaxLineChars - (sizeof kMadeByPrefix - 1);

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

// At exit the debug log may be gone already: the program stops a recording
// itself, and this only closes what is left.
KeyRecorder::~KeyRecorder() {
    if (file != nullptr) std::fclose(file);
}

bool KeyRecorder::Start(const std::string& name, std::string& error, std::string madeBy) {
    Stop();
    failed = false;
    if (name.empty()) {
        error = "a recording needs a file name, not an empty one";
        return false;
    }
    // A line break would end the comment and start a line of keys.
    for (const char c : madeBy) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            error = "the game's name for a recording has a control character";
            return false;
        }
    }
    if (madeBy.size() > kMaxMadeByChars) {
        error = "the game's name for a recording is longer than " + std::to_string(kMaxMadeByChars) + " characters";
        return false;
    }
    // Checked now, before the program starts, so that a refusal comes first;
    // the file itself is made only once the program runs.
    struct stat info;
    if (lstat(name.c_str(), &info) == 0) {
        error = name + " already exists; a recording never replaces a file (choose another name)";
        return false;
    }
    const std::string folder = FolderOf(name);
    if (stat(folder.c_str(), &info) != 0) {
        error = name + ": no folder " + folder + " (" + std::strerror(errno) + ")";
        return false;
    }
    if (!S_ISDIR(info.st_mode)) {
        error = name + ": " + folder + " is not a folder";
        return false;
    }
    if (access(folder.c_str(), W_OK) != 0) {
        error = name + ": cannot write into " + folder + " (" + std::strerror(errno) + ")";
        return false;
    }
    path = name;
    maker = std::move(madeBy);
    frame = 0;
    std::memset(held, 0, sizeof held);
    return true;
}

bool KeyRecorder::Create() {
    // "x": created here or not at all, so a file made since Start is never touched.
    file = std::fopen(path.c_str(), "wx");
    if (file == nullptr) {
        Fail("could not create");
        return false;
    }
    const std::string header =
        (maker.empty() ? "" : kMadeByPrefix + maker + "\n") + "# a key script: FRAME down|up KEY, one key a line\n";
    return Write(header.c_str());
}

bool KeyRecorder::Write(const char* text) {
    if (std::fputs(text, file) == EOF || std::fflush(file) == EOF) {
        Fail("could not write");
        return false;
    }
    return true;
}

void KeyRecorder::Fail(const char* what) {
    const int reason = errno;
    const std::string message =
        "tarvo: " + std::string(what) + " the recording " + path + ": " + std::strerror(reason) + "; recording stopped";
    std::fprintf(stderr, "%s\n", message.c_str());
    debugLog.Write((message + "\n").c_str(), debugTail);
    if (file != nullptr) std::fclose(file);  // already failed: its result adds nothing
    file = nullptr;
    path.clear();
    failed = true;
}

void KeyRecorder::Sample() {
    if (path.empty()) return;
    if (file == nullptr && !Create()) return;
    std::string lines;
    for (int key = kFirstKey; key <= kLastKey; ++key) {
        const uint8_t now = Tarvo.IsKeyDown(key) ? 1 : 0;
        if (now == held[key]) continue;
        held[key] = now;
        lines += FormatKeyEvent({frame, now != 0, key}) + "\n";
    }
    if (!lines.empty() && !Write(lines.c_str())) return;
    ++frame;
}

void KeyRecorder::Stop() {
    if (file != nullptr) {
        std::FILE* closing = file;
        file = nullptr;
        if (std::fclose(closing) != 0) Fail("could not finish");
    }
    path.clear();
}
