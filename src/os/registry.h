// Read access to registry values: one owner per open key, closed with its owner. Windows
// reads the real registry; Linux has none, so every key there fails to open and callers
// take their "not configured" path.
#pragma once

#include "text/text_buffer.h"

#include <cstdint>

// The predefined roots a key path is taken under.
enum class RegistryRoot { kClassesRoot, kCurrentUser, kLocalMachine, kUsers, kCurrentConfig };

class CRegistryKey {
public:
    // Value types as the registry stores them (the numbers are the Windows ones).
    enum ValueType : uint32_t {
        kNone = 0,
        kString = 1,           // REG_SZ
        kExpandString = 2,     // REG_EXPAND_SZ
        kBinary = 3,           // REG_BINARY
        kDword = 4,            // REG_DWORD, little-endian
        kDwordBigEndian = 5,   // REG_DWORD_BIG_ENDIAN
    };

    CRegistryKey() = default;
    CRegistryKey(const CRegistryKey&) = delete;
    CRegistryKey& operator=(const CRegistryKey&) = delete;
    virtual ~CRegistryKey();

    // Opens root\path for reading; an open key is closed first. False when it cannot be
    // opened (always on Linux).
    bool Open(RegistryRoot root, const char* path);
    void Close();
    bool IsOpen() const { return m_handle != nullptr; }

    // Type and raw bytes of the named value (empty name: the key's default value). The
    // bytes are held in data, which is terminated after them like any text buffer, so a
    // string value without its own terminator is still safe to read as text. False when
    // the key is not open or the value cannot be read.
    bool QueryValue(const char* name, uint32_t& type, CTextBuffer& data) const;
    // A string value (plain or expandable, left unexpanded) of at most 260 bytes, without
    // its terminator. False for other types and longer values.
    bool ReadText(const char* name, CTextBuffer& text) const;

private:
    void* m_handle = nullptr;   // HKEY on Windows
};
