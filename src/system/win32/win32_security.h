// The security seam's Win32 backend.
#pragma once

#include "system/security.h"

class Win32Security : public Security {
public:
    bool RunsAsAdministrator() override;
    Grant GrantUsersOnFile(const std::string& path, DWORD rights) override;
    Grant GrantUsersOnMachineKey(const std::string& keyPath, REGSAM rights) override;
};
