// Windows: the narrow C calls take the ANSI code page, so UTF-8 paths go through the wide
// calls. MSVCRT's fopen has no exclusive mode; _wopen with _O_EXCL gives it.
#include "pack_file.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cwchar>

std::FILE* OpenPackFile(const std::string& utf8Path, const char* mode)
{
    std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return _wfopen(PackPath(utf8Path).c_str(), wideMode.c_str());
}

std::FILE* CreateNewPackFile(const std::string& utf8Path)
{
    int fd = _wopen(PackPath(utf8Path).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0)
        return nullptr;
    std::FILE* file = _fdopen(fd, "wb");
    if (!file)
        _close(fd);
    return file;
}
