#include "vm/launch.h"

// Until the launch routine exists a launch does nothing and succeeds.
int LaunchApplication(int, char**, StartCallback)
{
    return 0;
}
