#include "config/environment.h"

#include <unistd.h>

char** EnvironmentBlock()
{
    return environ;
}
