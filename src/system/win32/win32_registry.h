// The registry seam's Win32 backend: the advapi32 calls of the same names.
#pragma once

#include "system/registry.h"

class Win32Registry : public Registry {
public:
    LONG RegOpenKeyExA(HKEY root, const char* subKey, REGSAM access, HKEY* result) override;
    LONG RegEnumKeyExA(HKEY key, DWORD index, char* name, DWORD* nameSize) override;
    LONG RegQueryValueExA(HKEY key, const char* name, DWORD* type, BYTE* data, DWORD* size) override;
    LONG RegSetValueExA(HKEY key, const char* name, DWORD type, const BYTE* data, DWORD size) override;
    LONG RegDeleteValueA(HKEY key, const char* name) override;
    LONG RegCloseKey(HKEY key) override;
};
