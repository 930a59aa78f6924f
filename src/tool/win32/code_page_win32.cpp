#include "tool/code_page.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace {

constexpr UINT kShiftJis = 932;

std::optional<std::wstring> Wide(UINT codePage, std::string_view bytes) {
    if (bytes.empty()) return std::wstring();
    int length = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                                     nullptr, 0);
    if (length <= 0) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), wide.data(),
                        length);
    return wide;
}

std::string Narrow(UINT codePage, const std::wstring& wide, DWORD flags, BOOL* usedDefault) {
    if (wide.empty()) return std::string();
    int length = WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                     usedDefault);
    std::string bytes(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), bytes.data(), length, nullptr,
                        usedDefault);
    return bytes;
}

}  // namespace

std::optional<std::string> Utf8FromCp932(std::string_view bytes) {
    std::optional<std::wstring> wide = Wide(kShiftJis, bytes);
    if (!wide) return std::nullopt;
    return Narrow(CP_UTF8, *wide, 0, nullptr);
}

std::optional<std::string> Cp932FromUtf8(std::string_view utf8) {
    std::optional<std::wstring> wide = Wide(CP_UTF8, utf8);
    if (!wide) return std::nullopt;
    BOOL usedDefault = FALSE;
    std::string bytes = Narrow(kShiftJis, *wide, WC_NO_BEST_FIT_CHARS, &usedDefault);
    // Exact only: the bytes must give back the very characters.
    if (usedDefault || Wide(kShiftJis, bytes) != wide) return std::nullopt;
    return bytes;
}
