#include "text/path.h"

#include <unistd.h>

bool FileExists(const char* path)
{
    return path && access(path, R_OK) == 0;
}
