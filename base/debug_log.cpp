#include "base/debug_log.h"

#include "base/init_order.h"

const char debugTail[] = "";

DebugLog debugLog TARVO_INIT_LOG;

DebugLog::DebugLog() {
    Open("debug.txt");
    if (file != nullptr) {
        std::fputs("* Debugging Output *\n", file);
        std::fflush(file);
    }
}

DebugLog::~DebugLog() { Close(); }

void DebugLog::Open(const char* fileName) {
    Close();
    // Read and write, created or truncated. Text mode is the same as binary here.
    file = std::fopen(fileName, "w+");
    if (file == nullptr) {
        std::printf("DEBUGGER ERROR: Unable to open debug log file.\n");
        std::fflush(stdout);
    }
}

void DebugLog::Write(const char* message, const char* tail) {
    if (file == nullptr) return;
    std::fprintf(file, "%s  %s", message, tail);
    std::fflush(file);
}

void DebugLog::Close() {
    if (file != nullptr) {
        std::fclose(file);
        file = nullptr;
    }
}
