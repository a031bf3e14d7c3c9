#include "registry_fixture.h"

#include <windows.h>

bool HasTestRegistry()
{
    return true;
}

bool WriteTestRegistryValue(const std::string& path, const std::string& name, uint32_t type,
                            const void* data, uint32_t size)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    LONG result = RegSetValueExA(key, name.c_str(), 0, DWORD(type), static_cast<const BYTE*>(data), DWORD(size));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

bool WriteTestRegistryString(const std::string& path, const std::string& name, uint32_t type,
                             const std::string& text)
{
    return WriteTestRegistryValue(path, name, type, text.c_str(), uint32_t(text.size() + 1));
}

void DeleteTestRegistryKey(const std::string& path)
{
    RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, path.c_str());
}

std::string UniqueTestRegistryPath(const char* what)
{
    return std::string("Software\\TovarinTests\\") + what + "-" + std::to_string(GetCurrentProcessId());
}
