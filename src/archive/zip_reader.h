// A read-only ZIP reader over a byte source (the executable's tail or a jar held in
// memory): finds the archive behind any prefix, loads the central directory once and
// delivers one stored or deflated entry at a time, verifying its CRC-32.
//
// Sections: errors - byte sources - entries - reader.
#pragma once

#include "os/file.h"
#include "text/text_buffer.h"

#include <cstdint>

// ---- Errors -------------------------------------------------------------------------

// Codes carried by CZipException. zlib results -1 to -6 map to 502 to 507.
enum ZipErrorCode : int32_t {
    kZipErrorOther = 100,
    kZipErrorMalformed = 101,
    kZipErrorCrc = 102,
    kZipErrorEncrypted = 110,
    kZipErrorNoEndRecord = 116,
    kZipErrorZlibBase = 501,   // code = kZipErrorZlibBase - zlib result
};

// Thrown by the reader for every failure; never leaves the archive subsystem.
class CZipException {
public:
    CZipException(int32_t code, const CTextRef& path) : m_code(code), m_path(path) {}
    virtual ~CZipException() = default;

    int32_t Code() const { return m_code; }
    // The source's path; empty for a memory source.
    const CTextBuffer& Path() const { return m_path; }

private:
    int32_t m_code;
    CTextBuffer m_path;
};

// ---- Byte sources -------------------------------------------------------------------

class CZipSource {
public:
    enum Origin { kBegin, kCurrent, kEnd };

    virtual ~CZipSource() = default;

    // Reads up to n bytes at the current position: the count read (fewer only at the
    // end), or -1 on failure.
    virtual int32_t Read(void* buffer, int32_t n) = 0;
    // Positions beyond the end fail for a memory source; the reader never asks for them.
    virtual bool Seek(int64_t distance, Origin origin) = 0;
    virtual uint32_t Length() const = 0;
    virtual const CTextBuffer& Path() const = 0;
};

// An existing file, read-only, others allowed to read it meanwhile (the running
// executable). Files of 4 GiB or more are refused: no stored offset can reach past that.
class CZipFileSource : public CZipSource {
public:
    CZipFileSource() = default;
    ~CZipFileSource() override = default;

    bool Open(const char* path);
    void Close();

    int32_t Read(void* buffer, int32_t n) override;
    bool Seek(int64_t distance, Origin origin) override;
    uint32_t Length() const override { return m_length; }
    const CTextBuffer& Path() const override { return m_path; }

private:
    CReadOnlyFile m_file;
    uint32_t m_length = 0;
    CTextBuffer m_path;
};

// A view of a caller-owned block; the block is never freed here.
class CZipMemorySource : public CZipSource {
public:
    CZipMemorySource() = default;
    CZipMemorySource(const void* data, uint32_t size) { Reset(data, size); }
    ~CZipMemorySource() override = default;

    void Reset(const void* data, uint32_t size);

    int32_t Read(void* buffer, int32_t n) override;
    bool Seek(int64_t distance, Origin origin) override;
    uint32_t Length() const override { return m_size; }
    const CTextBuffer& Path() const override { return m_path; }

private:
    const unsigned char* m_data = nullptr;
    uint32_t m_size = 0;
    uint32_t m_position = 0;
    CTextBuffer m_path;   // always empty
};

// ---- Entries ------------------------------------------------------------------------

// One central directory header. Name, extra field and comment point into the reader's
// pool and live as long as the reader stays open; in the name every '/' became '\'.
class CZipEntry {
public:
    CZipEntry() = default;
    virtual ~CZipEntry() = default;

    CTextRef Name() const { return CTextRef(name, nameLength); }
    bool IsEncrypted() const { return (flags & 1) != 0; }
    bool HasDataDescriptor() const { return (flags & 8) != 0; }

    uint16_t versionMadeBy = 0;
    uint16_t versionNeeded = 0;
    uint16_t flags = 0;
    uint16_t method = 0;
    uint16_t time = 0;
    uint16_t date = 0;
    uint32_t crc32 = 0;
    uint32_t compressedSize = 0;
    uint32_t uncompressedSize = 0;
    uint16_t diskNumberStart = 0;
    uint16_t internalAttributes = 0;
    uint32_t externalAttributes = 0;
    uint32_t localHeaderOffset = 0;
    const char* name = nullptr;
    const char* extra = nullptr;
    const char* comment = nullptr;
    uint16_t nameLength = 0;
    uint16_t extraLength = 0;
    uint16_t commentLength = 0;
    // Known once the entry has been opened.
    uint16_t localNameLength = 0;
    uint16_t localExtraLength = 0;
};

// ---- Reader -------------------------------------------------------------------------

// Not safe for concurrent use: one source position, one open entry. Extraction is
// OpenEntry, ReadEntry (any number of calls), CloseEntry.
class CZipReader {
public:
    enum Method : uint16_t { kStored = 0, kDeflated = 8 };

    CZipReader() = default;
    CZipReader(const CZipReader&) = delete;
    CZipReader& operator=(const CZipReader&) = delete;
    virtual ~CZipReader();

    // Open the archive at the end of a file, or in a caller's source that must outlive
    // Close. Both throw CZipException and leave the reader closed on failure.
    void Open(const char* path);
    void Open(CZipSource& source);
    void Close();
    bool IsOpen() const { return m_source != nullptr; }

    int32_t EntryCount() const { return m_entryCount; }
    // Entries are ordered by (disk number start, local header offset).
    const CZipEntry& Entry(uint16_t index) const { return m_entries[index]; }
    uint32_t PrefixLength() const { return m_prefixLength; }
    const CTextBuffer& Comment() const { return m_comment; }

    // False, doing nothing, for an index out of range or while another entry is open.
    bool OpenEntry(uint16_t index);
    // Up to size uncompressed bytes of the open entry; fewer when its data ends.
    int32_t ReadEntry(void* buffer, int32_t size);
    // 1 when every byte was delivered and the CRC-32 matched, -1 when bytes were left
    // (no check), 0 when no entry was open; throws kZipErrorCrc on a mismatch.
    int32_t CloseEntry();
    // Ends the open entry, if any, without any check; never throws. For unwinding.
    void AbandonEntry();

private:
    [[noreturn]] void Fail(int32_t code) const;
    void ReadExactly(void* buffer, uint32_t n);
    void SeekTo(uint64_t position);
    uint32_t FindEndRecord();
    void ReadEndRecord(uint32_t position);
    void LoadCentralDirectory();
    void RefillInput();
    void FinishDeflateStream();

    CZipFileSource m_fileSource;
    CZipSource* m_source = nullptr;
    uint32_t m_prefixLength = 0;
    uint32_t m_endRecordPosition = 0;
    uint32_t m_directoryOffset = 0;
    uint32_t m_directorySize = 0;
    int32_t m_entryCount = 0;
    CTextBuffer m_comment;
    CZipEntry* m_entries = nullptr;
    CTextBuffer m_pool;   // names, extra fields and comments of all entries

    // Open-entry state.
    int32_t m_openIndex = -1;
    uint32_t m_compressedLeft = 0;
    uint32_t m_uncompressedLeft = 0;
    uint32_t m_crc = 0;
    bool m_streamEnded = false;
    void* m_inflate = nullptr;   // z_stream, kept out of this header
    CTextBuffer m_input;
    int32_t m_inputPosition = 0;
    int32_t m_inputAvailable = 0;
};
