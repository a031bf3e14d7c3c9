// POSIX paths are bytes: the UTF-8 text is the path.
#include "pack_file.h"

#include <fcntl.h>
#include <unistd.h>

std::FILE* OpenPackFile(const std::string& utf8Path, const char* mode)
{
    return std::fopen(utf8Path.c_str(), mode);
}

std::FILE* CreateNewPackFile(const std::string& utf8Path)
{
    int fd = ::open(utf8Path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return nullptr;
    std::FILE* file = ::fdopen(fd, "wb");
    if (!file)
        ::close(fd);
    return file;
}
