// The process-wide payload archive and its first open, which is where the archive meets
// the configuration (the executable's path) and the platform layer.
#include "archive/payload_archive.h"

#include "config/launch_config.h"
#include "os/process.h"

namespace {

CPayloadArchive s_payloadArchive(2);

} // namespace

CPayloadArchive* const g_payloadArchive = &s_payloadArchive;

bool CPayloadArchive::EnsureOpen()
{
    if (IsOpen())
        return true;
    CTextBuffer path = g_config ? g_config->GetExePath() : GetExecutablePath();
    return EnsureOpen(path.Data());
}
