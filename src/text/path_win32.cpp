#include "text/path.h"

#include <io.h>

bool FileExists(const char* path)
{
    return path && _access(path, 4) == 0;
}
