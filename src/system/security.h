// The security seam: whether this process is an administrator's, and the
// narrow grants an administrator gives Users (S-1-5-32-545) on the book's
// two files and on the printer's key. Entries already there are kept; none
// is added twice.
#pragma once

#include <string>
#include <vector>

#include "system/win.h"

// One entry of an object's access list, as a grant reads it.
struct AccessEntry {
    bool allows = false;       // an allow entry (not a deny one)
    bool inheritOnly = false;  // it applies to children only, not to the object itself
    bool forUsers = false;     // its trustee is Users
    DWORD mask = 0;
};
// Whether one entry already lets Users do all of |rights| on the object
// itself, so that a grant adds none (an entry is never added twice).
inline bool UsersHold(const std::vector<AccessEntry>& entries, DWORD rights) {
    for (const AccessEntry& entry : entries)
        if (entry.allows && !entry.inheritOnly && entry.forUsers && (entry.mask & rights) == rights) return true;
    return false;
}

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
