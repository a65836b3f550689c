/// @file
/// File: the engine's wrapper around one buffered standard I/O stream.
///
/// Opened with a word of FILE_ flags that Open checks and turns into an fopen
/// mode string. Contradictory or incomplete flags are programming errors: the
/// message goes to the debug log and the process ends with status -1. A
/// missing file is the one ordinary failure Open reports (FILE_NOTFOUND).
/// Transfers return small result codes and are never logged; 16- and 32-bit
/// values move exactly as they lie in memory (byte order is ByteOrder's job).
///
/// Paths may be of any length and may separate folders with '\' (turned into
/// '/'); a file opened for reading only is also looked for in the data folders
/// (file/data_path.h). Depends on the debug log (engine/debug_log.h).
/// Transfers on a closed File move nothing and report FILE_NOTREAD or
/// FILE_NOTWRITE.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

/// Mode flags.
constexpr int FILE_NOTOPEN = 0x01;
constexpr int FILE_RANDOM = 0x02;      ///< binary stream ("b")
constexpr int FILE_SEQUENTIAL = 0x04;  ///< text stream ("t")
constexpr int FILE_READ = 0x08;
constexpr int FILE_WRITE = 0x10;
constexpr int FILE_APPEND = 0x20;
constexpr int FILE_AUTOCREATE = 0x40;
constexpr int FILE_LEAVEEOF = 0x80;

/// Result codes.
constexpr int FILE_OK = 0;
constexpr int FILE_EOF = 1;
constexpr int FILE_READERR = 2;
constexpr int FILE_WRITEERR = 3;
constexpr int FILE_NOTREAD = 4;
constexpr int FILE_NOTWRITE = 5;
constexpr int FILE_NOTFOUND = 6;
constexpr int FILE_FOUND = 7;

/// Special positions for Seek.
constexpr long FILE_STARTPOS = -1;
constexpr long FILE_ENDPOS = -2;

/// Longest line GetLine takes, NUL included.
constexpr int FILE_LINE_LENGTH = 500;

class File {
public:
    int mode = FILE_NOTOPEN;   ///< flags of the last successful Open; FILE_NOTOPEN while closed
    std::string path;          ///< file name of the last successful Open
    std::FILE* stream = nullptr;
    int counter = 0;           ///< reset by every successful Open; nothing else uses it

    File() = default;
    /// Open with the result dropped.
    File(const char* path, int flags);
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    /// FILE_FOUND when the path can be opened for reading, else FILE_NOTFOUND.
    static int Exists(const char* path);
    /// FILE_OK or FILE_NOTFOUND (the File is then left as it was). Bad flags and
    /// an fopen failure end the process. An open File is closed first.
    int Open(const char* path, int flags);
    /// Flushes and closes; harmless on a closed File.
    void Close();

    /// One item of `size` bytes; the bytes move first, the code is decided after.
    int Read(int size, void* destination);
    int Write(int size, const void* source);
    int GetChar(char* out);
    int PutChar(int character);
    /// Two or four raw bytes, no byte-order conversion.
    int ReadShort(void* destination);
    int WriteShort(uint16_t value);
    int ReadLong(void* destination);
    int WriteLong(uint32_t value);
    /// Up to FILE_LINE_LENGTH - 1 characters, up to and including a newline,
    /// into `buffer` (at least FILE_LINE_LENGTH chars). 1 when the stream is
    /// at its end afterwards, else 0.
    int GetLine(char* buffer);
    /// Always 0.
    int PutLine(const char* text);
    /// FILE_STARTPOS, FILE_ENDPOS or a byte offset from the start; the fseek
    /// result (0 on success).
    int Seek(long position);
    /// Byte offset from the start (the ftell result).
    long Tell();

private:
    bool IsOpen() const { return (mode & FILE_NOTOPEN) == 0 && stream != nullptr; }
};
