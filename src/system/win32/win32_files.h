// The file seam's Win32 backend.
#pragma once

#include "system/files.h"

class Win32Files : public Files {
public:
    std::string SystemDirectory() override;
    FileOpenStatus OpenFile(const std::string& path, FileAccess access, bool create, FileHandle*& file) override;
    bool ReadWholeFile(FileHandle* file, std::string& bytes) override;
    FileResult WriteFileAt(FileHandle* file, std::uint64_t offset, std::string_view bytes) override;
    FileResult SetFileLength(FileHandle* file, std::uint64_t length) override;
    FileResult FlushFile(FileHandle* file) override;
    void CloseFile(FileHandle* file) override;
    FileResult MoveFileOver(const std::string& from, const std::string& to) override;
    void RemoveFile(const std::string& path) override;
    FolderProbe ProbeFolder(const std::string& path) override;
    bool IsReadOnlyFile(const std::string& path) override;
    std::string ExpandPathVariables(const std::string& text) override;
    std::string LastFileErrorText() override;
    void Pause(unsigned milliseconds) override;
};
