// The security seam: whether this process is an administrator's, and the
// narrow grants an administrator gives Users (S-1-5-32-545) on the book's
// two files and on the printer's key. Entries already there are kept; none
// is added twice.
#pragma once

#include <string>

#include "system/win.h"

class Security {
public:
    virtual ~Security() = default;
    // An administrator's process, elevated where the system asks for it.
    virtual bool RunsAsAdministrator() = 0;

    enum class Grant {
        Had,    // Users had the rights already
        Added,  // an entry was added
        Failed,
    };
    // Users get |rights| on the file.
    virtual Grant GrantUsersOnFile(const std::string& path, DWORD rights) = 0;
    // Users get |rights| on a key under HKEY_LOCAL_MACHINE.
    virtual Grant GrantUsersOnMachineKey(const std::string& keyPath, REGSAM rights) = 0;
};
