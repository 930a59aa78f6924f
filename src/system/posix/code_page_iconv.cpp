// The test host's conversions: glibc's iconv knows code page 932 as "CP932",
// with the same table as Windows for the characters the book holds.
#include "system/code_page.h"

#include <iconv.h>

namespace {

std::optional<std::string> Convert(const char* to, const char* from, std::string_view bytes) {
    iconv_t converter = iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string out(bytes.size() * 4 + 4, '\0');
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size(), outLeft = out.size();
    char* next = out.data();
    std::size_t status = iconv(converter, &in, &inLeft, &next, &outLeft);
    iconv_close(converter);
    if (status == static_cast<std::size_t>(-1) || inLeft != 0) return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

}  // namespace

std::optional<std::string> Utf8FromCp932(std::string_view bytes) { return Convert("UTF-8", "CP932", bytes); }

std::optional<std::string> Cp932FromUtf8(std::string_view utf8) {
    std::optional<std::string> bytes = Convert("CP932", "UTF-8", utf8);
    // Exact only, as on Windows: the bytes must give back the very characters.
    if (!bytes || Convert("UTF-8", "CP932", *bytes) != std::string(utf8)) return std::nullopt;
    return bytes;
}
