// Test-only writes to the registry, so that reads can be checked against values the test
// put there itself. Everything goes under HKEY_CURRENT_USER (the machine variants below
// excepted) and is removed afterwards.
// Linux has no registry: every write fails there.
#pragma once

#include <cstdint>
#include <string>

// True where the tests can write registry values (Windows, Wine included).
bool HasTestRegistry();
// Sets value `name` of HKEY_CURRENT_USER\path (the key is created) to `type` and bytes.
bool WriteTestRegistryValue(const std::string& path, const std::string& name, uint32_t type,
                            const void* data, uint32_t size);
bool WriteTestRegistryString(const std::string& path, const std::string& name, uint32_t type,
                             const std::string& text);
// Removes HKEY_CURRENT_USER\path with everything below it.
void DeleteTestRegistryKey(const std::string& path);
// The same under HKEY_LOCAL_MACHINE, for readers whose root is fixed there (the Java
// runtime keys). Only string values; Wine lets the test user write there.
bool WriteMachineRegistryString(const std::string& path, const std::string& name, const std::string& text);
void DeleteMachineRegistryKey(const std::string& path);
// A key path under HKEY_CURRENT_USER that no other test program uses at the same time.
std::string UniqueTestRegistryPath(const char* what);
