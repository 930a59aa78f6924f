// Each call is one or two Win32 API calls.
#include "system/win32/win32_files.h"

#include <windows.h>

#include <vector>

struct FileHandle {
    HANDLE handle;
};

std::string Win32Files::SystemDirectory() {
    std::vector<char> path(MAX_PATH);
    for (;;) {
        UINT length = GetSystemDirectoryA(path.data(), static_cast<UINT>(path.size()));
        if (length == 0) return std::string();
        if (length < path.size()) return std::string(path.data(), length);
        path.resize(length + 1);
    }
}

namespace {

FileOpenStatus OpenStatusOf(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return FileOpenStatus::Missing;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return FileOpenStatus::Locked;
    case ERROR_ACCESS_DENIED:
        return FileOpenStatus::Denied;
    default:
        return FileOpenStatus::Failed;
    }
}

// Far beyond any book; a file this large is not one to hold in memory.
constexpr LONGLONG kMaxReadBytes = 1LL << 30;
constexpr DWORD kMaxChunk = 0x40000000;

FileResult ResultOf(BOOL succeeded) {
    if (succeeded) return FileResult::Done;
    DWORD error = GetLastError();
    return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL ? FileResult::DiskFull : FileResult::Failed;
}

bool Seek(HANDLE file, std::uint64_t offset) {
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(file, to, nullptr, FILE_BEGIN) != 0;
}

}  // namespace

FileOpenStatus Win32Files::OpenFile(const std::string& path, FileAccess access, bool create, FileHandle*& file) {
    bool update = access == FileAccess::Update;
    DWORD sharing = access == FileAccess::ReadBeside ? FILE_SHARE_READ | FILE_SHARE_WRITE : 0;
    // Opening an existing file changes nothing of it: not its attributes,
    // its security or its times.
    HANDLE handle = CreateFileA(path.c_str(), update ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ, sharing, nullptr,
                                update && create ? OPEN_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return OpenStatusOf(GetLastError());
    bool created = update && create && GetLastError() != ERROR_ALREADY_EXISTS;
    file = new FileHandle{handle};
    return created ? FileOpenStatus::Created : FileOpenStatus::Opened;
}

bool Win32Files::ReadWholeFile(FileHandle* file, std::string& bytes) {
    bytes.clear();
    LARGE_INTEGER size;
    if (!Seek(file->handle, 0) || !GetFileSizeEx(file->handle, &size) || size.QuadPart > kMaxReadBytes) return false;
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    std::size_t filled = 0;
    for (;;) {
        // A file opened for reading may still grow while we read: take what comes.
        if (filled == bytes.size()) bytes.resize(bytes.size() + 65536);
        DWORD got = 0;
        DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - filled, kMaxChunk));
        if (!ReadFile(file->handle, bytes.data() + filled, want, &got, nullptr)) {
            bytes.clear();
            return false;
        }
        if (got == 0) break;
        filled += got;
        if (filled > static_cast<std::size_t>(kMaxReadBytes)) {
            bytes.clear();
            return false;
        }
    }
    bytes.resize(filled);
    return true;
}

FileResult Win32Files::WriteFileAt(FileHandle* file, std::uint64_t offset, std::string_view bytes) {
    if (!Seek(file->handle, offset)) return FileResult::Failed;
    while (!bytes.empty()) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), kMaxChunk));
        DWORD written = 0;
        if (!WriteFile(file->handle, bytes.data(), chunk, &written, nullptr)) return ResultOf(FALSE);
        // A short write is how a disk that has filled up answers.
        if (written != chunk) {
            SetLastError(ERROR_DISK_FULL);
            return FileResult::DiskFull;
        }
        bytes.remove_prefix(chunk);
    }
    return FileResult::Done;
}

FileResult Win32Files::SetFileLength(FileHandle* file, std::uint64_t length) {
    // On a full disk SetEndOfFile can fail even where it would change
    // nothing (Wine asks the file system to reserve the whole length), and
    // that is just where the old bytes are put back after a failed write.
    LARGE_INTEGER size;
    if (GetFileSizeEx(file->handle, &size) && static_cast<std::uint64_t>(size.QuadPart) == length)
        return FileResult::Done;
    if (!Seek(file->handle, length)) return FileResult::Failed;
    return ResultOf(SetEndOfFile(file->handle));
}

FileResult Win32Files::FlushFile(FileHandle* file) { return ResultOf(FlushFileBuffers(file->handle)); }

void Win32Files::CloseFile(FileHandle* file) {
    CloseHandle(file->handle);
    delete file;
}

FileResult Win32Files::MoveFileOver(const std::string& from, const std::string& to) {
    return ResultOf(MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
}

void Win32Files::RemoveFile(const std::string& path) { DeleteFileA(path.c_str()); }

bool Win32Files::IsReadOnlyFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
           (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

FolderProbe Win32Files::ProbeFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return attributes & FILE_ATTRIBUTE_DIRECTORY ? FolderProbe::Folder : FolderProbe::File;
    return GetLastError() == ERROR_ACCESS_DENIED ? FolderProbe::Denied : FolderProbe::Unreachable;
}

std::string Win32Files::ExpandPathVariables(const std::string& text) {
    std::string expanded(ExpandEnvironmentStringsA(text.c_str(), nullptr, 0), '\0');
    const DWORD length = ExpandEnvironmentStringsA(text.c_str(), expanded.data(), static_cast<DWORD>(expanded.size()));
    expanded.resize(length > 0 && length <= expanded.size() ? length - 1 : 0);
    return expanded;
}

std::string Win32Files::LastFileErrorText() {
    const DWORD error = GetLastError();
    std::string text = "エラー " + std::to_string(error);
    char* words = nullptr;
    if (FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<char*>(&words), 0, nullptr) && words) {
        std::string said = words;
        while (!said.empty() && (said.back() == '\r' || said.back() == '\n' || said.back() == ' ')) said.pop_back();
        if (!said.empty()) text += ": " + said;
    }
    if (words) LocalFree(words);
    return text;
}

void Win32Files::Pause(unsigned milliseconds) { Sleep(milliseconds); }
