#include "file/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <system_error>

namespace {

// The file a path finally names: symbolic links followed, each relative one
// from its own folder. A loop of links stops after a bound and the path is
// then used as it is (the rename replaces the last link).
std::string FollowLinks(const std::string& path) {
    namespace fs = std::filesystem;
    fs::path at = path;
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(at, error))) return at.string();
        const fs::path next = fs::read_symlink(at, error);
        if (error) return at.string();
        at = next.is_absolute() ? next : at.parent_path() / next;
    }
    return at.string();
}

// Makes the folder entry of a finished rename durable.
void SyncFolderOf(const std::string& path) {
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (folder.empty()) folder = ".";
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

// Names made by this process never repeat, whichever thread makes them.
std::atomic<unsigned> temporaryCount{0};

}  // namespace

ReplaceFile::ReplaceFile(const std::string& path) : target(FollowLinks(path)) {
    struct stat info {};
    if (stat(target.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
        targetIsFile = true;
        targetMode = info.st_mode & 07777;
    }
}

ReplaceFile::~ReplaceFile() { Abandon(); }

bool ReplaceFile::TargetIsReadOnly() const {
    return targetIsFile && ((targetMode & 0222) == 0 || access(target.c_str(), W_OK) != 0);
}

bool ReplaceFile::Begin() {
    Abandon();
    const std::string stem = target + ".tarvo-" + std::to_string(getpid()) + "-";
    // Another process's leftover may hold a name; the next count is tried.
    for (int tries = 0; tries < 100; ++tries) {
        const std::string name = stem + std::to_string(temporaryCount++) + ".tmp";
        const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return false;
        }
        stream = fdopen(fd, "wb");
        if (stream == nullptr) {
            const int error = errno;
            close(fd);
            unlink(name.c_str());
            errno = error;
            return false;
        }
        temporary = name;
        return true;
    }
    errno = EEXIST;
    return false;
}

bool ReplaceFile::Commit() {
    if (stream == nullptr) {
        errno = EBADF;
        return false;
    }
    int error = 0;
    if (std::fflush(stream) != 0 || fsync(fileno(stream)) != 0) error = errno;
    // Before the rename, so the target never shows other bits, even briefly.
    if (error == 0 && targetIsFile && fchmod(fileno(stream), static_cast<mode_t>(targetMode)) != 0) error = errno;
    if (std::fclose(stream) != 0 && error == 0) error = errno;
    stream = nullptr;
    if (error == 0 && std::rename(temporary.c_str(), target.c_str()) != 0) error = errno;
    if (error != 0) unlink(temporary.c_str());
    temporary.clear();
    if (error != 0) {
        errno = error;
        return false;
    }
    SyncFolderOf(target);
    return true;
}

void ReplaceFile::Abandon() {
    if (stream != nullptr) std::fclose(stream);
    stream = nullptr;
    if (!temporary.empty()) unlink(temporary.c_str());
    temporary.clear();
}
