// Files in memory, as a disk and its file system hold them: written bytes
// apart from flushed ones, share modes between handles, a disk that fills,
// and every failure a test needs, including a power loss at any call.
#pragma once

#include <functional>
#include <map>
#include <utility>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "system/files.h"

class MemoryFiles : public virtual Files {
public:
    MemoryFiles() = default;
    MemoryFiles(const MemoryFiles&) = delete;
    MemoryFiles& operator=(const MemoryFiles&) = delete;
    ~MemoryFiles() override;

    std::vector<std::string> errors;  // misuse the real system would not forgive

    std::string systemDirectory = "C:\\Windows\\system32";
    // What a reader sees now: every byte written, flushed or not.
    std::map<std::string, std::string> files;
    // The files written since their last flush, each with what of it is
    // surely on the disk (nullopt: not even the file). A file not listed
    // here is on the disk as |files| has it.
    std::map<std::string, std::optional<std::string>> unflushed;
    std::map<std::string, int> lockedOpens;    // how many opens still find it held open by another program
    // Another program's open handle, with the access it asked for and what it shares.
    struct Holder {
        bool read, write, shareRead, shareWrite;
    };
    static constexpr Holder kSpreadsheet = {true, true, true, false};
    static constexpr Holder kViewer = {true, false, true, true};      // a viewer, a backup, a virus scan
    static constexpr Holder kExclusive = {true, true, false, false};  // another copy in the middle of a save
    std::multimap<std::string, Holder> holders;
    std::set<std::string> deniedFiles;         // no right to open it at all
    std::set<std::string> readOnlyFiles;       // may be read, not written
    std::set<std::string> unreadableFiles;     // a read error part-way
    bool readOnlyDirectory = false;            // no file can be created in it: a standard user's System32
    std::optional<std::size_t> diskCapacity;    // the bytes all files together may hold
    std::set<std::string> failingFlushes;      // an I/O error before the data reach the disk
    // The power goes at the file call after this many more: from then on no
    // file call does anything, and each fails.
    std::optional<int> fileCallsBeforeCrash;
    int fileCalls = 0;
    std::vector<unsigned> pauses;  // asked for, in milliseconds; none is waited for
    std::function<void()> duringPause;  // what another PC does while this one waits
    int OpenFileCount() const { return static_cast<int>(m_openFiles.size()); }
    std::size_t UsedBytes() const;
    // Every disk a power loss now could leave: each unflushed file missing
    // (if its creation was not flushed either), or at its written or its
    // flushed length, each block of 512 bytes from its written or its
    // flushed bytes, zeros where the chosen version has none.
    std::vector<std::map<std::string, std::string>> DisksAfterPowerLoss() const;
    // A new start of the machine on |disk|: every handle gone, all of it on the disk.
    void RestartWith(const std::map<std::string, std::string>& disk);

    std::string SystemDirectory() override { return systemDirectory; }
    FileOpenStatus OpenFile(const std::string& path, FileAccess access, bool create, FileHandle*& file) override;
    bool ReadWholeFile(FileHandle* file, std::string& bytes) override;
    FileResult WriteFileAt(FileHandle* file, std::uint64_t offset, std::string_view bytes) override;
    FileResult SetFileLength(FileHandle* file, std::uint64_t length) override;
    FileResult FlushFile(FileHandle* file) override;
    void CloseFile(FileHandle* file) override;
    FileResult MoveFileOver(const std::string& from, const std::string& to) override;
    void RemoveFile(const std::string& path) override;
    // Folders as the program finds them; one not listed is there when a file lies in it.
    std::map<std::string, FolderProbe> folders;
    std::map<std::string, std::string> environment = {{"SystemRoot", "C:\\Windows"}};
    FolderProbe ProbeFolder(const std::string& path) override;
    bool IsReadOnlyFile(const std::string& path) override { return files.count(path) && readOnlyFiles.count(path); }
    std::string ExpandPathVariables(const std::string& text) override;
    std::string LastFileErrorText() override { return "エラー " + std::to_string(m_lastError); }
    void Pause(unsigned milliseconds) override {
        pauses.push_back(milliseconds);
        if (duringPause) std::exchange(duringPause, nullptr)();
    }

private:
    // False once the power has gone; counts the call.
    bool PowerOn();
    // A write to |path| is about to change it: keep what is on the disk.
    void Unflushed(const std::string& path);

    std::set<FileHandle*> m_openFiles;
    unsigned m_lastError = 0;  // the system's number: 32 held, 112 disk full
};
