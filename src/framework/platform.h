// The seams between the program and the system it runs on: the Win32
// backend in the product, the memory backend on the test host.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "framework/win.h"

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

// A modal dialog as the system drives it: its window's messages are
// delivered here. CDialog is the one there is; the backends know no more of it.
class ModalWindow {
public:
    virtual int TemplateId() const = 0;
    virtual void Attach(HWND hwnd) = 0;
    virtual void Detach() = 0;
    virtual bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;
    // The tip shown while the mouse rests on |line| of list |listId|; an
    // empty text shows none.
    virtual std::string LineTip(int listId, int line) = 0;

protected:
    ~ModalWindow() = default;
};

// The seams, one per concern: what the program asks of the system.
class Process {
public:
    virtual ~Process() = default;
    virtual std::string ModuleFileName() = 0;
    // Creates the named mutex; |alreadyExisted| tells whether another copy made it first.
    virtual HANDLE CreateNamedMutex(const char* name, bool& alreadyExisted) = 0;
    virtual void ReleaseNamedMutex(HANDLE mutex) = 0;
    virtual void CloseKernelHandle(HANDLE handle) = 0;
};

class Windowing {
public:
    virtual ~Windowing() = default;
    virtual INT_PTR RunModal(ModalWindow& dialog, HWND owner) = 0;
    virtual void EndModal(HWND dialog, INT_PTR result) = 0;
    // A control's handle; looked up once per use, as the lookup is not free.
    virtual HWND ItemHandle(HWND dialog, int id) = 0;
    virtual LRESULT SendToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
    virtual void EnableControl(HWND control, bool enable) = 0;
    virtual int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) = 0;
    virtual std::string LoadStringResource(UINT id) = 0;
    virtual HICON LoadIconResource(int id) = 0;
    virtual void SetIcons(HWND dialog, HICON icon) = 0;
    virtual void AppendSystemMenuItem(HWND dialog, UINT command, const std::string& text, bool afterSeparator) = 0;
    // A tooltip over the lines of |list|, its text from the dialog's LineTip.
    virtual void AttachLineTips(HWND dialog, HWND list) = 0;
    // Drops the character that the key being handled has typed into
    // |window|, before anyone reads it.
    virtual void DiscardTypedCharacter(HWND window) = 0;
    // Draws |icon| centred in the client area when the window is minimised;
    // false when it is not, so the default painting runs.
    virtual bool PaintMinimisedIcon(HWND dialog, HICON icon) = 0;
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
    // The system's number and words for the last file call that failed.
    virtual std::string LastFileErrorText() = 0;
    virtual void Pause(unsigned milliseconds) = 0;
};

// As the advapi32 calls of the same names.
class Registry {
public:
    virtual ~Registry() = default;
    virtual LONG RegOpenKeyExA(HKEY root, const char* subKey, REGSAM access, HKEY* result) = 0;
    virtual LONG RegEnumKeyExA(HKEY key, DWORD index, char* name, DWORD* nameSize) = 0;
    virtual LONG RegQueryValueExA(HKEY key, const char* name, DWORD* type, BYTE* data, DWORD* size) = 0;
    virtual LONG RegSetValueExA(HKEY key, const char* name, DWORD type, const BYTE* data, DWORD size) = 0;
    virtual LONG RegDeleteValueA(HKEY key, const char* name) = 0;
    virtual LONG RegCloseKey(HKEY key) = 0;
};

struct IconOrigin {
    int x;
    int y;
};

// Where an icon stands centred in a client area; negative when the client is
// smaller than the icon.
inline IconOrigin CentredIconOrigin(int clientWidth, int clientHeight, int iconWidth, int iconHeight) {
    return {(clientWidth - iconWidth + 1) / 2, (clientHeight - iconHeight + 1) / 2};
}

// All four, as a backend offers them. The parts of the program that need
// one concern take that seam alone.
class Platform : public virtual Process, public virtual Windowing, public virtual Files, public virtual Registry {};

Platform& ThePlatform();
void SetPlatform(Platform* platform);
