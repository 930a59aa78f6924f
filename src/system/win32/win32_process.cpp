#include "system/win32/win32_process.h"

#include <windows.h>

#include <vector>

std::string Win32Process::ModuleFileName() {
    std::vector<char> path(MAX_PATH);
    for (;;) {
        DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) return std::string(path.data(), length);
        path.resize(path.size() * 2);
    }
}

HANDLE Win32Process::CreateNamedMutex(const char* name, bool& alreadyExisted) {
    HANDLE mutex = CreateMutexA(nullptr, FALSE, name);
    alreadyExisted = GetLastError() == ERROR_ALREADY_EXISTS;
    return mutex;
}

void Win32Process::ReleaseNamedMutex(HANDLE mutex) { ReleaseMutex(mutex); }

void Win32Process::CloseKernelHandle(HANDLE handle) {
    if (handle) CloseHandle(handle);
}
