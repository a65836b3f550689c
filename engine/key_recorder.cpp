#include "engine/key_recorder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/debug_log.h"
#include "base/init_order.h"
#include "engine/key_script.h"
#include "engine/windows_dx.h"

KeyRecorder keyRecorder TARVO_INIT_ENGINE;

namespace {

constexpr int kGameKeys[6] = {platform::VK_SPACE, 'P', platform::VK_LEFT, platform::VK_UP, platform::VK_RIGHT,
                              platform::VK_DOWN};

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

bool KeyRecorder::Start(const std::string& name, std::string& error) {
    Stop();
    failed = false;
    if (name.empty()) {
        error = "a recording needs a file name, not an empty one";
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
    return Write("# tarvo key recording: replay with tarvo-replay FILE FRAMES\n");
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
    for (int i = 0; i < 6; ++i) {
        const uint8_t now = Tarvo.IsKeyDown(kGameKeys[i]) ? 1 : 0;
        if (now == held[i]) continue;
        held[i] = now;
        lines += FormatKeyEvent({frame, now != 0, kGameKeys[i]}) + "\n";
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
