// Text from a file, quoted for a message only when it is short printable
// text, so that the bytes of a file that is not what it claims never reach a
// terminal or a log.
#pragma once

#include <string>
#include <string_view>

// " 'text'" for at most 40 printable ASCII characters, else "".
inline std::string Quoted(std::string_view text) {
    if (text.size() > 40) return "";
    for (const char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F) return "";
    return " '" + std::string(text) + "'";
}
