#include "os/registry.h"

#include <windows.h>

namespace {

HKEY RootHandle(RegistryRoot root)
{
    switch (root) {
    case RegistryRoot::kClassesRoot: return HKEY_CLASSES_ROOT;
    case RegistryRoot::kCurrentUser: return HKEY_CURRENT_USER;
    case RegistryRoot::kLocalMachine: return HKEY_LOCAL_MACHINE;
    case RegistryRoot::kUsers: return HKEY_USERS;
    case RegistryRoot::kCurrentConfig: return HKEY_CURRENT_CONFIG;
    }
    return nullptr;
}

} // namespace

CRegistryKey::~CRegistryKey()
{
    Close();
}

bool CRegistryKey::Open(RegistryRoot root, const char* path)
{
    Close();
    HKEY key = nullptr;
    if (RegOpenKeyExA(RootHandle(root), path ? path : "", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    m_handle = key;
    return true;
}

void CRegistryKey::Close()
{
    if (m_handle)
        RegCloseKey(static_cast<HKEY>(m_handle));
    m_handle = nullptr;
}

bool CRegistryKey::QueryValue(const char* name, uint32_t& type, CTextBuffer& data) const
{
    if (!m_handle)
        return false;
    HKEY key = static_cast<HKEY>(m_handle);
    DWORD kind = 0, size = 0;
    if (RegQueryValueExA(key, name, nullptr, &kind, nullptr, &size) != ERROR_SUCCESS)
        return false;
    if (size > DWORD(INT32_MAX - 1) || !data.Resize(int32_t(size)))
        return false;
    // A value that grew between the two calls fails here (ERROR_MORE_DATA) rather than
    // being read in part.
    if (RegQueryValueExA(key, name, nullptr, &kind, reinterpret_cast<BYTE*>(data.Data()), &size) != ERROR_SUCCESS)
        return false;
    data.Resize(int32_t(size));
    type = uint32_t(kind);
    return true;
}
