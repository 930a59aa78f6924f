// The directory through the system's LDAP client, wldap32.
#pragma once

#include "system/directory.h"

class Win32Directory : public Directory {
public:
    std::unique_ptr<DirectoryPages> Search(const DirectoryQuery& query) override;
};
