// Placeholder: copies are not yet registered.
#include "instances/instance_registry.h"

CInstanceRegistry* g_registry = nullptr;

CInstanceRegistry::~CInstanceRegistry() = default;

void CInstanceRegistry::RegisterInstance(void* block)
{
    m_block = block;
}

void CInstanceRegistry::ShutdownRegistry()
{
}
