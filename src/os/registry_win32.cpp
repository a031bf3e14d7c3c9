#include "os/registry.h"

#include <windows.h>

namespace {

HKEY RootKey(RegistryRoot root)
{
    switch (root) {
    case RegistryRoot::kClassesRoot: return HKEY_CLASSES_ROOT;
    case RegistryRoot::kCurrentUser: return HKEY_CURRENT_USER;
    case RegistryRoot::kLocalMachine: return HKEY_LOCAL_MACHINE;
    case RegistryRoot::kUsers: return HKEY_USERS;
    case RegistryRoot::kCurrentConfig: return HKEY_CURRENT_CONFIG;
    }
    return HKEY_LOCAL_MACHINE;
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
    if (RegOpenKeyExA(RootKey(root), path, 0, KEY_READ, &key) != ERROR_SUCCESS)
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

bool CRegistryKey::ReadText(const char* name, CTextBuffer& text) const
{
    char data[260];
    DWORD size = sizeof data;
    DWORD type = 0;
    if (!m_handle || RegQueryValueExA(static_cast<HKEY>(m_handle), name, nullptr, &type,
                                      reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS)
        return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return false;
    int32_t n = int32_t(size);
    while (n > 0 && data[n - 1] == 0)
        --n;
    return text.Assign(data, n);
}
