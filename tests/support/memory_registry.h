// The test host's registry, with the process's marker and name and the
// grants given to Users beside it: a tree whose calls can be made to fail.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "system/process.h"
#include "system/registry.h"
#include "system/security.h"
#include "support/memory_files.h"

struct RegValue {
    DWORD type = REG_SZ;
    std::vector<BYTE> data;
};

class MemoryRegistry : public Registry, public Process, public Security {
public:
    // |files|: whose files a grant is given on, and where errors are noted.
    explicit MemoryRegistry(MemoryFiles& files);

    // ---- registry ----
    void CreateKey(const std::string& path);
    void SetValue(const std::string& path, const std::string& name, DWORD type, const std::vector<BYTE>& data);
    void SetString(const std::string& path, const std::string& name, const std::string& text);
    std::optional<RegValue> GetValue(const std::string& path, const std::string& name) const;
    std::set<std::string> deniedKeys;       // cannot be opened at all
    std::set<std::string> readOnlyKeys;     // opened only without write access
    std::set<std::string> failingQueries;   // "key path|value name"
    std::set<std::string> failingSets;      // "key path|value name"
    std::set<DWORD> failingEnumIndexes;     // of the printer list
    int openKeys = 0;
    std::vector<std::string> registryWrites;  // "key path|value name", in order
    static constexpr size_t kMaxOpenPath = 260;

    LONG RegOpenKeyExA(HKEY root, const char* subKey, REGSAM access, HKEY* result) override;
    LONG RegEnumKeyExA(HKEY key, DWORD index, char* name, DWORD* nameSize) override;
    LONG RegQueryValueExA(HKEY key, const char* name, DWORD* type, BYTE* data, DWORD* size) override;
    LONG RegSetValueExA(HKEY key, const char* name, DWORD type, const BYTE* data, DWORD size) override;
    LONG RegDeleteValueA(HKEY key, const char* name) override;
    LONG RegCloseKey(HKEY key) override;

    // ---- process: named mutexes in existence, counted ----
    std::map<std::string, int> mutexes;
    int mutexReleases = 0;
    std::string moduleFileName = "C:\\Program Files\\qvdutil\\qvdutil.exe";
    std::string ModuleFileName() override { return moduleFileName; }
    HANDLE CreateNamedMutex(const char* name, bool& alreadyExisted) override;
    void ReleaseNamedMutex(HANDLE) override { ++mutexReleases; }
    void CloseKernelHandle(HANDLE handle) override;

    // ---- security: the rights given to Users, by file or key path ----
    bool administrator = true;
    std::map<std::string, DWORD> usersGrants;
    std::set<std::string> failingGrants;  // by path
    bool RunsAsAdministrator() override { return administrator; }
    Grant GrantUsersOnFile(const std::string& path, DWORD rights) override {
        return m_files.files.count(path) ? GrantUsers(path, rights) : Grant::Failed;
    }
    Grant GrantUsersOnMachineKey(const std::string& keyPath, REGSAM rights) override {
        return Node(keyPath) ? GrantUsers(keyPath, rights) : Grant::Failed;
    }
    Grant GrantUsers(const std::string& path, DWORD rights);

private:
    struct RegKeyNode {
        std::string path;  // as created
        std::vector<std::string> subKeys;
        std::map<std::string, RegValue> values;
    };
    struct OpenKey {
        std::string path;
        REGSAM access;
    };
    RegKeyNode* Node(const std::string& path);
    const RegKeyNode* Node(const std::string& path) const;
    OpenKey* Opened(HKEY key);

    MemoryFiles& m_files;
    std::map<std::string, RegKeyNode> m_registry;  // by lower-case path
    std::map<std::uintptr_t, OpenKey> m_openKeys;
    std::uintptr_t m_nextKey = 0x1000;
    std::map<std::uintptr_t, std::string> m_mutexHandles;
    std::uintptr_t m_nextHandle = 0x100;
};
