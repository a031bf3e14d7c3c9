#include "os/registry.h"

CRegistryKey::~CRegistryKey() = default;

bool CRegistryKey::Open(RegistryRoot, const char*)
{
    return false;
}

void CRegistryKey::Close()
{
}

bool CRegistryKey::ReadText(const char*, CTextBuffer&) const
{
    return false;
}
