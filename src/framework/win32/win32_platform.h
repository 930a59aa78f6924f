#pragma once

#include "framework/platform.h"
#include "system/security.h"

class Win32Platform : public Platform, public Security {
public:
    std::string ModuleFileName() override;
    HANDLE CreateNamedMutex(const char* name, bool& alreadyExisted) override;
    void ReleaseNamedMutex(HANDLE mutex) override;
    void CloseKernelHandle(HANDLE handle) override;

    INT_PTR RunModal(ModalWindow& dialog, HWND owner) override;
    void EndModal(HWND dialog, INT_PTR result) override;
    HWND ItemHandle(HWND dialog, int id) override;
    LRESULT SendToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void EnableControl(HWND control, bool enable) override;
    int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) override;
    std::string LoadStringResource(UINT id) override;
    HICON LoadIconResource(int id) override;
    void SetIcons(HWND dialog, HICON icon) override;
    void AppendSystemMenuItem(HWND dialog, UINT command, const std::string& text, bool afterSeparator) override;
    void AttachLineTips(HWND dialog, HWND list) override;
    void DiscardTypedCharacter(HWND window) override;
    bool PaintMinimisedIcon(HWND dialog, HICON icon) override;

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

    bool RunsAsAdministrator() override;
    Grant GrantUsersOnFile(const std::string& path, DWORD rights) override;
    Grant GrantUsersOnMachineKey(const std::string& keyPath, REGSAM rights) override;

    LONG RegOpenKeyExA(HKEY root, const char* subKey, REGSAM access, HKEY* result) override;
    LONG RegEnumKeyExA(HKEY key, DWORD index, char* name, DWORD* nameSize) override;
    LONG RegQueryValueExA(HKEY key, const char* name, DWORD* type, BYTE* data, DWORD* size) override;
    LONG RegSetValueExA(HKEY key, const char* name, DWORD type, const BYTE* data, DWORD size) override;
    LONG RegDeleteValueA(HKEY key, const char* name) override;
    LONG RegCloseKey(HKEY key) override;
};
