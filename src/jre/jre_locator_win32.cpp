#include "jre/jre_locator.h"

const RuntimeLayout& NativeRuntimeLayout()
{
    return kWindowsRuntimeLayout;
}
