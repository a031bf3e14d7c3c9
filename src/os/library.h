// Loading a shared library at run time and finding its exports (the JVM library and the
// runtime's splash library).
#pragma once

#include "text/text_buffer.h"

class CLibrary {
public:
    CLibrary() = default;
    CLibrary(const CLibrary&) = delete;
    CLibrary& operator=(const CLibrary&) = delete;
    virtual ~CLibrary();

    bool Load(const char* path);
    // The address of an exported symbol, or null.
    void* FindSymbol(const char* name) const;
    void Free();
    bool IsLoaded() const { return m_handle != nullptr; }

private:
    void* m_handle = nullptr;   // HMODULE or dlopen handle
};

// The system's description of why the last Load failed, as the system words it
// (FormatMessageA of the last error on Windows, where "%1" stands for the file;
// dlerror() on Linux).
CTextBuffer DescribeLibraryLoadError();

// Keeps Windows from showing dialogs of its own for critical errors and files that
// cannot be opened while a library loads; nothing elsewhere.
void SuppressSystemErrorDialogs();
