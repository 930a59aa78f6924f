#include "system/text.h"

std::size_t FindOption(std::string_view commandLine, std::string_view option) {
    if (option.empty()) return 0;
    for (std::size_t i = 0; i < commandLine.size();) {
        if (commandLine.compare(i, option.size(), option) == 0) return i;
        i += IsLeadByte932(static_cast<unsigned char>(commandLine[i])) ? 2 : 1;
    }
    return std::string_view::npos;
}

