// Byte-string helpers for texts of code page 932 (Shift-JIS).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

inline bool IsLeadByte932(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// Position of the first occurrence of |option|, searched character by
// character so that a match never starts on the trail byte of a double-byte
// character; npos when absent. Case-sensitive.
std::size_t FindOption(std::string_view commandLine, std::string_view option);

inline bool HasOption(std::string_view commandLine, std::string_view option) {
    return FindOption(commandLine, option) != std::string_view::npos;
}
