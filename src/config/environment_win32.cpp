#include "config/environment.h"

#include <stdlib.h>

char** EnvironmentBlock()
{
    // The C library's copy, which _putenv keeps in step with the process environment.
    return _environ;
}
