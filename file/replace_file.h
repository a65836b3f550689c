/// @file
/// ReplaceFile: a file written whole under a temporary name beside its target
/// and then renamed over it, so that the target is always the old file or the
/// new one, never a mixture or a part.
///
/// The target keeps its identity: symbolic links are followed (the file a
/// link names is replaced, the link stays) and a regular file's permission
/// bits are carried over; a file that did not exist is made with 0666 less the
/// umask. The temporary file has a name of its own (the process id and a
/// count) and is made with O_EXCL and O_NOFOLLOW, so nothing already lying
/// there is written through, and two processes replacing one file never share
/// a temporary file: the last rename wins, whole. The data reach the disk
/// before the rename, and the folder's entry after it.
///
/// POSIX only. Depends on nothing else in the engine.
#pragma once

#include <cstdio>
#include <string>

class ReplaceFile {
public:
    /// Follows the links in `path` and looks at the file they end at; touches
    /// nothing.
    explicit ReplaceFile(const std::string& path);
    /// A replacement never committed is abandoned.
    ~ReplaceFile();
    ReplaceFile(const ReplaceFile&) = delete;
    ReplaceFile& operator=(const ReplaceFile&) = delete;

    /// The file that will be replaced: `path` with its links followed.
    const std::string& Target() const { return target; }
    /// Whether the target exists as a regular file.
    bool TargetIsFile() const { return targetIsFile; }
    /// Whether the target is a regular file that may not be written: no write
    /// bit at all (so root, who may write anything, sees it too), or none for
    /// this process.
    bool TargetIsReadOnly() const;

    /// Makes the temporary file beside the target. False, with errno set and
    /// nothing made, when it cannot be made.
    bool Begin();
    /// The temporary file, open for writing from Begin until Commit or
    /// Abandon; owned by this object (the caller never closes it).
    std::FILE* Stream() const { return stream; }

    /// Flushes and syncs the temporary file, gives it the target's permission
    /// bits and renames it over the target, then syncs the folder. False, with
    /// errno set, when any step fails: the target is then as it was and the
    /// temporary file is gone.
    bool Commit();
    /// Closes and removes the temporary file; the target is untouched.
    void Abandon();

private:
    std::string target;
    std::string temporary;
    std::FILE* stream = nullptr;
    bool targetIsFile = false;
    unsigned targetMode = 0;  // permission bits, when a regular file
};
