// The process-wide payload archive and its first open, which is where the archive meets
// the configuration (the executable's path) and the platform layer.
#include "archive/payload_archive.h"

#include "config/launch_config.h"
#include "os/process.h"

// Never destroyed: when the application calls System.exit, the C library runs static
// destructors while other Java threads may still be inside a native reading the payload.
// The memory goes back to the system with the process.
CPayloadArchive* const g_payloadArchive = new CPayloadArchive(2);

bool CPayloadArchive::EnsureOpen()
{
    if (IsOpen())
        return true;
    CTextBuffer path = g_config ? g_config->GetExePath() : GetExecutablePath();
    return EnsureOpen(path.Data());
}
