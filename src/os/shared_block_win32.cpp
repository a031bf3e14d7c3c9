#include "os/shared_block.h"

#include <windows.h>

// Every process started from the same executable file sees the same bytes: the linker
// marks this section shared, readable and writable.
__attribute__((section(".SHMMESS"), shared)) unsigned char g_sharedSection[CSharedBlock::kSectionSize] = {0};

CSharedBlock::~CSharedBlock()
{
    Close();
}

bool CSharedBlock::OpenExecutableSection()
{
    Close();
    m_address = g_sharedSection;
    m_size = kSectionSize;
    return true;
}

bool CSharedBlock::OpenNamed(const char* name)
{
    Close();
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kNamedSize, name);
    if (!mapping)
        return false;
    void* view = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, kNamedSize);
    if (!view) {
        CloseHandle(mapping);
        return false;
    }
    m_handle = reinterpret_cast<intptr_t>(mapping);
    m_address = view;
    m_size = kNamedSize;
    m_mapped = true;
    return true;
}

void CSharedBlock::Close()
{
    if (m_mapped)
        UnmapViewOfFile(m_address);
    if (m_handle != -1)
        CloseHandle(reinterpret_cast<HANDLE>(m_handle));
    m_address = nullptr;
    m_size = 0;
    m_mapped = false;
    m_handle = -1;
}
