// Linux has no shared executable sections; both kinds of block are POSIX shared-memory
// objects, private to the user (mode 0600), named from a hash of what names them.
#include "os/shared_block.h"

#include "os/process.h"
#include "text/text_buffer.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Object names are one path component of limited length, so long or odd names are
// hashed; the readable prefix helps when looking at /dev/shm.
CTextBuffer ObjectName(const char* kind, const char* name)
{
    uint64_t hash = 1469598103934665603ull;
    for (const char* p = name; *p; ++p)
        hash = (hash ^ static_cast<unsigned char>(*p)) * 1099511628211ull;
    char text[64];
    std::snprintf(text, sizeof text, "/tovarin.%s.%016llx", kind, static_cast<unsigned long long>(hash));
    return CTextBuffer(text);
}

} // namespace

CSharedBlock::~CSharedBlock()
{
    Close();
}

// Every copy holds a shared lock on the object while it uses it, so that the last one
// to leave can tell and remove the object, as Windows drops a section with its last user.
static bool MapObject(const CTextBuffer& name, int32_t size, void** address, intptr_t* handle)
{
    int fd = shm_open(name.Data(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    flock(fd, LOCK_SH);
    struct stat info;
    if (fstat(fd, &info) != 0 || (info.st_size < size && ftruncate(fd, size) != 0)) {
        close(fd);
        return false;
    }
    void* view = mmap(nullptr, size_t(size), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (view == MAP_FAILED) {
        close(fd);
        return false;
    }
    *address = view;
    *handle = fd;
    return true;
}

bool CSharedBlock::OpenExecutableSection()
{
    Close();
    CTextBuffer exe = GetExecutablePath();
    char real[PATH_MAX];
    const char* key = realpath(exe.Data(), real) ? real : exe.Data();
    m_name = ObjectName("section", key);
    if (!MapObject(m_name, kSectionSize, &m_address, &m_handle))
        return false;
    m_size = kSectionSize;
    m_mapped = true;
    return true;
}

bool CSharedBlock::OpenNamed(const char* name)
{
    Close();
    m_name = ObjectName("mapping", name);
    if (!MapObject(m_name, kNamedSize, &m_address, &m_handle))
        return false;
    m_size = kNamedSize;
    m_mapped = true;
    return true;
}

void CSharedBlock::Close()
{
    if (m_mapped)
        munmap(m_address, size_t(m_size));
    if (m_handle != -1) {
        if (flock(int(m_handle), LOCK_EX | LOCK_NB) == 0)
            shm_unlink(m_name.Data());
        close(int(m_handle));
    }
    m_address = nullptr;
    m_size = 0;
    m_mapped = false;
    m_handle = -1;
}
