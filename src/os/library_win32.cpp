#include "os/library.h"

#include <windows.h>

CLibrary::~CLibrary()
{
    Free();
}

bool CLibrary::Load(const char* path)
{
    Free();
    m_handle = LoadLibraryA(path);
    return m_handle != nullptr;
}

void* CLibrary::FindSymbol(const char* name) const
{
    return m_handle ? reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(m_handle), name)) : nullptr;
}

void CLibrary::Free()
{
    if (m_handle)
        FreeLibrary(static_cast<HMODULE>(m_handle));
    m_handle = nullptr;
}

CTextBuffer DescribeLibraryLoadError()
{
    char* text = nullptr;
    DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM,
                             nullptr, GetLastError(), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                             reinterpret_cast<char*>(&text), 0, nullptr);
    CTextBuffer result(n && text ? text : "", n && text ? int32_t(n) : 0);
    if (text)
        LocalFree(text);
    return result;
}

void SuppressSystemErrorDialogs()
{
    UINT mode = SetErrorMode(0);
    SetErrorMode(mode | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
}
