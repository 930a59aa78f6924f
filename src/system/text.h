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

// Paths in code page 932 are walked character by character: the trail byte
// of a double-byte character may be 0x5C, the backslash (表, ソ, 能, 予).
// The position of the first backslash at or after |from| (a character's
// start) that is a character of its own; npos when none.
std::size_t FindBackslash(std::string_view path, std::size_t from = 0);
// The position of the last character of |path| that is one of |separators|; npos when none.
std::size_t FindLastSeparator(std::string_view path, std::string_view separators = "\\");
// Whether the last character of |path| is a backslash.
inline bool EndsWithBackslash(std::string_view path) {
    return !path.empty() && FindLastSeparator(path) == path.size() - 1;
}
// The length of |text| in UTF-16 units, as the system counts a path: one
// a character, since every character of code page 932 lies in the BMP.
std::size_t Utf16Length(std::string_view text);
