#include "support/memory_files.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>

struct FileHandle {
    std::string path;
    FileAccess access;
};

MemoryFiles::~MemoryFiles() {
    for (FileHandle* file : m_openFiles) delete file;
}

bool MemoryFiles::PowerOn() {
    ++fileCalls;
    if (!fileCallsBeforeCrash) return true;
    if (*fileCallsBeforeCrash == 0) return false;
    --*fileCallsBeforeCrash;
    return true;
}

void MemoryFiles::Unflushed(const std::string& path) {
    if (unflushed.count(path)) return;
    auto found = files.find(path);
    unflushed[path] = found == files.end() ? std::nullopt : std::optional<std::string>(found->second);
}

namespace {

MemoryFiles::Holder HolderOf(FileAccess access) {
    bool beside = access == FileAccess::ReadBeside;
    return {true, access == FileAccess::Update, beside, beside};
}

// As the system decides: what a new open asks for must be shared by every
// open handle, and what it shares must cover what each of them asked for.
bool Conflict(const MemoryFiles::Holder& open, const MemoryFiles::Holder& asked) {
    return (asked.read && !open.shareRead) || (asked.write && !open.shareWrite) || (open.read && !asked.shareRead) ||
           (open.write && !asked.shareWrite);
}

}  // namespace

std::size_t MemoryFiles::UsedBytes() const {
    std::size_t used = 0;
    for (const auto& [path, bytes] : files) used += bytes.size();
    return used;
}

FileOpenStatus MemoryFiles::OpenFile(const std::string& path, FileAccess access, bool create, FileHandle*& file) {
    if (!PowerOn()) return FileOpenStatus::Failed;
    if (create && access != FileAccess::Update) errors.push_back("a file created for reading only");
    bool exists = files.count(path) > 0;
    if (!exists && !create) return FileOpenStatus::Missing;
    if (!exists && readOnlyDirectory) return FileOpenStatus::Denied;
    if (exists) {
        auto locked = lockedOpens.find(path);
        if (locked != lockedOpens.end() && locked->second > 0) {
            --locked->second;
            return FileOpenStatus::Locked;
        }
        const Holder asked = HolderOf(access);
        auto [first, last] = holders.equal_range(path);
        for (auto holder = first; holder != last; ++holder)
            if (Conflict(holder->second, asked)) return FileOpenStatus::Locked;
        for (const FileHandle* open : m_openFiles)
            if (open->path == path && Conflict(HolderOf(open->access), asked)) return FileOpenStatus::Locked;
        if (deniedFiles.count(path) || (access == FileAccess::Update && readOnlyFiles.count(path)))
            return FileOpenStatus::Denied;
    } else {
        Unflushed(path);
        files[path];
    }
    file = new FileHandle{path, access};
    m_openFiles.insert(file);
    return exists ? FileOpenStatus::Opened : FileOpenStatus::Created;
}

bool MemoryFiles::ReadWholeFile(FileHandle* file, std::string& bytes) {
    bytes.clear();
    if (!PowerOn() || unreadableFiles.count(file->path)) return false;
    bytes = files[file->path];
    return true;
}

FileResult MemoryFiles::WriteFileAt(FileHandle* file, std::uint64_t offset, std::string_view bytes) {
    if (!PowerOn()) return FileResult::Failed;
    if (file->access != FileAccess::Update) {
        errors.push_back("a write through a handle opened for reading");
        return FileResult::Failed;
    }
    Unflushed(file->path);
    std::string& data = files[file->path];
    // A write that fills the disk stops there, as far as it got.
    std::size_t room = diskCapacity ? data.size() + (*diskCapacity - std::min(*diskCapacity, UsedBytes())) : SIZE_MAX;
    std::size_t end = std::min<std::uint64_t>(offset + bytes.size(), std::max(room, data.size()));
    if (end > data.size()) data.resize(end, '\0');
    if (offset < end) data.replace(static_cast<std::size_t>(offset), end - offset, bytes.substr(0, end - offset));
    if (end == offset + bytes.size()) return FileResult::Done;
    m_lastError = 112;
    return FileResult::DiskFull;
}

