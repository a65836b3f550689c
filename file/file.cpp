#include "file/file.h"

#include <cstring>

#include "base/debug_log.h"
#include "file/data_path.h"
#include "file/fatal.h"

namespace {

[[noreturn]] void Fatal(const char* message) {
    debugLog.Write(message, debugTail);
    FatalExit();
}

void Warn(const char* message) { debugLog.Write(message, debugTail); }

}  // namespace

File::File(const char* path, int flags) { Open(path, flags); }

File::~File() { Close(); }

int File::Exists(const char* path) {
    std::FILE* probe = std::fopen(NativePath(path).c_str(), "r");
    if (probe == nullptr) return FILE_NOTFOUND;
    std::fclose(probe);
    return FILE_FOUND;
}

int File::Open(const char* givenPath, int flags) {
    std::string modeString;
    // Reading looks in the data folders too; anything that writes stays where it was told.
    const bool readOnly = (flags & FILE_READ) && !(flags & (FILE_WRITE | FILE_APPEND));
    const std::string nativePath = readOnly ? FindDataFile(givenPath) : NativePath(givenPath);
    const char* newPath = nativePath.c_str();

    // The existence tests come before the access-mode checks, so a missing
    // file is reported even when the other bits are wrong.
    if (flags & FILE_APPEND) {
        if (flags & FILE_READ) Fatal("File::Open: Cannot open file in both APPEND and READ modes.\n");
        if (flags & FILE_WRITE) Fatal("File::Open: Cannot open file in both APPEND and WRITE modes.\n");
        modeString += "a";
        if (!(flags & FILE_AUTOCREATE) && Exists(newPath) == FILE_NOTFOUND) {
            Warn("File::Open: File does not exist for append. (Use FILE_AUTOCREATE if desired)\n");
            return FILE_NOTFOUND;
        }
        if (!(flags & FILE_LEAVEEOF)) modeString += "+";
    } else {
        if (flags & FILE_LEAVEEOF) Warn("File::Open: (Warning only) FILE_LEAVEEOF only has meaning with FILE_APPEND.\n");
        if ((flags & FILE_READ) && (flags & FILE_WRITE)) {
            if (flags & FILE_AUTOCREATE) {
                modeString += "w+";
            } else if (Exists(newPath) == FILE_NOTFOUND) {
                Warn("File::Open: File does not exist for read/write. (Use FILE_AUTOCREATE if desired)\n");
                return FILE_NOTFOUND;
            } else {
                modeString += "r+";
            }
        } else if (flags & FILE_READ) {
            if (flags & FILE_AUTOCREATE)
                Warn("File::Open: (Warning only) FILE_AUTOCREATE has no meaning when using FILE_READ without "
                     "FILE_APPEND or FILE_WRITE.\n");
            if (Exists(newPath) == FILE_NOTFOUND) {
                Warn("File::Open: File does not exist for read.\n");
                return FILE_NOTFOUND;
            }
            modeString += "r";
        } else if (flags & FILE_WRITE) {
            if (!(flags & FILE_AUTOCREATE) && Exists(newPath) == FILE_NOTFOUND) {
                Warn("File::Open: File does not exist for write (Use FILE_AUTOCREATE is desired).\n");
                return FILE_NOTFOUND;
            }
            modeString += "w";
        } else {
            Fatal("File::Open: Must open file using FILE_APPEND, FILE_READ, or FILE_WRITE.\n");
        }
    }

    if (flags & FILE_NOTOPEN) Fatal("File::Open: Cannot open a file using FILE_NOTOPEN command!!\n");

    if (flags & FILE_RANDOM) {
        if (flags & FILE_SEQUENTIAL) Fatal("File::Open: Cannot open in SEQUENTIAL and RANDOM access modes.\n");
        modeString += "b";
    } else if (flags & FILE_SEQUENTIAL) {
        modeString += "t";
    } else {
        Fatal("File::Open: Must open in SEQUENTIAL or RANDOM access mode.\n");
    }

    // Reopening an open File must not leak its old stream.
    Close();
    path = givenPath;
    mode = flags;
    stream = std::fopen(newPath, modeString.c_str());
    if (stream == nullptr) Fatal("File::Open: Unable to open file (reason unknown)\n");
    counter = 0;
    return FILE_OK;
}

void File::Close() {
    if (!(mode & FILE_NOTOPEN) && stream != nullptr) {
        std::fflush(stream);
        std::fclose(stream);
    }
    stream = nullptr;
    mode = FILE_NOTOPEN;
}

int File::Read(int size, void* destination) {
    if (!IsOpen()) return FILE_NOTREAD;
    const bool gotItem = size <= 0 || std::fread(destination, static_cast<size_t>(size), 1, stream) == 1;
    if (!(mode & FILE_READ)) return FILE_NOTREAD;
    if (gotItem) return FILE_OK;
    if (std::feof(stream)) return FILE_EOF;
    return FILE_READERR;
}

int File::Write(int size, const void* source) {
    if (!IsOpen()) return FILE_NOTWRITE;
    const bool putItem = size <= 0 || std::fwrite(source, static_cast<size_t>(size), 1, stream) == 1;
    if (!(mode & FILE_WRITE)) return FILE_NOTWRITE;
    if (!putItem) return FILE_WRITEERR;
    return FILE_OK;
}

int File::GetChar(char* out) {
    if (!IsOpen()) return FILE_NOTREAD;
    // End of file stores 0xFF, the low byte of EOF.
    *out = static_cast<char>(std::fgetc(stream));
    if (!(mode & FILE_READ)) return FILE_NOTREAD;
    if (std::feof(stream)) return FILE_EOF;
    if (std::ferror(stream)) return FILE_READERR;
    return FILE_OK;
}

int File::PutChar(int character) {
    if (!IsOpen()) return FILE_NOTWRITE;
    std::fputc(character & 0xFF, stream);
    if (!(mode & FILE_WRITE)) return FILE_NOTWRITE;
    if (std::ferror(stream)) return FILE_WRITEERR;
    return FILE_OK;
}

int File::ReadShort(void* destination) { return Read(2, destination); }

int File::WriteShort(uint16_t value) { return Write(2, &value); }

int File::ReadLong(void* destination) { return Read(4, destination); }

int File::WriteLong(uint32_t value) { return Write(4, &value); }

int File::GetLine(char* buffer) {
    if (!IsOpen()) {
        buffer[0] = '\0';
        return 1;
    }
    // fgets leaves the buffer as it was when nothing is read; an empty line
    // is the honest answer then.
    if (std::fgets(buffer, FILE_LINE_LENGTH, stream) == nullptr) buffer[0] = '\0';
    return std::feof(stream) ? 1 : 0;
}

int File::PutLine(const char* text) {
    if (IsOpen()) std::fputs(text, stream);
    return 0;
}

int File::Seek(long position) {
    if (!IsOpen()) return -1;
    if (position == FILE_STARTPOS) return std::fseek(stream, 0, SEEK_SET);
    if (position == FILE_ENDPOS) return std::fseek(stream, 0, SEEK_END);
    return std::fseek(stream, position, SEEK_SET);
}

long File::Tell() {
    if (!IsOpen()) return -1;
    return std::ftell(stream);
}
