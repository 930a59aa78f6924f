// The one seam between the program and the system it runs on: the Win32
// backend in the product, the memory backend on the test host.
#pragma once

#include <string>

#include "framework/win.h"

class CDialog;

// An open file the program writes; only the backend knows what is behind it.
struct FileWriter;

enum class FileReadStatus {
    Read,
    Missing,  // neither the file nor its directory exists
    Locked,   // another program holds it open without sharing, or holds a lock on it
    Failed,   // no access, or a read error part-way
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
    // Draws |icon| centred in the client area when the window is minimised;
    // false when it is not, so the default painting runs.
    virtual bool PaintMinimisedIcon(HWND dialog, HICON icon) = 0;

    // Files
    virtual std::string SystemDirectory() = 0;
    // The whole file, opened for reading with deny-write sharing; |bytes|
    // holds it only when the answer is Read.
    virtual FileReadStatus ReadWholeFile(const std::string& path, std::string& bytes) = 0;
    virtual void Pause(unsigned milliseconds) = 0;
    // Creates |path| or truncates it, shared with no one; null on failure.
    virtual FileWriter* CreateFileForWriting(const std::string& path) = 0;
    virtual bool WriteToFile(FileWriter* file, const char* data, size_t size) = 0;
    virtual bool FlushFile(FileWriter* file) = 0;
    virtual bool CloseFile(FileWriter* file) = 0;
    // Moves |from| over |to| in one step, replacing |to|.
    virtual bool ReplaceFileWith(const std::string& from, const std::string& to) = 0;
    virtual void RemoveFile(const std::string& path) = 0;

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
