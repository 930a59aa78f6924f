// The process seam's Win32 backend.
#pragma once

#include "system/process.h"

class Win32Process : public Process {
public:
    std::string ModuleFileName() override;
    HANDLE CreateNamedMutex(const char* name, bool& alreadyExisted) override;
    void ReleaseNamedMutex(HANDLE mutex) override;
    void CloseKernelHandle(HANDLE handle) override;
};
