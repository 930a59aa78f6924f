#include "system/text.h"

std::size_t FindOption(std::string_view commandLine, std::string_view option) {
    if (option.empty()) return 0;
    for (std::size_t i = 0; i < commandLine.size();) {
        if (commandLine.compare(i, option.size(), option) == 0) return i;
        i += IsLeadByte932(static_cast<unsigned char>(commandLine[i])) ? 2 : 1;
    }
    return std::string_view::npos;
}


namespace {

std::size_t CharacterSize(std::string_view text, std::size_t at) {
    return IsLeadByte932(static_cast<unsigned char>(text[at])) && at + 1 < text.size() ? 2 : 1;
}

}  // namespace

std::size_t FindBackslash(std::string_view path, std::size_t from) {
    for (std::size_t at = from; at < path.size(); at += CharacterSize(path, at))
        if (path[at] == '\\') return at;
    return std::string_view::npos;
}

std::size_t FindLastSeparator(std::string_view path, std::string_view separators) {
    std::size_t last = std::string_view::npos;
    for (std::size_t at = 0; at < path.size(); at += CharacterSize(path, at))
        if (separators.find(path[at]) != std::string_view::npos) last = at;
    return last;
}

std::size_t Utf16Length(std::string_view text) {
    std::size_t units = 0;
    for (std::size_t at = 0; at < text.size(); at += CharacterSize(text, at)) ++units;
    return units;
}
