#include "registry_fixture.h"

#include <windows.h>

bool HasTestRegistry()
{
    return true;
}

namespace {

bool WriteValue(HKEY root, const std::string& path, const std::string& name, uint32_t type, const void* data,
                uint32_t size)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    LONG result = RegSetValueExA(key, name.c_str(), 0, DWORD(type), static_cast<const BYTE*>(data), DWORD(size));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

void DeleteKey(HKEY root, const std::string& path)
{
    RegDeleteTreeA(root, path.c_str());
    RegDeleteKeyA(root, path.c_str());
}

} // namespace

bool WriteTestRegistryValue(const std::string& path, const std::string& name, uint32_t type,
                            const void* data, uint32_t size)
{
    return WriteValue(HKEY_CURRENT_USER, path, name, type, data, size);
}

bool WriteMachineRegistryString(const std::string& path, const std::string& name, const std::string& text)
{
    return WriteValue(HKEY_LOCAL_MACHINE, path, name, REG_SZ, text.c_str(), uint32_t(text.size() + 1));
}

void DeleteMachineRegistryKey(const std::string& path)
{
    DeleteKey(HKEY_LOCAL_MACHINE, path);
}

bool WriteTestRegistryString(const std::string& path, const std::string& name, uint32_t type,
                             const std::string& text)
{
    return WriteTestRegistryValue(path, name, type, text.c_str(), uint32_t(text.size() + 1));
}

void DeleteTestRegistryKey(const std::string& path)
{
    DeleteKey(HKEY_CURRENT_USER, path);
}

std::string UniqueTestRegistryPath(const char* what)
{
    return std::string("Software\\TovarinTests\\") + what + "-" + std::to_string(GetCurrentProcessId());
}
