#include "os/file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

CReadOnlyFile::~CReadOnlyFile()
{
    Close();
}

bool CReadOnlyFile::Open(const char* path)
{
    Close();
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    m_handle = fd;
    return true;
}

void CReadOnlyFile::Close()
{
    if (m_handle != -1)
        close(int(m_handle));
    m_handle = -1;
}

int32_t CReadOnlyFile::Read(void* buffer, int32_t n)
{
    if (m_handle == -1 || n < 0)
        return -1;
    int32_t total = 0;
    while (total < n) {
        ssize_t got = read(int(m_handle), static_cast<char*>(buffer) + total, size_t(n - total));
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        total += int32_t(got);
    }
    return total;
}

bool CReadOnlyFile::Seek(int64_t distance, Origin origin)
{
    int whence = origin == kBegin ? SEEK_SET : origin == kCurrent ? SEEK_CUR : SEEK_END;
    return m_handle != -1 && lseek(int(m_handle), off_t(distance), whence) >= 0;
}

int64_t CReadOnlyFile::Size() const
{
    struct stat info;
    return m_handle != -1 && fstat(int(m_handle), &info) == 0 ? int64_t(info.st_size) : -1;
}

CFileMapping::~CFileMapping()
{
    Unmap();
}

bool CFileMapping::Map(const char* path)
{
    Unmap();
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info;
    if (fstat(fd, &info) != 0) {
        close(fd);
        return false;
    }
    m_handle = fd;
    m_size = int64_t(info.st_size);
    if (m_size == 0)
        return true;
    void* view = mmap(nullptr, size_t(m_size), PROT_READ, MAP_PRIVATE, fd, 0);
    if (view == MAP_FAILED) {
        Unmap();
        return false;
    }
    m_data = static_cast<const unsigned char*>(view);
    return true;
}

void CFileMapping::Unmap()
{
    if (m_data)
        munmap(const_cast<unsigned char*>(m_data), size_t(m_size));
    if (m_handle != -1)
        close(int(m_handle));
    m_data = nullptr;
    m_size = 0;
    m_handle = -1;
}
