#include "instances/single_instance.h"

// Placeholder: every copy may run.
void EnforceSingleInstance()
{
}
