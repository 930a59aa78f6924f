// The file seam: what the program asks of the file system. The Win32
// backend in the product, files in memory on the test host.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// An open file; only the backend knows what is behind it.
struct FileHandle;

enum class FileAccess {
    Read,        // reading, shared with no one: for a user who may only read it
    Update,      // reading and writing, shared with no one
    ReadBeside,  // reading, beside whoever reads or writes it (a spreadsheet, a viewer)
};

enum class FileOpenStatus {
    Opened,
    Created,  // it was missing and is now there, empty
    Missing,  // neither the file nor its directory exists
    Locked,   // another program holds it open so that it cannot be opened so, or holds a lock on it
    Denied,   // no right to open it so, or to create it
    Failed,
};

enum class FileResult {
    Done,
    DiskFull,  // no room left on the disk
    Failed,    // any other error
};

enum class FolderProbe {
    Folder,
    File,         // the name is a file's
    Denied,       // no right to look at it
    Unreachable,  // no such folder, or its server does not answer
};

class Files {
public:
    virtual ~Files() = default;
    virtual std::string SystemDirectory() = 0;
    // |create| (with Update only): a missing file is created.
    virtual FileOpenStatus OpenFile(const std::string& path, FileAccess access, bool create, FileHandle*& file) = 0;
    // The whole file from its first byte; false on a read error, or when it
    // is too large to hold in memory.
    virtual bool ReadWholeFile(FileHandle* file, std::string& bytes) = 0;
    virtual FileResult WriteFileAt(FileHandle* file, std::uint64_t offset, std::string_view bytes) = 0;
    // Cuts the file at |length|, or extends it.
    virtual FileResult SetFileLength(FileHandle* file, std::uint64_t length) = 0;
    // Returns once what was written is on the disk.
    virtual FileResult FlushFile(FileHandle* file) = 0;
    virtual void CloseFile(FileHandle* file) = 0;
    // Puts |from| in the place of |to|, replacing it, and returns once that
    // is on the disk.
    virtual FileResult MoveFileOver(const std::string& from, const std::string& to) = 0;
    virtual void RemoveFile(const std::string& path) = 0;
    // What |path| names.
    virtual FolderProbe ProbeFolder(const std::string& path) = 0;
    // Whether |path| is a file marked read-only. Windows refuses to move
    // another file over one; Wine does not, so a caller that relies on the
    // refusal asks first.
    virtual bool IsReadOnlyFile(const std::string& path) = 0;
    // %NAME% replaced by the environment's value, as a policy's path may hold.
    virtual std::string ExpandPathVariables(const std::string& text) = 0;
    // The system's number and words for the last file call that failed.
    virtual std::string LastFileErrorText() = 0;
    virtual void Pause(unsigned milliseconds) = 0;
};
