#include "system/win32/win32_security.h"

#include <windows.h>

#include <aclapi.h>

namespace {

// Users get |rights| on the object through an allow entry of their own,
// unless such an entry holds them already; every other entry stays.
Security::Grant GrantUsers(const std::string& objectName, SE_OBJECT_TYPE type, DWORD rights) {
    BYTE users[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof users;
    if (!CreateWellKnownSid(WinBuiltinUsersSid, nullptr, users, &size)) return Security::Grant::Failed;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoA(objectName.c_str(), type, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl, nullptr,
                              &descriptor) != ERROR_SUCCESS)
        return Security::Grant::Failed;
    std::vector<AccessEntry> entries;
    for (DWORD i = 0; dacl && i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        if (!GetAce(dacl, i, &ace)) continue;
        const auto* header = static_cast<const ACE_HEADER*>(ace);
        const bool allows = header->AceType == ACCESS_ALLOWED_ACE_TYPE;
        const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(ace);  // its SID is read only when it allows
        entries.push_back({allows, (header->AceFlags & INHERIT_ONLY_ACE) != 0,
                           allows && EqualSid(const_cast<DWORD*>(&allowed->SidStart), users), allows ? allowed->Mask : 0});
    }
    const bool had = UsersHold(entries, rights);
    DWORD result = ERROR_SUCCESS;
    if (!had) {
        EXPLICIT_ACCESS_A access = {};
        access.grfAccessPermissions = rights;
        access.grfAccessMode = GRANT_ACCESS;
        access.grfInheritance = NO_INHERITANCE;
        access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
        access.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
        access.Trustee.ptstrName = reinterpret_cast<char*>(users);
        PACL merged = nullptr;
        result = SetEntriesInAclA(1, &access, dacl, &merged);
        if (result == ERROR_SUCCESS)
            result = SetNamedSecurityInfoA(const_cast<char*>(objectName.c_str()), type, DACL_SECURITY_INFORMATION, nullptr,
                                           nullptr, merged, nullptr);
        LocalFree(merged);
    }
    LocalFree(descriptor);
    if (result != ERROR_SUCCESS) return Security::Grant::Failed;
    return had ? Security::Grant::Had : Security::Grant::Added;
}

}  // namespace

bool Win32Security::RunsAsAdministrator() {
    BYTE administrators[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof administrators;
    BOOL member = FALSE;
    // Under UAC an administrator's unelevated token holds the group for denying only: not a member.
    return CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size) &&
           CheckTokenMembership(nullptr, administrators, &member) && member;
}

Security::Grant Win32Security::GrantUsersOnFile(const std::string& path, DWORD rights) {
    return GrantUsers(path, SE_FILE_OBJECT, rights);
}

Security::Grant Win32Security::GrantUsersOnMachineKey(const std::string& keyPath, REGSAM rights) {
    return GrantUsers("MACHINE\\" + keyPath, SE_REGISTRY_KEY, rights);
}
