// Reading values from the Windows registry; the Linux build has no registry and every
// key fails to open there.
#pragma once

#include "text/text_buffer.h"

enum class RegistryRoot { kClassesRoot, kCurrentUser, kLocalMachine, kUsers, kCurrentConfig };

class CRegistryKey {
public:
    CRegistryKey() = default;
    CRegistryKey(const CRegistryKey&) = delete;
    CRegistryKey& operator=(const CRegistryKey&) = delete;
    virtual ~CRegistryKey();

    // Opens root\path for reading (KEY_READ).
    bool Open(RegistryRoot root, const char* path);
    void Close();
    // A string value of at most 260 bytes.
    bool ReadText(const char* name, CTextBuffer& text) const;

private:
    void* m_handle = nullptr;   // HKEY
};
