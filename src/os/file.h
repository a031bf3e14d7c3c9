// Read-only access to files: sequential reads with seeking (the ZIP reader's byte source)
// and whole-file mappings (the configuration loader's view of the executable).
#pragma once

#include <cstdint>

class CReadOnlyFile {
public:
    enum Origin { kBegin, kCurrent, kEnd };

    CReadOnlyFile() = default;
    CReadOnlyFile(const CReadOnlyFile&) = delete;
    CReadOnlyFile& operator=(const CReadOnlyFile&) = delete;
    virtual ~CReadOnlyFile();

    // Opens an existing file for reading; others may read and write it meanwhile (the
    // executable is open while it runs).
    bool Open(const char* path);
    void Close();
    bool IsOpen() const { return m_handle != -1; }

    // Bytes read (fewer at the end of the file), or -1 on failure.
    int32_t Read(void* buffer, int32_t n);
    bool Seek(int64_t distance, Origin origin);
    // Size in bytes, or -1.
    int64_t Size() const;

private:
    intptr_t m_handle = -1;   // HANDLE on Windows, descriptor on Linux
};

class CFileMapping {
public:
    CFileMapping() = default;
    CFileMapping(const CFileMapping&) = delete;
    CFileMapping& operator=(const CFileMapping&) = delete;
    virtual ~CFileMapping();

    // Maps the whole file read-only. An empty file maps to no bytes (Data() null, Size 0).
    bool Map(const char* path);
    void Unmap();

    const unsigned char* Data() const { return m_data; }
    int64_t Size() const { return m_size; }

private:
    const unsigned char* m_data = nullptr;
    int64_t m_size = 0;
    intptr_t m_handle = -1;   // mapping object (Windows) or descriptor (Linux)
};
