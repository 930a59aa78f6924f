#include "framework/files.h"

namespace {

constexpr int kReadAttempts = 5;
constexpr unsigned kFirstPauseMs = 50;  // then 100, 200, 400: under a second in all

}  // namespace

FileReadStatus ReadFilePatiently(Platform& platform, const std::string& path, std::string& bytes) {
    unsigned pause = kFirstPauseMs;
    for (int attempt = 1;; ++attempt, pause *= 2) {
        FileReadStatus status = platform.ReadWholeFile(path, bytes);
        if (status != FileReadStatus::Locked || attempt == kReadAttempts) return status;
        platform.Pause(pause);
    }
}

bool SaveFileSafely(Platform& platform, const std::string& path, const std::string& tempPath,
                    const std::string& bytes) {
    FileWriter* file = platform.CreateFileForWriting(tempPath);
    if (!file) return false;
    bool written = platform.WriteToFile(file, bytes.data(), bytes.size()) && platform.FlushFile(file);
    written = platform.CloseFile(file) && written;
    if (written && platform.ReplaceFileWith(tempPath, path)) return true;
    platform.RemoveFile(tempPath);
    return false;
}
