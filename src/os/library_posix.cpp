#include "os/library.h"

#include <dlfcn.h>

namespace {

// dlerror() reports once and forgets; keep the text of the last failed load.
CTextBuffer s_lastError;

} // namespace

CLibrary::~CLibrary()
{
    Free();
}

bool CLibrary::Load(const char* path)
{
    Free();
    // Never unmapped: after DestroyJavaVM the VM's own native threads may still run code
    // inside its library until the process ends.
    m_handle = dlopen(path, RTLD_NOW | RTLD_GLOBAL | RTLD_NODELETE);
    if (!m_handle) {
        const char* error = dlerror();
        s_lastError.Assign(error ? error : "");
    }
    return m_handle != nullptr;
}

void* CLibrary::FindSymbol(const char* name) const
{
    return m_handle ? dlsym(m_handle, name) : nullptr;
}

void CLibrary::Free()
{
    if (m_handle)
        dlclose(m_handle);
    m_handle = nullptr;
}

CTextBuffer DescribeLibraryLoadError()
{
    return s_lastError;
}

void SuppressSystemErrorDialogs()
{
}
