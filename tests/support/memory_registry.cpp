#include "support/memory_registry.h"

#include <cctype>
#include <cstring>

#include "system/text.h"

namespace {

// Key names compare without case, character by character: the trail byte of
// a double-byte character is neither a letter nor a separator.
std::string Lower(std::string text) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (IsLeadByte932(static_cast<unsigned char>(text[i]))) {
            ++i;
            continue;
        }
        text[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
    }
    return text;
}

}  // namespace

MemoryRegistry::MemoryRegistry(MemoryFiles& files) : m_files(files) {}

Security::Grant MemoryRegistry::GrantUsers(const std::string& path, DWORD rights) {
    if (failingGrants.count(path)) return Grant::Failed;
    DWORD& held = usersGrants[path];
    if ((held & rights) == rights) return Grant::Had;
    held |= rights;
    return Grant::Added;
}

HANDLE MemoryRegistry::CreateNamedMutex(const char* name, bool& alreadyExisted) {
    alreadyExisted = mutexes[name]++ > 0;
    std::uintptr_t handle = m_nextHandle++;
    m_mutexHandles[handle] = name;
    return reinterpret_cast<HANDLE>(handle);
}

void MemoryRegistry::CloseKernelHandle(HANDLE handle) {
    auto found = m_mutexHandles.find(reinterpret_cast<std::uintptr_t>(handle));
    if (found == m_mutexHandles.end()) return;
    if (--mutexes[found->second] == 0) mutexes.erase(found->second);
    m_mutexHandles.erase(found);
}

MemoryRegistry::RegKeyNode* MemoryRegistry::Node(const std::string& path) {
    auto found = m_registry.find(Lower(path));
    return found == m_registry.end() ? nullptr : &found->second;
}

const MemoryRegistry::RegKeyNode* MemoryRegistry::Node(const std::string& path) const {
    auto found = m_registry.find(Lower(path));
    return found == m_registry.end() ? nullptr : &found->second;
}

void MemoryRegistry::CreateKey(const std::string& path) {
    if (Node(path)) return;
    size_t slash = FindLastSeparator(path);
    if (slash != std::string::npos) {
        CreateKey(path.substr(0, slash));
        Node(path.substr(0, slash))->subKeys.push_back(path.substr(slash + 1));
    }
    m_registry[Lower(path)].path = path;
}

void MemoryRegistry::SetValue(const std::string& path, const std::string& name, DWORD type,
                              const std::vector<BYTE>& data) {
    CreateKey(path);
    Node(path)->values[name] = {type, data};
}

void MemoryRegistry::SetString(const std::string& path, const std::string& name, const std::string& text) {
    std::vector<BYTE> data(text.begin(), text.end());
    data.push_back(0);
    SetValue(path, name, REG_SZ, data);
}

std::optional<RegValue> MemoryRegistry::GetValue(const std::string& path, const std::string& name) const {
    const RegKeyNode* node = Node(path);
    if (!node) return std::nullopt;
    auto found = node->values.find(name);
    if (found == node->values.end()) return std::nullopt;
    return found->second;
}

MemoryRegistry::OpenKey* MemoryRegistry::Opened(HKEY key) {
    auto found = m_openKeys.find(reinterpret_cast<std::uintptr_t>(key));
    if (found != m_openKeys.end()) return &found->second;
    m_files.errors.push_back("registry call on a key that is not open");
    return nullptr;
}

