#include "os/registry.h"

bool CRegistryKey::ReadText(const char* name, CTextBuffer& text) const
{
    // The runtime keys hold paths and version numbers; anything longer is not one.
    const int32_t kMaxBytes = 260;
    uint32_t type = kNone;
    CTextBuffer data;
    if (!QueryValue(name, type, data) || (type != kString && type != kExpandString) || data.Length() > kMaxBytes)
        return false;
    int32_t n = data.Length();
    while (n > 0 && data.Data()[n - 1] == 0)
        --n;
    return text.Assign(data.Data(), n);
}
