// Conversions between the book's code page 932 (Shift-JIS) and UTF-8, as
// the system makes them: the Win32 backend in the product, iconv on the
// test host.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Nullopt when |bytes| are not all characters of code page 932.
std::optional<std::string> Utf8FromCp932(std::string_view bytes);
// Nullopt when |utf8| is not UTF-8, or holds a character that code page 932
// has no exact form for (no nearest look-alike is taken).
std::optional<std::string> Cp932FromUtf8(std::string_view utf8);
