// The one seam between the program and the system it runs on: the Win32
// backend in the product, the memory backend on the test host.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "framework/win.h"

class CDialog;

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

class Platform {
public:
    virtual ~Platform() = default;

    // Process
    virtual std::string ModuleFileName() = 0;
    // Creates the named mutex; |alreadyExisted| tells whether another copy made it first.
    virtual HANDLE CreateNamedMutex(const char* name, bool& alreadyExisted) = 0;
    virtual void ReleaseNamedMutex(HANDLE mutex) = 0;
    virtual void CloseKernelHandle(HANDLE handle) = 0;

    // Windows and dialogs
    virtual INT_PTR RunModal(CDialog& dialog, HWND owner) = 0;
    virtual void EndModal(HWND dialog, INT_PTR result) = 0;
    // A control's handle; looked up once per use, as the lookup is not free.
    virtual HWND ItemHandle(HWND dialog, int id) = 0;
    virtual LRESULT SendToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
    virtual void EnableControl(HWND control, bool enable) = 0;
    virtual int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) = 0;
    virtual std::string LoadStringResource(UINT id) = 0;
    virtual HICON LoadIconResource(int id) = 0;
    virtual void SetIcons(HWND dialog, HICON icon) = 0;
    virtual void AppendSystemMenuItem(HWND dialog, UINT command, const std::string& text) = 0;
    // A tooltip over the lines of |list|, its text from the dialog's LineTip.
    virtual void AttachLineTips(HWND dialog, HWND list) = 0;
    // Drops the character that the key being handled has typed into
    // |window|, before anyone reads it.
    virtual void DiscardTypedCharacter(HWND window) = 0;
    // Draws |icon| centred in the client area when the window is minimised;
    // false when it is not, so the default painting runs.
    virtual bool PaintMinimisedIcon(HWND dialog, HICON icon) = 0;

    // Files
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
    virtual void Pause(unsigned milliseconds) = 0;

    // Registry, as the advapi32 calls of the same names
    virtual LONG RegOpenKeyExA(HKEY root, const char* subKey, REGSAM access, HKEY* result) = 0;
    virtual LONG RegEnumKeyExA(HKEY key, DWORD index, char* name, DWORD* nameSize) = 0;
    virtual LONG RegQueryValueExA(HKEY key, const char* name, DWORD* type, BYTE* data, DWORD* size) = 0;
    virtual LONG RegSetValueExA(HKEY key, const char* name, DWORD type, const BYTE* data, DWORD size) = 0;
    virtual LONG RegDeleteValueA(HKEY key, const char* name) = 0;
    virtual LONG RegCloseKey(HKEY key) = 0;
};

Platform& ThePlatform();
void SetPlatform(Platform* platform);
