#include "system/code_page.h"
#include "system/win32/code_page_win32.h"

std::optional<std::wstring> WideText(UINT codePage, std::string_view bytes, DWORD flags) {
    if (bytes.empty()) return std::wstring();
    int length = MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()),
                                     nullptr, 0);
    if (length <= 0) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()), wide.data(),
                        length);
    return wide;
}

std::string NarrowText(UINT codePage, const std::wstring& wide, DWORD flags, BOOL* usedDefault) {
    if (wide.empty()) return std::string();
    int length = WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                     usedDefault);
    std::string bytes(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), bytes.data(), length, nullptr,
                        usedDefault);
    return bytes;
}

std::optional<std::string> Utf8FromCp932(std::string_view bytes) {
    std::optional<std::wstring> wide = WideText(kShiftJis, bytes);
    if (!wide) return std::nullopt;
    return NarrowText(CP_UTF8, *wide, 0, nullptr);
}

std::optional<std::string> Cp932FromUtf8(std::string_view utf8) {
    std::optional<std::wstring> wide = WideText(CP_UTF8, utf8);
    if (!wide) return std::nullopt;
    BOOL usedDefault = FALSE;
    std::string bytes = NarrowText(kShiftJis, *wide, WC_NO_BEST_FIT_CHARS, &usedDefault);
    // Exact only: the bytes must give back the very characters.
    if (usedDefault || WideText(kShiftJis, bytes) != wide) return std::nullopt;
    return bytes;
}
