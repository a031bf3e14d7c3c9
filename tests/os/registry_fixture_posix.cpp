#include "registry_fixture.h"

#include <unistd.h>

bool HasTestRegistry()
{
    return false;
}

bool WriteTestRegistryValue(const std::string&, const std::string&, uint32_t, const void*, uint32_t)
{
    return false;
}

bool WriteTestRegistryString(const std::string&, const std::string&, uint32_t, const std::string&)
{
    return false;
}

void DeleteTestRegistryKey(const std::string&)
{
}

bool WriteMachineRegistryString(const std::string&, const std::string&, const std::string&)
{
    return false;
}

void DeleteMachineRegistryKey(const std::string&)
{
}

std::string UniqueTestRegistryPath(const char* what)
{
    return std::string("Software\\TovarinTests\\") + what + "-" + std::to_string(getpid());
}