FileResult MemoryFiles::SetFileLength(FileHandle* file, std::uint64_t length) {
    if (!PowerOn()) return FileResult::Failed;
    if (file->access != FileAccess::Update) return FileResult::Failed;
    std::string& data = files[file->path];
    if (diskCapacity && length > data.size() && UsedBytes() + (length - data.size()) > *diskCapacity)
        return FileResult::DiskFull;
    Unflushed(file->path);
    data.resize(static_cast<std::size_t>(length), '\0');
    return FileResult::Done;
}

FileResult MemoryFiles::FlushFile(FileHandle* file) {
    m_lastError = 1117;  // ERROR_IO_DEVICE
    if (!PowerOn() || failingFlushes.count(file->path)) return FileResult::Failed;
    unflushed.erase(file->path);
    return FileResult::Done;
}

void MemoryFiles::CloseFile(FileHandle* file) {
    PowerOn();  // a process that died lets go of its files all the same
    if (!m_openFiles.erase(file)) errors.push_back("closing a file that is not open");
    delete file;
}

FileResult MemoryFiles::MoveFileOver(const std::string& from, const std::string& to) {
    m_lastError = 32;  // another program's handle keeps the target where it is
    if (!PowerOn() || !files.count(from) || holders.count(to)) return FileResult::Failed;
    m_lastError = 5;  // as Windows refuses to replace a read-only file
    if (readOnlyFiles.count(to)) return FileResult::Failed;
    files[to] = std::move(files[from]);
    files.erase(from);
    // What a power loss would leave goes with the file.
    auto pending = unflushed.find(from);
    if (pending == unflushed.end()) {
        unflushed.erase(to);
    } else {
        unflushed[to] = pending->second;
        unflushed.erase(from);
    }
    return FileResult::Done;
}

FolderProbe MemoryFiles::ProbeFolder(const std::string& path) {
    if (folders.count(path)) return folders.at(path);
    if (path == systemDirectory) return FolderProbe::Folder;
    for (const auto& [file, bytes] : files)
        if (file.rfind(path + "\\", 0) == 0) return FolderProbe::Folder;
    return FolderProbe::Unreachable;
}

std::string MemoryFiles::ExpandPathVariables(const std::string& text) {
    std::string expanded = text;
    for (const auto& [name, value] : environment)
        for (std::size_t at; (at = expanded.find("%" + name + "%")) != std::string::npos;)
            expanded.replace(at, name.size() + 2, value);
    return expanded;
}

void MemoryFiles::RemoveFile(const std::string& path) {
    if (PowerOn()) files.erase(path);
}

std::vector<std::map<std::string, std::string>> MemoryFiles::DisksAfterPowerLoss() const {
    constexpr std::size_t kBlock = 512;
    std::vector<std::map<std::string, std::string>> disks = {files};
    for (const auto& [path, flushed] : unflushed) {
        const std::string& written = files.at(path);
        const std::string older = flushed.value_or("");
        std::set<std::optional<std::string>> states;
        if (!flushed) states.insert(std::nullopt);
        for (std::size_t length : {written.size(), older.size()}) {
            std::size_t blocks = (length + kBlock - 1) / kBlock;
            if (blocks > 12) throw std::length_error("too many blocks to mix: " + path);
            for (std::size_t mask = 0; mask < (std::size_t{1} << blocks); ++mask) {
                std::string state(length, '\0');
                for (std::size_t i = 0; i < length; ++i) {
                    const std::string& from = (mask >> (i / kBlock)) & 1 ? written : older;
                    if (i < from.size()) state[i] = from[i];
                }
                states.insert(state);
            }
        }
        std::vector<std::map<std::string, std::string>> mixed;
        for (const auto& disk : disks) {
            for (const auto& state : states) {
                mixed.push_back(disk);
                if (state)
                    mixed.back()[path] = *state;
                else
                    mixed.back().erase(path);
            }
        }
        disks = std::move(mixed);
    }
    return disks;
}

void MemoryFiles::RestartWith(const std::map<std::string, std::string>& disk) {
    files = disk;
    unflushed.clear();
    fileCallsBeforeCrash.reset();
    for (FileHandle* file : m_openFiles) delete file;
    m_openFiles.clear();
}

