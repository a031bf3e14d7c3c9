// The index over the payload appended to the executable and over the jars nested in it:
// opened once per process, every nested jar extracted into memory and indexed then, and
// afterwards read-only apart from the per-archive read lock.
#pragma once

#include "archive/zip_reader.h"
#include "os/lock.h"
#include "text/text_buffer.h"
#include "vm/jvm.h"

#include <atomic>
#include <cstdint>

// Names use '\' as separator ('/' is accepted and counts as equal); '!' separates a
// nested jar's entry name from a name inside it: 'libs\a.jar!com\x\Res.txt'.
class CPayloadArchive {
public:
    // Called with every composed path that FindEntry matches.
    using EntryVisitor = void (*)(void* context, const CTextBuffer& path);

    // depth: nesting levels still to open below this archive (2 for the payload).
    explicit CPayloadArchive(int32_t depth);
    CPayloadArchive(const CPayloadArchive&) = delete;
    CPayloadArchive& operator=(const CPayloadArchive&) = delete;
    virtual ~CPayloadArchive();

    // Opens the running executable's payload the first time; later calls and concurrent
    // callers wait for that one open. Always true: a payload that cannot be read leaves
    // the archive empty for good.
    bool EnsureOpen();
    // The same for an explicit file.
    bool EnsureOpen(const char* path);
    bool IsOpen() const { return m_opened.load(std::memory_order_acquire); }

    // Replace whatever was open. A source that holds no readable archive gives an empty
    // archive; neither reports failure.
    virtual void OpenFromFile(const char* path);
    // Takes the bytes (a whole jar) as this archive's own.
    void OpenFromMemory(CTextBuffer&& bytes);

    // True when name is found; out receives the composed path ("jar!name" for nested
    // matches, prefix first). With a callback every match in this archive and below is
    // reported and the result is false. Takes no lock.
    bool FindEntry(const CTextRef& name, CTextBuffer& out, const CTextRef& prefix = CTextRef(),
                   EntryVisitor callback = nullptr, void* context = nullptr) const;

    // The uncompressed bytes of the named entry into out. Parent steps ("..\") are
    // resolved first; a name without '!' reaches the first-level nested jars only with
    // searchNested. An entry whose data is corrupt, ends early or fails its CRC counts as
    // absent. Takes the read lock of the archive that holds the entry.
    bool ReadEntryData(const CTextRef& name, bool searchNested, CTextBuffer& out);
    // The same as a new Java byte array, or null (with the VM's error pending when the
    // array could not be allocated). Makes no JNI call while a lock is held.
    jbyteArray LoadEntryData(JNIEnv* env, const CTextRef& name, bool searchNested);

    int32_t EntryCount() const { return m_indexCount; }
    // Entry names in index order.
    CTextRef EntryName(int32_t i) const { return CTextRef(m_index[i].name, m_index[i].length); }
    int32_t NestedCount() const { return m_nestedCount; }
    CTextRef NestedName(int32_t i) const { return CTextRef(m_nested[i].name, m_nested[i].length); }
    // Null where the jar entry was empty or could not be read.
    const CPayloadArchive* Nested(int32_t i) const { return m_nested[i].archive; }

private:
    struct IndexItem {
        const char* name;
        uint16_t length;
        uint16_t index;
    };
    struct NestedJar {
        const char* name;
        uint16_t length;
        CPayloadArchive* archive;
    };

    void Reset();
    void OpenReader(CZipSource* source, const char* path);
    void BuildIndex();
    void OpenNestedJars();
    int32_t Lookup(const CTextRef& name) const;
    bool ReadWholeEntry(uint16_t index, CTextBuffer& out);

    int32_t m_depth;
    CTextBuffer m_ownBytes;
    CZipMemorySource m_memorySource;
    CZipReader m_reader;
    IndexItem* m_index = nullptr;
    int32_t m_indexCount = 0;
    NestedJar* m_nested = nullptr;
    int32_t m_nestedCount = 0;
    CLock m_readLock;

    // Used by EnsureOpen only, so only the process-wide archive ever touches them.
    std::atomic<bool> m_opened{false};
    CLock m_openLock;
};

// Resolves "..\" steps in place: each removes itself and the name before it; a leading
// one is dropped ('a\b\..\c' gives 'a\c', '..\a\b' gives 'a\b').
void ResolveParentSteps(CTextBuffer& name);

// The process-wide archive (depth 2), constructed before main and kept until the process
// ends (see payload_instance.cpp).
extern CPayloadArchive* const g_payloadArchive;
