// The registry of running copies, kept in a block of memory shared between them.
#pragma once

class CInstanceRegistry {
public:
    CInstanceRegistry() = default;
    CInstanceRegistry(const CInstanceRegistry&) = delete;
    CInstanceRegistry& operator=(const CInstanceRegistry&) = delete;
    virtual ~CInstanceRegistry();

    // Registers this copy in the block (at least 3072 writable bytes).
    void RegisterInstance(void* block);
    // Removes this copy and tells the receiver thread to stop.
    void ShutdownRegistry();

private:
    void* m_block = nullptr;
};

extern CInstanceRegistry* g_registry;
