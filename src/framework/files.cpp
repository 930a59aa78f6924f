#include "framework/files.h"

#include "framework/platform.h"

std::string DirectoryOf(const std::string& path) {
    std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

bool SaveFileSafely(Platform& platform, const std::string& path, const std::string& bytes) {
    std::string tempPath;
    FileWriter* file = platform.CreateTempFileIn(DirectoryOf(path), tempPath);
    if (!file) return false;
    bool written = platform.WriteToFile(file, bytes.data(), bytes.size()) && platform.FlushFile(file);
    written = platform.CloseFile(file) && written;
    if (written && platform.ReplaceFileWith(tempPath, path)) return true;
    platform.RemoveFile(tempPath);
    return false;
}
