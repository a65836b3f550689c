// The settings file's text as both the reader and the writer see it: its
// lines trimmed, its section headers, and the file read whole or not at all.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace platform::settings_text {

// A settings file is a few hundred bytes; anything far larger is not one.
constexpr size_t kMaxFileBytes = 64 * 1024;

// A UTF-8 byte-order mark, which some editors put at the start of a file.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view s);

// For a trimmed line that opens a section: the section's name, "" for one
// this file does not have. Nothing for any other line.
std::optional<std::string> SectionHeader(std::string_view line);

enum class FileRead { Whole, Missing, NotWhole };

// The file's text, or why it could not be read whole.
FileRead ReadSettingsFile(const std::string& path, std::string& text, std::string& why);

}  // namespace platform::settings_text
