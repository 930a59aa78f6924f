#include "system/win32/win32_registry.h"

#include <windows.h>

LONG Win32Registry::RegOpenKeyExA(HKEY root, const char* subKey, REGSAM access, HKEY* result) {
    return ::RegOpenKeyExA(root, subKey, 0, access, result);
}

LONG Win32Registry::RegEnumKeyExA(HKEY key, DWORD index, char* name, DWORD* nameSize) {
    FILETIME lastWrite;
    return ::RegEnumKeyExA(key, index, name, nameSize, nullptr, nullptr, nullptr, &lastWrite);
}

LONG Win32Registry::RegQueryValueExA(HKEY key, const char* name, DWORD* type, BYTE* data, DWORD* size) {
    return ::RegQueryValueExA(key, name, nullptr, type, data, size);
}

LONG Win32Registry::RegSetValueExA(HKEY key, const char* name, DWORD type, const BYTE* data, DWORD size) {
    return ::RegSetValueExA(key, name, 0, type, data, size);
}

LONG Win32Registry::RegDeleteValueA(HKEY key, const char* name) { return ::RegDeleteValueA(key, name); }

LONG Win32Registry::RegCloseKey(HKEY key) { return ::RegCloseKey(key); }

