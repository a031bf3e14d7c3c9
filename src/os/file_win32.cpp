#include "os/file.h"

#include <windows.h>

namespace {

HANDLE OpenForReading(const char* path)
{
    return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

} // namespace

CReadOnlyFile::~CReadOnlyFile()
{
    Close();
}

bool CReadOnlyFile::Open(const char* path)
{
    Close();
    HANDLE file = OpenForReading(path);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    m_handle = reinterpret_cast<intptr_t>(file);
    return true;
}

void CReadOnlyFile::Close()
{
    if (m_handle != -1)
        CloseHandle(reinterpret_cast<HANDLE>(m_handle));
    m_handle = -1;
}

int32_t CReadOnlyFile::Read(void* buffer, int32_t n)
{
    if (m_handle == -1 || n < 0)
        return -1;
    DWORD got = 0;
    if (!ReadFile(reinterpret_cast<HANDLE>(m_handle), buffer, DWORD(n), &got, nullptr))
        return -1;
    return int32_t(got);
}

bool CReadOnlyFile::Seek(int64_t distance, Origin origin)
{
    DWORD method = origin == kBegin ? FILE_BEGIN : origin == kCurrent ? FILE_CURRENT : FILE_END;
    LARGE_INTEGER move;
    move.QuadPart = distance;
    return m_handle != -1 && SetFilePointerEx(reinterpret_cast<HANDLE>(m_handle), move, nullptr, method);
}

int64_t CReadOnlyFile::Size() const
{
    LARGE_INTEGER size;
    return m_handle != -1 && GetFileSizeEx(reinterpret_cast<HANDLE>(m_handle), &size) ? int64_t(size.QuadPart) : -1;
}

CFileMapping::~CFileMapping()
{
    Unmap();
}

bool CFileMapping::Map(const char* path)
{
    Unmap();
    HANDLE file = OpenForReading(path);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size)) {
        CloseHandle(file);
        return false;
    }
    m_size = int64_t(size.QuadPart);
    if (m_size == 0) {
        // A mapping of an empty file cannot be created; there is nothing to see.
        CloseHandle(file);
        return true;
    }
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    CloseHandle(file);   // the mapping keeps the file open
    if (!mapping) {
        m_size = 0;
        return false;
    }
    void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    if (!view) {
        CloseHandle(mapping);
        m_size = 0;
        return false;
    }
    m_handle = reinterpret_cast<intptr_t>(mapping);
    m_data = static_cast<const unsigned char*>(view);
    return true;
}

void CFileMapping::Unmap()
{
    if (m_data)
        UnmapViewOfFile(m_data);
    if (m_handle != -1)
        CloseHandle(reinterpret_cast<HANDLE>(m_handle));
    m_data = nullptr;
    m_size = 0;
    m_handle = -1;
}
