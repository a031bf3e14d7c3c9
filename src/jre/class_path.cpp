#include "jre/class_path.h"

#include "config/launch_config.h"

// Until library folders and class path keys are assembled, the VM sees the executable
// (whose payload holds the support classes) and the launcher's loader sees nothing more.
CTextBuffer BuildClassPath(ClassPathKind kind)
{
    if (kind == ClassPathKind::kVm && g_config)
        return g_config->GetExePath();
    return CTextBuffer();
}
