/// @file
/// The debug log: one text file, "debug.txt" in the working directory, that
/// the engine writes progress and errors to. Write-only; every message is
/// flushed at once so the file is complete even if the process dies.
///
/// Each Write appends the message, two spaces and a tail; every caller passes
/// the empty tail `debugTail`, so the two spaces start the following line.
#pragma once

#include <cstdio>

class DebugLog {
public:
    /// Opens "debug.txt" and writes the header line (without the two spaces).
    DebugLog();
    ~DebugLog();
    DebugLog(const DebugLog&) = delete;
    DebugLog& operator=(const DebugLog&) = delete;

    /// Closes any open file, then creates or truncates fileName. On failure
    /// says so on standard output and stays closed; later writes are skipped.
    void Open(const char* fileName);
    /// Appends "<message>  <tail>" and flushes; nothing when closed.
    void Write(const char* message, const char* tail);
    void Close();
    bool IsOpen() const { return file != nullptr; }

private:
    std::FILE* file = nullptr;
};

/// The empty tail every message is written with.
extern const char debugTail[];

extern DebugLog debugLog;
