// Memory shared by every running copy that opens the same block: the executable's own
// shared section (all copies of one executable file) or a named block (one application
// id). The instance registry lives in it.
#pragma once

#include "text/text_buffer.h"

#include <cstdint>

class CSharedBlock {
public:
    // Sizes fixed by the registry's layout.
    static constexpr int32_t kSectionSize = 3072;
    static constexpr int32_t kNamedSize = 4096;

    CSharedBlock() = default;
    CSharedBlock(const CSharedBlock&) = delete;
    CSharedBlock& operator=(const CSharedBlock&) = delete;
    virtual ~CSharedBlock();

    // The block every copy of this executable file shares (kSectionSize bytes, zeroed
    // for the first copy).
    bool OpenExecutableSection();
    // A block of kNamedSize bytes named `name` (zeroed for the first copy).
    bool OpenNamed(const char* name);
    void Close();

    void* Address() const { return m_address; }
    int32_t Size() const { return m_size; }

private:
    void* m_address = nullptr;
    int32_t m_size = 0;
    bool m_mapped = false;        // the view was mapped by us and is unmapped by Close
    intptr_t m_handle = -1;       // mapping handle (Windows) or descriptor (Linux)
    CTextBuffer m_name;           // the shared-memory object's name (Linux)
};
