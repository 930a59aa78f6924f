// The registry seam.
#pragma once

#include "system/win.h"

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
