// The process seam: the module's name and the single-instance marker.
#pragma once

#include <string>

#include "system/win.h"

class Process {
public:
    virtual ~Process() = default;
    virtual std::string ModuleFileName() = 0;
    // Creates the named mutex; |alreadyExisted| tells whether another copy made it first.
    virtual HANDLE CreateNamedMutex(const char* name, bool& alreadyExisted) = 0;
    virtual void ReleaseNamedMutex(HANDLE mutex) = 0;
    virtual void CloseKernelHandle(HANDLE handle) = 0;
};