LONG MemoryRegistry::RegOpenKeyExA(HKEY root, const char* subKey, REGSAM access, HKEY* result) {
    std::string path = subKey;
    if (root != HKEY_LOCAL_MACHINE) {
        OpenKey* parent = Opened(root);
        if (!parent) return ERROR_INVALID_HANDLE;
        path = parent->path + (path.empty() ? "" : "\\") + path;
    }
    // As under Wine: a longer path cannot be opened in one call.
    if (std::strlen(subKey) > kMaxOpenPath) return ERROR_MORE_DATA;
    RegKeyNode* node = Node(path);
    if (!node) return ERROR_FILE_NOT_FOUND;
    std::string lower = Lower(path);
    auto listed = [&lower](const std::set<std::string>& paths) {
        return std::any_of(paths.begin(), paths.end(), [&](const std::string& p) { return Lower(p) == lower; });
    };
    const REGSAM writeAccess = KEY_SET_VALUE | KEY_CREATE_SUB_KEY | 0x00010000 /*DELETE*/ | 0x00040000 /*WRITE_DAC*/;
    if (listed(deniedKeys) || (listed(readOnlyKeys) && (access & writeAccess))) return ERROR_ACCESS_DENIED;
    std::uintptr_t handle = m_nextKey++;
    m_openKeys[handle] = {node->path, access};
    ++openKeys;
    *result = reinterpret_cast<HKEY>(handle);
    return ERROR_SUCCESS;
}

LONG MemoryRegistry::RegEnumKeyExA(HKEY key, DWORD index, char* name, DWORD* nameSize) {
    OpenKey* open = Opened(key);
    if (!open) return ERROR_INVALID_HANDLE;
    if (!(open->access & KEY_ENUMERATE_SUB_KEYS)) return ERROR_ACCESS_DENIED;
    RegKeyNode* node = Node(open->path);
    if (index >= node->subKeys.size()) return ERROR_NO_MORE_ITEMS;
    if (failingEnumIndexes.count(index)) return ERROR_ACCESS_DENIED;
    const std::string& sub = node->subKeys[index];
    if (sub.size() + 1 > *nameSize) return ERROR_MORE_DATA;
    std::memcpy(name, sub.c_str(), sub.size() + 1);
    *nameSize = static_cast<DWORD>(sub.size());
    return ERROR_SUCCESS;
}

LONG MemoryRegistry::RegQueryValueExA(HKEY key, const char* name, DWORD* type, BYTE* data, DWORD* size) {
    OpenKey* open = Opened(key);
    if (!open) return ERROR_INVALID_HANDLE;
    if (!(open->access & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
    if (failingQueries.count(open->path + "|" + name)) return ERROR_ACCESS_DENIED;
    std::optional<RegValue> value = GetValue(open->path, name);
    if (!value) return ERROR_FILE_NOT_FOUND;
    if (type) *type = value->type;
    DWORD needed = static_cast<DWORD>(value->data.size());
    if (!data) {
        *size = needed;
        return ERROR_SUCCESS;
    }
    if (*size < needed) {
        *size = needed;
        return ERROR_MORE_DATA;
    }
    std::copy(value->data.begin(), value->data.end(), data);
    *size = needed;
    return ERROR_SUCCESS;
}

LONG MemoryRegistry::RegSetValueExA(HKEY key, const char* name, DWORD type, const BYTE* data, DWORD size) {
    OpenKey* open = Opened(key);
    if (!open) return ERROR_INVALID_HANDLE;
    if (!(open->access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
    if (failingSets.count(open->path + "|" + name)) return ERROR_ACCESS_DENIED;
    Node(open->path)->values[name] = {type, std::vector<BYTE>(data, data + size)};
    registryWrites.push_back(open->path + "|" + name);
    return ERROR_SUCCESS;
}

LONG MemoryRegistry::RegDeleteValueA(HKEY key, const char* name) {
    OpenKey* open = Opened(key);
    if (!open) return ERROR_INVALID_HANDLE;
    if (!(open->access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
    return Node(open->path)->values.erase(name) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

LONG MemoryRegistry::RegCloseKey(HKEY key) {
    if (m_openKeys.erase(reinterpret_cast<std::uintptr_t>(key)) == 0) {
        m_files.errors.push_back("closing a key that is not open");
        return ERROR_INVALID_HANDLE;
    }
    --openKeys;
    return ERROR_SUCCESS;
}
