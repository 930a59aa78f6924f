#include "book/book_location.h"

#include "book/book_file.h"

#include <cctype>
#include <optional>
#include <vector>

#include "system/files.h"
#include "system/registry.h"
#include "system/text.h"

namespace {

// The policy's text, expanded; nullopt when no policy is set.
std::optional<std::string> PolicyFolder(Files& files, Registry& registry) {
    HKEY key = nullptr;
    if (registry.RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPolicyKey, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return std::nullopt;
    DWORD type = 0, size = 0;
    std::optional<std::string> text;
    if (registry.RegQueryValueExA(key, kBookFolderValue, &type, nullptr, &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
        std::vector<BYTE> data(size + 1, 0);
        if (registry.RegQueryValueExA(key, kBookFolderValue, &type, data.data(), &size) == ERROR_SUCCESS) {
            text = std::string(reinterpret_cast<const char*>(data.data()));
            if (type == REG_EXPAND_SZ) text = files.ExpandPathVariables(*text);
        }
    }
    registry.RegCloseKey(key);
    return text;
}

bool IsAbsolute(const std::string& folder) {
    const bool drive = folder.size() >= 3 && std::isalpha(static_cast<unsigned char>(folder[0])) && folder[1] == ':' &&
                       folder[2] == '\\';
    // \\server\share, each part named
    const std::size_t share = folder.rfind("\\\\", 0) == 0 ? FindBackslash(folder, 2) : std::string::npos;
    return drive || (share != std::string::npos && share > 2 && share + 1 < folder.size() && folder[share + 1] != '\\');
}

}  // namespace

std::string BookLocation::Path(const char* fileName) const {
    return (EndsWithBackslash(folder) ? folder : folder + "\\") + fileName;
}

BookLocation LocateBook(Files& files, Registry& registry) {
    BookLocation location;
    std::optional<std::string> policy = PolicyFolder(files, registry);
    if (!policy) {
        location.folder = files.SystemDirectory();
        return location;
    }
    location.byPolicy = true;
    location.folder = *policy;
    // "C:\" keeps its backslash; any other folder's last one goes.
    while (location.folder.size() > 3 && EndsWithBackslash(location.folder)) location.folder.pop_back();
    // MAX_PATH less the final zero, in the system's UTF-16 units
    constexpr std::size_t kPathLimit = 259;
    if (!IsAbsolute(location.folder))
        location.problem = BookLocation::Problem::Relative;
    else if (Utf16Length(location.Path(kAddressBookFileName)) > kPathLimit)
        location.problem = BookLocation::Problem::TooLong;
    else
        switch (files.ProbeFolder(location.folder)) {
        case FolderProbe::Folder:
            break;
        case FolderProbe::File:
            location.problem = BookLocation::Problem::NotAFolder;
            break;
        case FolderProbe::Denied:
            location.problem = BookLocation::Problem::NoRight;
            break;
        case FolderProbe::Unreachable:
            location.problem = BookLocation::Problem::Unreachable;
            break;
        }
    return location;
}
