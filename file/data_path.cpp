#include "file/data_path.h"

#include <filesystem>
#include <system_error>

#include "base/game_info.h"

namespace {

std::vector<std::string>& Folders() {
    static std::vector<std::string> folders = [] {
        std::vector<std::string> list;
        std::error_code error;
        const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
        if (!error && exe.has_parent_path()) {
            const std::filesystem::path folder = exe.parent_path();
            list.push_back(folder.string());
            // Tools live one folder below the game in a build; an installed
            // game keeps its data in ../share/<its name>.
            list.push_back(folder.parent_path().string());
            list.push_back((folder.parent_path() / "share" / DeclaredGame().name).string());
        }
        return list;
    }();
    return folders;
}

bool IsFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

}  // namespace

std::string NativePath(const char* path) {
    std::string native = path;
    for (char& c : native)
        if (c == '\\') c = '/';
    return native;
}

std::string FindDataFile(const char* path) {
    std::string native = NativePath(path);
    if (native.empty() || native.front() == '/' || IsFile(native)) return native;
    for (const std::string& folder : Folders()) {
        std::string candidate = folder + "/" + native;
        if (IsFile(candidate)) return candidate;
    }
    return native;
}

void SetDataFolders(std::vector<std::string> folders) { Folders() = std::move(folders); }

const std::vector<std::string>& DataFolders() { return Folders(); }

std::vector<std::string> SearchedFolders() {
    std::error_code error;
    const std::filesystem::path working = std::filesystem::current_path(error);
    std::vector<std::string> folders = {error ? std::string(".") : working.string()};
    folders.insert(folders.end(), Folders().begin(), Folders().end());
    return folders;
}
