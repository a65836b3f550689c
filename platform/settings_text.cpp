#include "platform/settings_text.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace platform::settings_text {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

std::optional<std::string> SectionHeader(std::string_view line) {
    if (line.empty() || line.front() != '[') return std::nullopt;
    const std::string_view name = line.back() == ']' ? Trim(line.substr(1, line.size() - 2)) : "";
    return name == "window" || name == "sound" || name == "keys" || name == "game" ? std::string(name) : "";
}

FileRead ReadSettingsFile(const std::string& path, std::string& text, std::string& why) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        why = errno == ENOENT ? "no such file" : std::strerror(errno);
        // Nothing there to keep: a folder on the way that is a file fails the save anyway.
        return errno == ENOENT || errno == ENOTDIR ? FileRead::Missing : FileRead::NotWhole;
    }
    text.assign(kMaxFileBytes + 1, '\0');
    const size_t got = std::fread(text.data(), 1, text.size(), file);
    const bool failed = std::ferror(file) != 0;
    const int error = errno;
    std::fclose(file);
    text.resize(got);
    if (!failed && got <= kMaxFileBytes) return FileRead::Whole;
    why = failed ? "cannot be read (" + std::string(std::strerror(error)) + ")"
                 : std::string("larger than 64 KiB, not a settings file");
    return FileRead::NotWhole;
}

}  // namespace platform::settings_text
