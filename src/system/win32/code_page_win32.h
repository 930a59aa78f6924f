// The system's conversions between a code page and UTF-16, as the Win32
// code page backend and the console use them.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

inline constexpr UINT kShiftJis = 932;

// With MB_ERR_INVALID_CHARS, nullopt when |bytes| are not all characters of
// |codePage|; without, such bytes become a stand-in character.
std::optional<std::wstring> WideText(UINT codePage, std::string_view bytes, DWORD flags = MB_ERR_INVALID_CHARS);
// |usedDefault|, when given, tells whether a character had no form in |codePage|.
std::string NarrowText(UINT codePage, const std::wstring& wide, DWORD flags = 0, BOOL* usedDefault = nullptr);
