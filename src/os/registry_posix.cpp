// Linux keeps no registry: no key ever opens, so every read falls back.
#include "os/registry.h"

CRegistryKey::~CRegistryKey() = default;

bool CRegistryKey::Open(RegistryRoot, const char*)
{
    return false;
}

void CRegistryKey::Close()
{
}

bool CRegistryKey::QueryValue(const char*, uint32_t&, CTextBuffer&) const
{
    return false;
}
